#!/usr/bin/env python3
"""A deliberately literal, slow model of Trelba, used to cross-check the C++ program.

It keeps whole-run tables (codons x sequences), transforms them in place phase by phase
(counts -> within-family frequencies -> entropy terms -> family entropies -> order values
-> scores), and formats numbers with printf's "%g", so it shares no code and no structure
with the streaming implementation. Python floats are IEEE doubles, and the logarithm is
the correctly rounded one (from the decimal module, not the C library's), so the numbers
must agree bit for bit on every platform.

A CODE of the form gN stands for NCBI translation table N (`Trelba --gcode N`), its
families taken from Biopython's codon tables: a codon in the forward table joins its amino
acid, every other codon the stop family; no codon is exempt; the denominator is every
family of two or more codons but the stop family, in ascending number.

usage: reference_model.py INPUT CODE OUTDIR   (writes OUTDIR/NAME.iik, .ok and .freq)
"""
import decimal
import functools
import math
import os
import sys

BASES = {"T": 0, "C": 1, "A": 2, "G": 3}
WHITESPACE = b" \t\n\v\f\r"


# 50 significant digits, then one rounding to a double: a double's logarithm never lies
# within 10^-40 of its own of a halfway point between two doubles (the hardest cases come
# within about 2^-118), so the double is ln x correctly rounded.
LOG_CONTEXT = decimal.Context(prec=50)


@functools.lru_cache(maxsize=None)
def log(x):
    return float(decimal.Decimal(x).ln(LOG_CONTEXT))


def idx(name):
    return 1 + 16 * BASES[name[0]] + 4 * BASES[name[1]] + BASES[name[2]]


STANDARD = {
    1: "TTT TTC", 2: "TTA TTG CTT CTC CTA CTG", 3: "TCT TCC TCA TCG AGT AGC",
    4: "TAT TAC", 5: "TAA TAG TGA", 6: "TGT TGC", 7: "TGG", 8: "CCT CCC CCA CCG",
    9: "CAT CAC", 10: "CAA CAG", 11: "CGT CGC CGA CGG AGA AGG", 12: "ATT ATC ATA",
    13: "ATG", 14: "ACT ACC ACA ACG", 15: "AAT AAC", 16: "AAA AAG",
    17: "GTT GTC GTA GTG", 18: "GCT GCC GCA GCG", 19: "GAT GAC", 20: "GAA GAG",
    21: "GGT GGC GGA GGG",
}
DEPARTURES = {
    "1": {5: "TAA TAG", 7: "TGA TGG", 12: "ATT ATC", 13: "ATA ATG"},
    "2": {2: "TTA TTG", 5: "TAA TAG AGA AGG", 7: "TGA TGG", 12: "ATT ATC", 13: "ATA ATG"},
    "3": {5: "TAA TAG", 7: "TGA TGG"},
    "4": {3: "TCT TCC TCA TCG AGT AGC AGA AGG", 5: "TAA TAG", 7: "TGA TGG",
          11: "CGT CGC CGA CGG", 12: "ATT ATC", 13: "ATA ATG"},
    "5": {5: "TGA", 10: "TAA TAG CAA CAG"},
    "6": {5: "TAA TAG", 6: "TGT TGC TGA"},
    "7": {3: "TCT TCC TCA TCG AGT AGC AGA AGG", 5: "TAA TAG", 7: "TGA TGG",
          11: "CGT CGC CGA CGG", 16: "AAG", 19: "AAA GAT GAC"},
}
EXEMPT = {idx("TAA"), idx("TAG"), idx("TGA"), idx("TGG"), idx("ATG")}


FAMILY_LETTERS = "FLSY*CWPHQRIMTNKVADEG"  # families 1 to 21


def is_ncbi(code):
    return code.startswith("g")


def ncbi_families(number):
    from Bio.Data.CodonTable import unambiguous_dna_by_id
    table = unambiguous_dna_by_id[number]
    fam = {f: [] for f in range(1, 22)}
    for a in BASES:
        for b in BASES:
            for c in BASES:
                amino = table.forward_table.get(a + b + c, "*")
                fam[FAMILY_LETTERS.index(amino) + 1].append(idx(a + b + c))
    return fam


def families(code):
    if is_ncbi(code):
        return ncbi_families(int(code[1:]))
    table = dict(STANDARD)
    table.update(DEPARTURES.get(code, {}))
    return {f: [idx(c) for c in table[f].split()] for f in range(1, 22)}


