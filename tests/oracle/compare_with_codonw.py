#!/usr/bin/env python3
"""ENC, GC3s, CAI and Fop of every sequence against codonW's, for a table of real files.

codonW (Debian's codonw) is given the same code (the standard one), the same relative
adaptiveness w and the same optimal codons as Trelba found against the reference set (the
codon usage's rows of the input), and must print the same values to its digits: every gene
for GC3s, CAI and Fop, and at least 99 % of them for ENC (its sums are kept in single
precision). A value that Trelba's six digits put on a rounding midpoint of codonW's digits
counts as agreeing either way.

    compare_with_codonw.py TRELBA DATA_DIR   (exits 77, skipped, when codonw is not installed)
"""
import csv
import gzip
import os
import shutil
import subprocess
import sys
import tempfile

TRELBA, DATA = sys.argv[1], sys.argv[2]
BASES = "TCAG"

# (input, reference): a reference file, or auto for the set found in the input.
FILES = [
    ("real/Carsonella_ruddii_DC.prodigal.cds.fna", "auto"),
    ("real/Ypestis_pPCP1_NC_005816.ffn", "auto"),
    ("real/Mmusculus_p53.cds.fna", "auto"),
    ("real/HIV1_NC_001802_lowercase.fna", "auto"),
    ("genomes/Ecoli_K12_MG1655.prodigal.cds.fna.gz", "../../examples/Ecoli_HighlyExpressedGenes.fa"),
    ("genomes/Msmegmatis_mc2_155.cds.fna.gz", "auto"),
    ("genomes/Mtuberculosis_H37Rv.cds.fna.gz", "auto"),
    ("genomes/Rdenitrificans_OCh114.cds.fna.gz", "auto"),
    ("genomes/prokka_multicontig.cds.fna.gz", "auto"),
]
# codonW's digits for each index.
DIGITS = {"enc": 2, "gc3s": 3, "cai": 3, "fop": 3}


def agrees(ours, theirs, digits):
    if theirs.startswith("*") or ours == "NA":
        return theirs.startswith("*") == (ours == "NA")
    value, printed = float(ours), float(theirs)
    half = 0.5 * 10 ** -digits
    # Our six digits, one unit either way, may straddle codonW's rounding.
    unit = 10 ** (int(f"{abs(value):e}".split("e")[1]) - 5) if value else 0
    return any(abs(v - printed) <= half + 1e-12 for v in (value, value - unit, value + unit))


def main():
    if shutil.which("codonw") is None:
        print("codonw not installed: comparison skipped")
        return 77
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        for name, reference in FILES:
            path = os.path.join(DATA, name)
            plain = os.path.join(tmp, "in.fna")
            opener = gzip.open if path.endswith(".gz") else open
            # Headers cut to their first word: codonW reads the rest of a long header line
            # (some of M. tuberculosis's) as sequence letters.
            with opener(path, "rt") as src, open(plain, "w") as dst:
                for line in src:
                    dst.write(line.split()[0] + "\n" if line.startswith(">") else line.upper())
            ref = reference if reference == "auto" else os.path.join(DATA, reference)
            table, usage = os.path.join(tmp, "t.tsv"), os.path.join(tmp, "u.tsv")
            subprocess.run([TRELBA, "--no-reports", "-T", table, "--codon-usage", usage,
                            "--reference", ref, plain], check=True, stderr=subprocess.DEVNULL)
            rows = [r for r in csv.DictReader(open(usage), delimiter="\t") if r["file"] == plain]
            by_codon = {r["codon"]: r for r in rows}
            # codonW's codon order: first base, third base, second base.
            order = [a + b + c for a in BASES for c in BASES for b in BASES]
            with_optimal = {r["amino_acid"] for r in rows if r["optimal"] == "1"}
            with open(os.path.join(tmp, "w.txt"), "w") as w:
                for codon in order:
                    value = by_codon[codon]["w"]
                    w.write(("1" if value == "NA" else value) + "\n")
            fop_values = ["3" if by_codon[c]["optimal"] == "1"
                          else "2" if by_codon[c]["amino_acid"] in with_optimal else "0"
                          for c in order]
            with open(os.path.join(tmp, "fop.txt"), "w") as fop:
                for line in range(4):
                    fop.write(",".join(fop_values[16 * line:16 * line + 16]) + "\n")
            out = os.path.join(tmp, "cw.out")
            subprocess.run(["codonw", plain, out, os.path.join(tmp, "cw.blk"), "-enc", "-gc3s",
                            "-cai", "-fop", "-cai_file", os.path.join(tmp, "w.txt"), "-fop_file",
                            os.path.join(tmp, "fop.txt"), "-nomenu", "-silent", "-nowarn",
                            "-machine"], cwd=tmp, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            lines = [line.split() for line in open(out).read().splitlines() if line.strip()]
            header, theirs = lines[0], lines[1:]
            ours = list(csv.DictReader(open(table), delimiter="\t"))
            if len(theirs) != len(ours):
                print(f"{name}: {len(ours)} sequences, codonW {len(theirs)}")
                failed = True
                continue
            # With no optimal codon at all (a set found in a single gene), codonW's Fop is 0
            # and Trelba's NA: not compared.
            if not with_optimal:
                header[header.index("Fop")] = "-"
            columns = {index: header.index(name)
                       for index, name in (("enc", "Nc"), ("gc3s", "GC3s"), ("cai", "CAI"),
                                           ("fop", "Fop")) if name in header}
            line = [name]
            for index, column in columns.items():
                differ = [(r["id"], r[index], t[column]) for r, t in zip(ours, theirs)
                          if not agrees(r[index], t[column], DIGITS[index])]
                line.append(f"{index} {len(ours) - len(differ)}/{len(ours)}")
                allowed = len(ours) // 100 if index == "enc" else 0
                if len(differ) > allowed:
                    failed = True
                    line.append(f"(first: {differ[0]})")
            print("  ".join(line))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
