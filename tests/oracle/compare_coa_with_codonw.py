#!/usr/bin/env python3
"""The correspondence analysis of every gene of E. coli and the genomes against codonW's,
for each kind: --coa codons, rscu and aa against -coa_cu, -coa_rscu and -coa_aa.

Both read the same FASTA text (headers cut to their first word: codonW reads the rest of a
long header line as sequence letters). Then:
- the first four axes' shares of the total inertia (the summary's coa_inertia1 ... 4) equal
  eigen.coa's relative inertia to its four decimals;
- each gene's coordinates (the table's coa1 ... coa4, each axis's sign chosen to match)
  equal genes.coa's at the decimals both print (codonW prints six, the table six
  significant digits: fewer for a coordinate of 1 or more); a printed value whose dropped
  digits are a 5 alone may have been rounded from either side and agrees either way; a
  gene with no codon in the analysis, NA here, is 0.000000 there;
- every gene is within one unit of those decimals on every axis, and at least MIN_EXACT
  of the genes agree to the digit on all four (both hold the RSCU values, the columns'
  masses, each gene's deviations and its coordinates in single precision; the axes, found
  from sums of different order, still move the last printed digit of a few genes by one).

Prints the counts of each kind and genome.

    compare_coa_with_codonw.py TRELBA DATA_DIR   (exits 77, skipped, when codonw is missing)
"""
import csv
import gzip
import os
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from decimal import ROUND_HALF_DOWN, ROUND_HALF_UP, Decimal

TRELBA, DATA = sys.argv[1], sys.argv[2]
GENOMES = ["Ecoli_K12_MG1655.prodigal.cds.fna.gz", "Msmegmatis_mc2_155.cds.fna.gz",
           "Mtuberculosis_H37Rv.cds.fna.gz", "Rdenitrificans_OCh114.cds.fna.gz",
           "prokka_multicontig.cds.fna.gz"]
KINDS = {"codons": "-coa_cu", "rscu": "-coa_rscu", "aa": "-coa_aa"}
MIN_EXACT = 0.99
AXES = 4


def decimals(text):
    """How many decimals a number printed as %g or %f holds."""
    mantissa, _, exponent = text.lower().partition("e")
    places = len(mantissa.partition(".")[2])
    return places - int(exponent) if exponent else places


def rounded(text, places):
    """What `text` rounds to at `places` decimals: two values when its dropped digits are a
    5 alone (it may have been rounded from either side)."""
    value, unit = Decimal(text), Decimal(1).scaleb(-places)
    return {value.quantize(unit, rounding=mode) for mode in (ROUND_HALF_UP, ROUND_HALF_DOWN)}


def codonw_run(kind, plain, folder):
    os.makedirs(folder)
    subprocess.run(["codonw", plain, KINDS[kind], "-nomenu", "-silent", "-nowarn"], cwd=folder,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shares = [line.split()[2] for line in open(os.path.join(folder, "eigen.coa"))][:AXES]
    genes = [line.split()[1:1 + AXES]
             for line in open(os.path.join(folder, "genes.coa")).readlines()[1:]]
    return shares, genes


def trelba_run(kind, plain, folder):
    os.makedirs(folder)
    table, summary = os.path.join(folder, "t.tsv"), os.path.join(folder, "s.tsv")
    subprocess.run([TRELBA, "--no-reports", "-T", table, "--summary", summary, "--coa", kind,
                    plain], check=True, stderr=subprocess.DEVNULL)
    names = [f"coa{k}" for k in range(1, AXES + 1)]
    genes = [[row[n] for n in names] for row in csv.DictReader(open(table), delimiter="\t")]
    row = next(csv.DictReader(open(summary), delimiter="\t"))
    return [row[f"coa_inertia{k}"] for k in range(1, AXES + 1)], genes


def compare(genome, kind, plain, work):
    """(problems, exact genes, genes within a unit, genes)"""
    their_shares, theirs = codonw_run(kind, plain, os.path.join(work, kind + "-codonw"))
    our_shares, ours = trelba_run(kind, plain, os.path.join(work, kind + "-trelba"))
    problems = []
    for k in range(AXES):
        if rounded(our_shares[k], 4) != {Decimal(their_shares[k])}:
            problems.append(f"axis {k + 1}: inertia share {our_shares[k]}, codonW "
                            f"{their_shares[k]}")
    if len(ours) != len(theirs):
        return problems + [f"{len(ours)} genes, codonW {len(theirs)}"], 0, 0, len(theirs)
    signs = []
    for k in range(AXES):
        dot = sum(float(o[k]) * float(t[k]) for o, t in zip(ours, theirs) if o[k] != "NA")
        signs.append("-" if dot < 0 else "")
    exact = within = 0
    for number, (our, their) in enumerate(zip(ours, theirs), 1):
        digits = close = True
        for k in range(AXES):
            value = "0" if our[k] == "NA" else (signs[k] + our[k]).replace("--", "")
            places = min(6, decimals(their[k]), 6 if our[k] == "NA" else decimals(our[k]))
            mine, codonw = rounded(value, places), rounded(their[k], places)
            unit = Decimal(1).scaleb(-places)
            digits = digits and bool(mine & codonw)
            close = close and min(abs(a - b) for a in mine for b in codonw) <= unit
        exact += digits
        within += close
        if not close and len(problems) < 5:
            problems.append(f"gene {number}: {our} (signs {signs}), codonW {their}")
    return problems, exact, within, len(theirs)


def main():
    if shutil.which("codonw") is None:
        print("codonw not installed: comparison skipped")
        return 77
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        jobs = []
        for genome in GENOMES:
            plain = os.path.join(tmp, genome.replace(".gz", ""))
            with gzip.open(os.path.join(DATA, "genomes", genome), "rt") as src, \
                    open(plain, "w") as dst:
                for line in src:
                    dst.write(line.split()[0] + "\n" if line.startswith(">") else line.upper())
            for kind in KINDS:
                jobs.append((genome, kind, plain, os.path.join(tmp, genome + "-" + kind)))
        with ThreadPoolExecutor(max_workers=2) as pool:
            results = list(pool.map(lambda job: compare(*job), jobs))
        for (genome, kind, _, _), (problems, exact, within, genes) in zip(jobs, results):
            share = exact / genes if genes else 0.0
            print(f"{genome} --coa {kind}: {exact} of {genes} genes to codonW's digits "
                  f"({100 * share:.1f} %), {within} within one unit of the sixth decimal")
            for problem in problems:
                print("  " + problem)
            if problems or within != genes or share < MIN_EXACT:
                failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