def denominator(code, fam):
    if is_ncbi(code):
        return [f for f in range(1, 22) if f != 5 and len(fam[f]) > 1]
    # every family but 5 and the one-codon families; 13 and 7 come last, in that order
    order = [f for f in range(1, 22) if f not in (5, 7, 13)] + [13, 7]
    return [f for f in order if len(fam[f]) > 1]


def read(data):
    """Codon counts per slot: slot 0 before the first header, slot n for header n."""
    slots = [[0.0] * 65]
    i, triple = 0, []
    while i < len(data):
        c = data[i]
        i += 1
        if c in WHITESPACE:
            continue
        if c == ord(">"):
            slots.append([0.0] * 65)
            triple = []
            while i < len(data) and data[i] not in b"\n\r":
                i += 1
            i += 1
            continue
        triple.append(chr(c).upper() if c < 128 else "?")
        if len(triple) == 3:
            if all(b in BASES for b in triple):
                slots[-1][idx(triple)] += 1.0
            triple = []
    return slots


def g(x):
    return "%g" % x


def analyse(slots, code):
    """Transforms the counts of `slots` in place into within-family frequencies and entropy
    terms; the composition, order values and score of every slot."""
    fam = families(code)
    exempt = set() if is_ncbi(code) else EXEMPT
    comp = [[0.0] * 22 for _ in slots]
    for s, row in enumerate(slots):
        total = [0.0] * 22
        for f in range(1, 22):
            t = row[fam[f][0]] if fam[f] else 0.0
            for m in fam[f][1:]:
                t += row[m]
            total[f] = t
            if t != 0:
                for m in fam[f]:
                    row[m] = row[m] / t
        den = denominator(code, fam)
        d = total[den[0]]
        for f in den[1:]:
            d += total[f]
        for f in range(1, 22):
            if f != 5:
                comp[s][f] = total[f] / d if d != 0 else (
                    math.nan if total[f] == 0 else math.inf)

    for row in slots:
        for k in range(1, 65):
            if k not in exempt and row[k] != 0:
                row[k] = (log(row[k]) * row[k]) * -1.0

    order = [[0.0] * 22 for _ in slots]
    for s, row in enumerate(slots):
        for f in range(1, 22):
            k = len(fam[f])
            if f == 5 or k < 2:
                continue
            h = row[fam[f][0]]
            for m in fam[f][1:]:
                h += row[m]
            order[s][f] = 1.0 - h / log(float(k))

    scores = []
    for s in range(len(slots)):
        score = comp[s][1] * order[s][1]
        for f in list(range(2, 5)) + list(range(6, 22)):
            product = comp[s][f] * order[s][f]
            score = score + product
        scores.append(score)

    return comp, order, scores


def run(path, code, outdir):
    with open(path, "rb") as fh:
        slots = read(fh.read())
    n = len(slots) - 1
    fam = families(code)
    exempt = set() if is_ncbi(code) else EXEMPT
    name = os.path.join(outdir, os.path.basename(path))

    rna = "UCAG"
    with open(name + ".freq", "w", newline="\n") as out:
        for s in range(1, n + 1):
            label = "%07d" % s
            for b1 in range(4):
                for b3 in range(4):
                    cells = []
                    for b2 in range(4):
                        cod = rna[b1] + rna[b2] + rna[b3]
                        cells.append(cod + "\t" + g(slots[s][1 + 16 * b1 + 4 * b2 + b3]))
                    out.write("sequence#" + label + " " + "\t".join(cells) + "\n")
            out.write("\n\n")

    comp, order, scores = analyse(slots, code)

    total, count = 0.0, 0
    with open(name + ".iik", "w", newline="\n") as iik, \
            open(name + ".ok", "w", newline="\n") as ok:
        for s in range(1, n + 1):
            for f in range(1, 22):
                iik.write("%d %s\n" % (f, g(order[s][f])))
            iik.write("\n")
            if scores[s] > 0.0:
                ok.write(g(scores[s]) + "\n")
                total += scores[s]
                count += 1
        ok.write("\naverage = " + (g(total / count) if count else "nan") + "\n")


if __name__ == "__main__":
    run(sys.argv[1], sys.argv[2], sys.argv[3])
