#!/usr/bin/env python3
"""The tai column of E. coli's genes against a model of dos Reis et al.'s published weights
(their get.ws: the s-values 0.41, 0.28, 0.9999, 0.68 and, in bacteria, 0.89 for AUA; stops
and Met left out; a codon no tRNA reads given the geometric mean), from the tRNA genes ARAGORN
finds in E. coli K-12's chromosome (tests/data/trna: its -w output), every gene to six
digits; the 94 highly expressed genes must rank above the rest (AUC printed, at least 0.75).
Where Debian's aragorn and ragout-examples are installed, ARAGORN is run on that chromosome
again: its -w output must be the file shipped, and its default output must give the same
tai column.

    check_trna_adaptation.py TRELBA DATA_DIR
"""
import csv
import gzip
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

TRELBA, DATA = sys.argv[1], sys.argv[2]
GENOME = os.path.join(DATA, "genomes/Ecoli_K12_MG1655.prodigal.cds.fna.gz")
HEG = os.path.join(DATA, "genomes/Ecoli_K12_MG1655.prodigal.heg.ids")
TRNA = os.path.join(DATA, "trna/Ecoli_K12_MG1655.aragorn_w.txt")
CHROMOSOME = "/usr/share/doc/ragout/examples/E.Coli/references/MG1655-K12.fasta.gz"
BASES = "TCAG"
CODONS = [a + b + c for a in BASES for b in BASES for c in BASES]
STANDARD = "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"
COMPLEMENT = {"a": "T", "c": "G", "g": "C", "t": "A"}


def model_weights(anticodons):
    """dos Reis et al.'s w of the 61 - 1 codons (bacteria), from anticodons (5' to 3')."""
    t = [0] * 64
    for anticodon in anticodons:
        codon = "".join(COMPLEMENT[b] for b in reversed(anticodon))
        t[CODONS.index(codon)] += 1
    p = [1 - s for s in (0.0, 0.0, 0.0, 0.0, 0.41, 0.28, 0.9999, 0.68, 0.89)]
    big_w = []
    for i in range(0, 64, 4):
        big_w += [p[0] * t[i] + p[4] * t[i + 1], p[1] * t[i + 1] + p[5] * t[i],
                  p[2] * t[i + 2] + p[6] * t[i], p[3] * t[i + 3] + p[7] * t[i + 2]]
    big_w[CODONS.index("ATG")] = p[3] * t[CODONS.index("ATG")]
    big_w[CODONS.index("ATA")] = p[8]
    kept = [i for i in range(64) if STANDARD[i] not in "*M"]
    top = max(big_w[i] for i in kept)
    w = {i: big_w[i] / top for i in kept}
    nonzero = [v for v in w.values() if v > 0]
    mean = math.exp(sum(math.log(v) for v in nonzero) / len(nonzero))
    return {CODONS[i]: (v if v > 0 else mean) for i, v in w.items()}


def tai(sequence, w):
    codons = [sequence[i:i + 3] for i in range(0, len(sequence) - 2, 3)]
    logs = [math.log(w[c]) for c in codons if c in w]
    return math.exp(sum(logs) / len(logs)) if logs else None


def genes():
    name, parts = None, []
    with gzip.open(GENOME, "rt") as f:
        for line in f:
            if line.startswith(">"):
                if name:
                    yield name, "".join(parts).upper()
                name, parts = line[1:].split()[0], []
            else:
                parts.append(line.strip())
    yield name, "".join(parts).upper()


def trelba_tai(trna_file, tmp):
    out = os.path.join(tmp, "t.tsv")
    subprocess.run([TRELBA, "--gcode", "11", "--no-reports", "--trna", trna_file, "-T", out,
                    GENOME], check=True)
    return [(r["id"], r["tai"]) for r in csv.DictReader(open(out), delimiter="\t")]


def auc(scores, positives):
    """The chance that a positive outranks a negative (ties count half)."""
    pos = [s for n, s in scores if n in positives]
    neg = [s for n, s in scores if n not in positives]
    wins = sum((p > n) + 0.5 * (p == n) for p in pos for n in neg)
    return wins / (len(pos) * len(neg))


def main():
    anticodons = re.findall(r"^\d+\s+tRNA-\S+.*\(([acgt]{3})\)\s*$", open(TRNA).read(), re.M)
    w = model_weights(anticodons)
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        ours = trelba_tai(TRNA, tmp)
        model = [(name, tai(sequence, w)) for name, sequence in genes()]
        differ = [(a, b) for a, b in zip(ours, model)
                  if a[0] != b[0] or abs(float(a[1]) - b[1]) > 5e-6 * b[1]]
        print(f"tai of {len(ours)} genes from {len(anticodons)} tRNA genes: "
              f"{len(ours) - len(differ)} agree with the model"
              + (f" (first: {differ[0]})" if differ else ""))
        failed = failed or bool(differ) or len(ours) != len(model)
        positives = set(open(HEG).read().split())
        area = auc([(n, float(v)) for n, v in ours], positives)
        print(f"AUC of the {len(positives)} highly expressed genes by tai: {area:.3f}")
        failed = failed or area < 0.75
        if shutil.which("aragorn") and os.path.exists(CHROMOSOME):
            chromosome = os.path.join(tmp, "mg1655.fa")
            with gzip.open(CHROMOSOME, "rb") as src, open(chromosome, "wb") as dst:
                dst.write(src.read())
            outputs = {}
            for flag in ("-w", None):
                out = os.path.join(tmp, f"aragorn{flag or ''}.txt")
                subprocess.run(["aragorn", "-t", "-gcbact", "-l"] + ([flag] if flag else []) +
                               [chromosome, "-o", out], check=True, stdout=subprocess.DEVNULL)
                outputs[flag] = out
            same_file = [l for l in open(outputs["-w"]) if not l.startswith("Configuration")] == \
                [l for l in open(TRNA) if not l.startswith("Configuration")]
            same_tai = trelba_tai(outputs[None], tmp) == ours
            print(f"ARAGORN run again: -w output {'as shipped' if same_file else 'DIFFERS'}, "
                  f"default output's tai {'the same' if same_tai else 'DIFFERS'}")
            failed = failed or not (same_file and same_tai)
        else:
            print("aragorn or ragout-examples not installed: ARAGORN not run again")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
