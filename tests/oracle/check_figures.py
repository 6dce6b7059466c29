#!/usr/bin/env python3
"""The numbers the figures print against independent ones, for the real files and E. coli's
genome: the neutrality plot's slope, r and gene count against numpy's least squares and
Pearson's r on the table's gc3s and gc12 columns; the PR2 plot's mean G3/(G3+C3) and
A3/(A3+T3) at four-fold sites against counts made here from the sequences (read by
Biopython) with the boxes of four codons of one amino acid taken from Biopython's NCBI
table 11. Each to the three decimals the figures print.

    check_figures.py TRELBA DATA_DIR
"""
import csv
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile

import numpy as np
from Bio import SeqIO
from Bio.Data import CodonTable

TRELBA, DATA = sys.argv[1], sys.argv[2]
REAL = os.path.join(DATA, "real")
INPUTS = sorted(os.path.join(REAL, f) for f in os.listdir(REAL)) + [
    os.path.join(DATA, "genomes/Ecoli_K12_MG1655.prodigal.cds.fna.gz")
]
BASES = "TCAG"
FORWARD = CodonTable.unambiguous_dna_by_id[11].forward_table
FOUR_FOLD = {
    a + b
    for a in BASES
    for b in BASES
    if all(a + b + c in FORWARD for c in BASES)
    and len({FORWARD[a + b + c] for c in BASES}) == 1
}


def sequences(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rt") as f:
        return [str(r.seq).upper() for r in SeqIO.parse(f, "fasta")]


def shares(sequence):
    thirds = dict.fromkeys(BASES, 0)
    for i in range(0, len(sequence) - 2, 3):
        codon = sequence[i : i + 3]
        if codon[:2] in FOUR_FOLD and codon[2] in thirds:
            thirds[codon[2]] += 1
    g, c, a, t = thirds["G"], thirds["C"], thirds["A"], thirds["T"]
    return (g / (g + c) if g + c else None, a / (a + t) if a + t else None)


def note(path):
    text = open(path, encoding="utf-8").read()
    return re.search(r'class="note"[^>]*>([^<]*)<', text).group(1)


def main():
    work = tempfile.mkdtemp()
    try:
        table = os.path.join(work, "t.tsv")
        figures = os.path.join(work, "figures")
        subprocess.run(
            [TRELBA, "--no-reports", "--gcode", "11", "--columns", "composition", "-T", table,
             "--figures", figures] + INPUTS,
            check=True, stderr=subprocess.DEVNULL)
        rows = list(csv.DictReader(open(table, newline=""), delimiter="\t"))
        problems = []
        for path in INPUTS:
            name = os.path.basename(path)
            mine = [r for r in rows if r["file"] == path and r["score"] != "NA"]
            # The neutrality plot.
            xy = np.array([(float(r["gc3s"]), float(r["gc12"])) for r in mine
                           if r["gc3s"] != "NA" and r["gc12"] != "NA"])
            slope = np.polyfit(xy[:, 0], xy[:, 1], 1)[0] if len(xy) > 1 else None
            r = np.corrcoef(xy[:, 0], xy[:, 1])[0, 1] if len(xy) > 1 else None
            expected = "slope %s, r %s (%s)" % (
                "NA" if slope is None else "%.3f" % slope,
                "NA" if r is None or np.isnan(r) else "%.3f" % r,
                "1 gene" if len(xy) == 1 else "{:,} genes".format(len(xy)))
            got = note(os.path.join(figures, name + ".neutrality.svg"))
            if got.replace("-0.000", "0.000") != expected.replace("-0.000", "0.000"):
                problems.append("%s neutrality: %r, numpy %r" % (name, got, expected))
            # The PR2 plot.
            bodies = sequences(path)
            both = [s for s in (shares(bodies[int(r["seq"]) - 1]) for r in mine)
                    if None not in s]
            expected = ("mean %.3f, %.3f" % tuple(np.mean(both, axis=0))) if both else None
            got = note(os.path.join(figures, name + ".pr2.svg"))
            if expected is not None and got != expected:
                problems.append("%s PR2: %r, counted here %r" % (name, got, expected))
            print("%s: %s; %s" % (name, note(os.path.join(figures, name + ".neutrality.svg")),
                                  got))
        if problems:
            sys.exit("\n".join(problems))
    finally:
        shutil.rmtree(work)


main()
