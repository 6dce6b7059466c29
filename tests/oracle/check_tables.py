#!/usr/bin/env python3
"""The table and the summary of the real test files (and of identifiers a csv reader could
mistake: a '"', NA, null) against golden files, and the golden files against a model of
their columns that shares no code with the program.

The model recounts every sequence (reference_model.read), rebuilds its identifier and
quotes it as csv readers expect, recomputes its score and order values (reference_model),
GC, GC3, ENC and GC3s, and the summary's counts, average, median score, GC, GC3, median ENC
and GC3s, each printed as "%g" prints it. The expected score and what is built on it
(expected, excess, median_excess) are checked by check_expected_terms.py instead.

    check_tables.py TRELBA DATA_DIR [--write]   (--write makes the golden files anew)
"""
import csv
import io
import math
import os
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_model as model  # noqa: E402

TRELBA, DATA = sys.argv[1], sys.argv[2]
WRITE = "--write" in sys.argv[3:]
GOLDEN = os.path.join(DATA, "expected", "tables")
INPUTS = sorted(os.path.join(DATA, "real", f) for f in os.listdir(os.path.join(DATA, "real")))
INPUTS.append(os.path.join(DATA, "inputs", "awkward_ids.fa"))
FAMILIES = ["Phe", "Leu", "Ser", "Tyr", "stop", "Cys", "Trp", "Pro", "His", "Gln", "Arg", "Ile",
            "Met", "Thr", "Asn", "Lys", "Val", "Ala", "Asp", "Glu", "Gly"]


def g(x):
    return "NA" if math.isnan(x) else "%g" % x


def ids(path):
    """Each header's first word, written as the table writes text."""
    out = []
    for line in open(path, "rb").read().split(b"\n"):
        if line.startswith(b">"):
            word = line[1:].rstrip(b"\r").split(None, 1)
            text = word[0].decode("utf-8", "replace") if word else ""
            text = "".join("?" if ord(c) < 32 or c in "\x7f\ufffd" else c for c in text)
            out.append('"' + text.replace('"', '""') + '"' if '"' in text else text)
    return out


def enc(counts, fam):
    classes = {}
    sizes = {}
    for f in range(1, 22):
        k = len(fam[f])
        if f == 5 or k < 2:
            continue
        sizes[k] = sizes.get(k, 0) + 1
        n = sum(int(counts[m]) for m in fam[f])
        squares = sum(int(counts[m]) ** 2 for m in fam[f])
        if n >= 2 and squares > n:
            classes.setdefault(k, []).append((squares - n) / (n * n - n))
    mean = {k: sum(v) / len(v) for k, v in classes.items()}
    if 3 in sizes and 3 not in mean and 2 in mean and 4 in mean:
        mean[3] = (mean[2] + mean[4]) / 2
    if any(k not in mean for k in sizes):
        return math.nan
    value = sum(1 for f in range(1, 22) if f != 5 and len(fam[f]) == 1)
    for k in sorted(sizes):
        value += sizes[k] / mean[k]
    return min(value, 61.0)


def thirds(counts, fam):
    synonymous = [m for f in range(1, 22) if f != 5 and len(fam[f]) > 1 for m in fam[f]]
    total = sum(int(counts[m]) for m in synonymous)
    gc = sum(int(counts[m]) for m in synonymous if (m - 1) % 4 in (1, 3))
    return gc, total


def gc_counts(counts):
    bases = gc3 = 0
    for m in range(1, 65):
        c = int(counts[m])
        b1, b2, b3 = (m - 1) // 16, (m - 1) // 4 % 4, (m - 1) % 4
        bases += c * sum(1 for b in (b1, b2, b3) if b in (1, 3))
        gc3 += c * (b3 in (1, 3))
    return bases, gc3


def check(path, table, summary):
    """The differences between the golden table and summary of `path` and the model."""
    problems = []
    slots = model.read(open(path, "rb").read())
    fam = model.families("0")
    counts = [list(s) for s in slots]
    with tempfile.TemporaryDirectory() as tmp:
        model.run(path, "0", tmp)
        name = os.path.join(tmp, os.path.basename(path))
        blocks = open(name + ".iik").read().split("\n\n")
    rows = list(csv.reader(io.StringIO(table), delimiter="\t"))
    header = rows[0]
    col = {c: i for i, c in enumerate(header)}
    raw_ids = ids(path)
    scores, encs, pooled = [], [], [0] * 65
    for s in range(1, len(slots)):
        row = table.split("\n")[s].split("\t")
        cells = rows[s]
        c = counts[s]
        for m in range(65):
            pooled[m] += int(c[m])
        order = {int(line.split()[0]): line.split()[1] for line in blocks[s - 1].split("\n") if line}
        codons = sum(int(c[m]) for m in range(1, 65))
        bases, gc3 = gc_counts(c)
        gc3s, synonymous = thirds(c, fam)
        value = enc(c, fam)
        encs.append(value)
        expected = {
            "seq": str(s), "codons": str(codons),
            "gc": g(bases / (3 * codons)) if codons else "NA",
            "gc3": g(gc3 / codons) if codons else "NA",
            "enc": g(value), "gc3s": g(gc3s / synonymous) if synonymous else "NA",
        }
        for f in range(1, 22):
            if f == 5:
                continue
            present = len(fam[f]) > 1 and sum(int(c[m]) for m in fam[f]) > 0
            expected[FAMILIES[f - 1]] = order[f] if present else "NA"
        for column, want in expected.items():
            if cells[col[column]] != want:
                problems.append(f"row {s} {column}: {cells[col[column]]} (model {want})")
        if row[col["id"]] != raw_ids[s - 1]:
            problems.append(f"row {s} id: {row[col['id']]} (model {raw_ids[s - 1]})")
        if cells[col["score"]] != "NA":
            scores.append(float(cells[col["score"]]))
    # The summary: its one row.
    srow = list(csv.DictReader(io.StringIO(summary), delimiter="\t"))[0]
    codons = sum(pooled[1:65])
    bases, gc3 = gc_counts(pooled)
    gc3s, synonymous = thirds(pooled, fam)
    with tempfile.TemporaryDirectory() as tmp:
        model.run(path, "0", tmp)
        ok = open(os.path.join(tmp, os.path.basename(path)) + ".ok").read()
    average = ok.rstrip("\n").split("average = ")[-1]
    model_scores = model_scores_of(path)
    expected = {
        "sequences": str(len(slots) - 1), "codons": str(codons), "average": average,
        "median_score": g(statistics.median(model_scores)) if model_scores else "NA",
        "gc": g(bases / (3 * codons)) if codons else "NA",
        "gc3": g(gc3 / codons) if codons else "NA",
        "median_enc": g(statistics.median([e for e in encs if not math.isnan(e)]))
        if any(not math.isnan(e) for e in encs) else "NA",
        "gc3s": g(gc3s / synonymous) if synonymous else "NA",
    }
    for column, want in expected.items():
        if srow[column] != want:
            problems.append(f"summary {column}: {srow[column]} (model {want})")
    return problems


def model_scores_of(path):
    """Every score that is a number, as the model computes it."""
    _, _, scores = model.analyse(model.read(open(path, "rb").read()), "0")
    return [s for s in scores[1:] if not math.isnan(s)]


def main():
    failed = False
    os.makedirs(GOLDEN, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for path in INPUTS:
            name = os.path.basename(path)
            table, summary = os.path.join(tmp, "t.tsv"), os.path.join(tmp, "s.tsv")
            subprocess.run([TRELBA, "--no-reports", "-T", table, "--summary", summary,
                            "--label", name, "-"], stdin=open(path, "rb"), check=True,
                           stderr=subprocess.DEVNULL)
            outputs = {".tsv": open(table).read(), ".summary.tsv": open(summary).read()}
            for suffix, text in outputs.items():
                golden = os.path.join(GOLDEN, name + suffix)
                if WRITE:
                    with open(golden, "w", newline="\n") as out:
                        out.write(text)
                elif open(golden).read() != text:
                    print(f"{name}{suffix}: the program's differs from the golden file")
                    failed = True
            problems = check(path, open(os.path.join(GOLDEN, name + ".tsv")).read(),
                             open(os.path.join(GOLDEN, name + ".summary.tsv")).read())
            for problem in problems[:5]:
                print(f"{name}: {problem}")
            failed = failed or bool(problems)
            print(f"{name}: {'differs' if problems else 'agrees with the model'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
