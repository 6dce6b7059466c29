#!/usr/bin/env python3
"""Every value of a gene that codonW prints against Trelba's, for a table of real files.

codonW (Debian's codonw) is given the same code, the same relative adaptiveness w and the
same optimal codons as Trelba found against the reference set (the codon usage's rows of
the input), and must print the same values to its digits on every gene: GC3s, CAI, Fop,
CBI, T3s, C3s, A3s, G3s, L_sym, L_aa (-sil_base, -L_sym, -L_aa), GC1 and GC2 (-base), each
codon's RSCU (-rscu), each amino acid's share (-raau); ENC on at least 99 % of genes. A
value that Trelba's six digits put on a rounding midpoint of codonW's digits counts as
agreeing either way.

- Gravy and Aromo: codonW sums them in single precision, which moves its sixth decimal.
  Where it differs from Trelba's, the single-precision sum (each amino acid's share times
  its hydropathy, added in codonW's order of amino acids) must print codonW's digits and
  Trelba's value must be the exact one's: counted apart, "+N single".
- Dinucleotides: codonW prints each pair's share of the pairs at 1-2, 2-3, 3-1 and of all
  (-dinuc), not a ratio. The pairs counted here from the sequence must print codonW's
  digits on every gene, and Trelba's ratios must be those of these pairs, to Trelba's six
  digits.
- NA where codonW prints 0: an RSCU of an amino acid absent from the gene, a base share at
  synonymous third positions of a gene with none that could end in it. With no optimal
  codon at all (a set found in a single gene), codonW's Fop and CBI are 0 and Trelba's NA:
  not compared.

Then the same w and optimal codons given to Trelba in codonW's own files (--reference
cai_file, --optimal-codons fop_file) must give codonW's CAI and Fop; and a phage (phiX174)
against its host's reference (E. coli's 94 genes) gets the same cai and fop in one run with
its host, in a second run that reads the host's codon usage table, and from codonW given
the host's w and optimal codons.

Every file is given to both written 60 letters a line: codonW's -dinuc loses the frame on
lines of some other lengths (70, 99).

    compare_with_codonw.py TRELBA DATA_DIR   (exits 77, skipped, when codonw is not installed)
"""
import csv
import gzip
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
from collections import Counter
from fractions import Fraction

TRELBA, DATA = sys.argv[1], sys.argv[2]
BASES = "TCAG"
CODONS = [a + b + c for a in BASES for b in BASES for c in BASES]
# codonW's codon order: first base, third base, second base.
CODONW_ORDER = [a + b + c for a in BASES for c in BASES for b in BASES]
PAIRS = [a + b for a in BASES for b in BASES]

# (input, reference, code): a reference file, or auto for the set found in the input; the
# code as Trelba's --gcode and codonW's -code (None: the standard code, both's default).
VERTEBRATE_MITOCHONDRIAL = ("2", "1")
FILES = [
    ("real/Carsonella_ruddii_DC.prodigal.cds.fna", "auto", None),
    ("real/Ypestis_pPCP1_NC_005816.ffn", "auto", None),
    ("real/Mmusculus_p53.cds.fna", "auto", None),
    ("real/Mmusculus_p53.cds.fna", "auto", VERTEBRATE_MITOCHONDRIAL),
    ("real/HIV1_NC_001802_lowercase.fna", "auto", None),
    ("genomes/Ecoli_K12_MG1655.prodigal.cds.fna.gz", "../../examples/Ecoli_HighlyExpressedGenes.fa",
     None),
    ("genomes/Msmegmatis_mc2_155.cds.fna.gz", "auto", None),
    ("genomes/Mtuberculosis_H37Rv.cds.fna.gz", "auto", None),
    ("genomes/Rdenitrificans_OCh114.cds.fna.gz", "auto", None),
    ("genomes/prokka_multicontig.cds.fna.gz", "auto", None),
]
# Trelba's column, codonW's title in its index output, codonW's digits.
INDICES = [("enc", "Nc", 2), ("gc3s", "GC3s", 3), ("cai", "CAI", 3), ("fop", "Fop", 3),
           ("cbi", "CBI", 3), ("t3s", "T3s", 4), ("c3s", "C3s", 4), ("a3s", "A3s", 4),
           ("g3s", "G3s", 4), ("l_sym", "L_sym", 0), ("l_aa", "L_aa", 0), ("gravy", "Gravy", 6),
           ("aromo", "Aromo", 6)]
# Where a base share of synonymous third positions has no codon, codonW prints 0.
ZERO_FOR_NA = {"t3s", "c3s", "a3s", "g3s"}
# codonW's amino acids (-raau's columns, its order) with their letters, and the hydropathy
# of each (Kyte & Doolittle 1982).
CODONW_ACIDS = [("Phe", "F"), ("Leu", "L"), ("Ile", "I"), ("Met", "M"), ("Val", "V"),
                ("Ser", "S"), ("Pro", "P"), ("Thr", "T"), ("Ala", "A"), ("Tyr", "Y"),
                ("His", "H"), ("Gln", "Q"), ("Asn", "N"), ("Lys", "K"), ("Asp", "D"),
                ("Glu", "E"), ("Cys", "C"), ("Trp", "W"), ("Arg", "R"), ("Gly", "G")]
HYDROPATHY = {"A": 1.8, "R": -4.5, "N": -3.5, "D": -3.5, "C": 2.5, "Q": -3.5, "E": -3.5,
              "G": -0.4, "H": -3.2, "I": 4.5, "L": 3.8, "K": -3.9, "M": 1.9, "F": 2.8,
              "P": -1.6, "S": -0.8, "T": -0.7, "W": -0.9, "Y": -1.3, "V": 4.2}
# The amino acids of the codons, TTT to GGG: NCBI's tables 1 and 2.
TRANSLATION = {
    None: "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG",
    VERTEBRATE_MITOCHONDRIAL: "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNKKSS**VVVVAAAADDEEGGGG",
}
RATIOS = [("cpg_oe", None, "CG"), ("tpa_oe", None, "TA"), ("cpg12_oe", 0, "CG"),
          ("tpa12_oe", 0, "TA"), ("cpg23_oe", 1, "CG"), ("tpa23_oe", 1, "TA"),
          ("cpg31_oe", 2, "CG"), ("tpa31_oe", 2, "TA")]


def sixth_digit(value):
    """A unit of the sixth significant digit of `value`."""
    return 10.0 ** (math.floor(math.log10(abs(value))) - 5) if value else 0.0


def agrees(ours, theirs, digits, zero_for_na=False):
    if theirs.startswith("*") or ours == "NA":
        if ours == "NA" and zero_for_na:
            return float(theirs) == 0
        return theirs.startswith("*") == (ours == "NA")
    value, printed = float(ours), float(theirs)
    half = 0.5 * 10 ** -digits + 1e-12
    if abs(value - printed) <= half:
        return True
    # Our six digits, one unit either way, may straddle codonW's rounding.
    unit = sixth_digit(value)
    return abs(value - unit - printed) <= half or abs(value + unit - printed) <= half


def exactly(ours, exact):
    """Trelba's six significant digits, one unit either way, hold a value worked out here
    (None for NA)."""
    if exact is None or ours == "NA":
        return (exact is None) == (ours == "NA")
    return abs(float(ours) - exact) <= sixth_digit(exact)


def single(x):
    """x rounded to single precision."""
    return struct.unpack("f", struct.pack("f", x))[0]


def single_precision_sum(acids, weights):
    """codonW's sum: each amino acid's share, times its weight, added in single precision."""
    sense = sum(acids.values())
    total = single(0.0)
    for _, letter in CODONW_ACIDS:
        share = single(single(acids.get(letter, 0)) / single(sense))
        total = single(total + single(share * single(weights.get(letter, 0.0))))
    return total


def read_fasta(path):
    opener = gzip.open if path.endswith(".gz") else open
    genes = []
    with opener(path, "rt") as src:
        for line in src:
            if line.startswith(">"):
                # Headers cut to their first word: codonW reads the rest of a long header
                # line (some of M. tuberculosis's) as sequence letters.
                genes.append([line.split()[0][1:], []])
            elif genes:
                genes[-1][1].append(line.strip().upper())
    return [(name, "".join(parts)) for name, parts in genes]


def pairs_by_frame(sequence):
    """The pairs of adjacent bases by the place of the first in its codon."""
    frames = []
    for f in range(3):
        counts = Counter(map(str.__add__, sequence[f::3], sequence[f + 1::3]))
        frames.append({pair: counts[pair] for pair in PAIRS})
    return frames


def ratio(pairs, pair):
    n = sum(pairs.values())
    first = sum(v for k, v in pairs.items() if k[0] == pair[0])
    second = sum(v for k, v in pairs.items() if k[1] == pair[1])
    return None if first == 0 or second == 0 else pairs[pair] * n / (first * second)


def run_codonw(tmp, plain, code, *options):
    out, bulk = os.path.join(tmp, "cw.out"), os.path.join(tmp, "cw.blk")
    code_options = ["-code", code[1]] if code else []
    subprocess.run(["codonw", plain, out, bulk, *options, *code_options, "-nomenu", "-silent",
                    "-nowarn", "-machine"], cwd=tmp, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    with open(out) as o, open(bulk) as b:
        return ([line.split() for line in o.read().splitlines() if line.strip()],
                [line.split() for line in b.read().splitlines() if line.strip()])


class Tally:
    def __init__(self, name):
        self.name, self.line, self.failed = name, [name], False

    def add(self, column, differ, genes, allowed=0, single_count=0):
        extra = f"+{single_count} single" if single_count else ""
        self.line.append(f"{column} {genes - len(differ) - single_count}{extra}/{genes}")
        if len(differ) > allowed:
            self.failed = True
            self.line.append(f"(first: {differ[0]})")


def compare_file(tmp, name, reference, code):
    genes = read_fasta(os.path.join(DATA, name))
    plain = os.path.join(tmp, "in.fna")
    with open(plain, "w") as dst:
        for gene, sequence in genes:
            lines = [sequence[i:i + 60] for i in range(0, len(sequence), 60)]
            dst.write(">" + gene + "\n" + "".join(line + "\n" for line in lines))
    ref = reference if reference == "auto" else os.path.join(DATA, reference)
    table, usage = os.path.join(tmp, "t.tsv"), os.path.join(tmp, "u.tsv")
    code_options = ["--gcode", code[0]] if code else []
    subprocess.run([TRELBA, "--no-reports", "-T", table, "--codon-usage", usage, "--reference",
                    ref, "--columns", "composition,dinucleotides,rscu,aa", *code_options, plain],
                   check=True, stderr=subprocess.DEVNULL)
    with open(usage) as u:
        rows = [r for r in csv.DictReader(u, delimiter="\t") if r["file"] == plain]
    by_codon = {r["codon"]: r for r in rows}
    with_optimal = {r["amino_acid"] for r in rows if r["optimal"] == "1"}
    with open(os.path.join(tmp, "w.txt"), "w") as w:
        for codon in CODONW_ORDER:
            value = by_codon[codon]["w"]
            w.write(("1" if value == "NA" else value) + "\n")
    fop_values = ["3" if by_codon[c]["optimal"] == "1"
                  else "2" if by_codon[c]["amino_acid"] in with_optimal else "0"
                  for c in CODONW_ORDER]
    fop_file = os.path.join(tmp, "fop.txt")
    with open(fop_file, "w") as fop:
        for line in range(4):
            fop.write(",".join(fop_values[16 * line:16 * line + 16]) + "\n")
    with open(table) as t:
        ours = list(csv.DictReader(t, delimiter="\t"))
    tally = Tally(name + (f" (--gcode {code[0]})" if code else ""))
    n = len(ours)
    if n != len(genes):
        tally.line.append(f"{n} rows of {len(genes)} sequences")
        tally.failed = True
        return tally

    index_rows, _ = run_codonw(tmp, plain, code, "-enc", "-gc3s", "-cai", "-fop", "-cbi",
                               "-sil_base", "-L_sym", "-L_aa", "-hyd", "-aro", "-cai_file",
                               os.path.join(tmp, "w.txt"), "-fop_file", fop_file, "-cbi_file",
                               fop_file)
    header, theirs = index_rows[0], index_rows[1:]
    if len(theirs) != n:
        tally.line.append(f"codonW {len(theirs)} rows")
        tally.failed = True
        return tally
    acid_of = dict(zip(CODONS, TRANSLATION[code]))

    def acid_counts(sequence):
        acids = Counter(acid_of.get(sequence[i:i + 3], "*") for i in range(0, len(sequence) - 2, 3))
        del acids["*"]
        return acids

    aromatic = {"F": 1.0, "Y": 1.0, "W": 1.0}
    for column, title, digits in INDICES:
        # With no optimal codon at all, codonW's Fop and CBI are 0 and Trelba's NA.
        if title not in header or (column in ("fop", "cbi") and not with_optimal):
            continue
        at = header.index(title)
        differ, explained = [], 0
        for r, t, (_, sequence) in zip(ours, theirs, genes):
            if agrees(r[column], t[at], digits, column in ZERO_FOR_NA):
                continue
            weights = HYDROPATHY if column == "gravy" else aromatic if column == "aromo" else None
            if weights is not None:
                acids = acid_counts(sequence)
                sense = sum(acids.values())
                exact = Fraction(sum(Fraction(str(weights.get(a, 0.0))) * k
                                     for a, k in acids.items()), sense)
                if (f"{single_precision_sum(acids, weights):.{digits}f}" == t[at]
                        and exactly(r[column], float(exact))):
                    explained += 1
                    continue
            differ.append((r["id"], r[column], t[at]))
        tally.add(column, differ, n, n // 100 if column == "enc" else 0, explained)

    _, base = run_codonw(tmp, plain, code, "-base")
    for column, title in (("gc1", "GC1"), ("gc2", "GC2")):
        at = base[0].index(title)
        differ = [(r["id"], r[column], t[at]) for r, t in zip(ours, base[1:])
                  if not agrees(r[column], t[at], 3)]
        tally.add(column, differ, n)

    # Four lines of 16 a gene, its name after the last.
    _, rscu = run_codonw(tmp, plain, code, "-rscu")
    values = [v for line in rscu for v in line[:16]]
    differ = []
    for g, r in enumerate(ours):
        for codon, printed in zip(CODONW_ORDER, values[64 * g:64 * g + 64]):
            if not agrees(r["rscu_" + codon], printed, 3, zero_for_na=True):
                differ.append((r["id"], codon, r["rscu_" + codon], printed))
                break
    tally.add("rscu", differ, n)

    _, raau = run_codonw(tmp, plain, code, "-raau")
    differ = []
    for r, t in zip(ours, raau[1:]):
        for acid, _ in CODONW_ACIDS:
            printed = t[raau[0].index(acid)]
            if not agrees(r["aa_" + acid], printed, 4):
                differ.append((r["id"], acid, r["aa_" + acid], printed))
                break
    tally.add("aa", differ, n)

    _, dinuc = run_codonw(tmp, plain, code, "-dinuc")
    frequency_differ, ratio_differ = [], []
    for (gene, sequence), r, t in zip(genes, ours, dinuc[1:]):
        frames = pairs_by_frame(sequence)
        pooled = {p: sum(f[p] for f in frames) for p in PAIRS}
        for label, pairs in zip(("1:2", "2:3", "3:1", "all"), frames + [pooled]):
            at = t.index(label)
            total = sum(pairs.values())
            # Each share to codonW's three digits, a midpoint either way.
            wrong = [p for p, printed in zip(PAIRS, t[at + 1:at + 17])
                     if abs(pairs[p] / total - float(printed)) > 0.0005 + 1e-12]
            if wrong:
                frequency_differ.append((gene, label, wrong[0]))
                break
        for column, frame, pair in RATIOS:
            exact = ratio(pooled if frame is None else frames[frame], pair)
            if not exactly(r[column], exact):
                ratio_differ.append((gene, column, r[column], exact))
                break
    tally.add("dinucleotide shares (codonW)", frequency_differ, n)
    tally.add("dinucleotide ratios", ratio_differ, n)
    return tally


def write_codonw_files(tmp, by_codon):
    """codonW's cai_file and fop_file of one file's rows of a codon usage table."""
    with_optimal = {r["amino_acid"] for r in by_codon.values() if r["optimal"] == "1"}
    w_file, fop_file = os.path.join(tmp, "given_w.txt"), os.path.join(tmp, "given_fop.txt")
    with open(w_file, "w") as w:
        for codon in CODONW_ORDER:
            w.write(("1" if by_codon[codon]["w"] == "NA" else by_codon[codon]["w"]) + "\n")
    values = ["3" if by_codon[c]["optimal"] == "1"
              else "2" if by_codon[c]["amino_acid"] in with_optimal else "0" for c in CODONW_ORDER]
    with open(fop_file, "w") as fop:
        for line in range(4):
            fop.write(",".join(values[16 * line:16 * line + 16]) + "\n")
    return w_file, fop_file


def given_tables(tmp):
    """codonW's files read back by Trelba, and a phage against its host in one run or two."""
    tallies = []
    genome, phage = os.path.join(tmp, "ecoli.fna"), os.path.join(tmp, "phiX174.fna")
    for name, plain in (("genomes/Ecoli_K12_MG1655.prodigal.cds.fna.gz", genome),
                        ("phage/phiX174_NC_001422.cds.fna", phage)):
        with open(plain, "w") as dst:
            for gene, sequence in read_fasta(os.path.join(DATA, name)):
                lines = [sequence[i:i + 60] for i in range(0, len(sequence), 60)]
                dst.write(">" + gene + "\n" + "".join(line + "\n" for line in lines))
    heg = os.path.join(DATA, "../../examples/Ecoli_HighlyExpressedGenes.fa")
    usage, one, two, given = (os.path.join(tmp, n) for n in ("host.tsv", "one.tsv", "two.tsv",
                                                             "given.tsv"))
    common = [TRELBA, "--gcode", "11", "--no-reports"]
    subprocess.run(common + ["--reference", heg, "--codon-usage", usage, "-T", one, genome, phage],
                   check=True, stderr=subprocess.DEVNULL)
    subprocess.run(common + ["--reference", usage, "-T", two, phage], check=True,
                   stderr=subprocess.DEVNULL)
    with open(usage) as u:
        rows = list(csv.DictReader(u, delimiter="\t"))
    w_file, fop_file = write_codonw_files(
        tmp, {r["codon"]: r for r in rows if r["file"] == rows[0]["file"]})
    subprocess.run(common + ["--reference", w_file, "--optimal-codons", fop_file, "-T", given,
                             genome], check=True, stderr=subprocess.DEVNULL)
    for label, fasta, table in (("E. coli, codonW's files given to Trelba", genome, given),
                                ("phiX174 against E. coli in one run", phage, one),
                                ("phiX174 against E. coli in a second run", phage, two)):
        with open(table) as t:
            ours = [r for r in csv.DictReader(t, delimiter="\t") if r.get("file", fasta) == fasta]
        index_rows, _ = run_codonw(tmp, fasta, None, "-cai", "-fop", "-cai_file", w_file,
                                   "-fop_file", fop_file)
        header, theirs = index_rows[0], index_rows[1:]
        tally = Tally(label)
        for column, title in (("cai", "CAI"), ("fop", "Fop")):
            at = header.index(title)
            differ = [(r["id"], r[column], t[at]) for r, t in zip(ours, theirs)
                      if not agrees(r[column], t[at], 3)]
            tally.add(column, differ, len(ours))
        if len(ours) != len(theirs) or not ours:
            tally.line.append(f"{len(ours)} rows, codonW {len(theirs)}")
            tally.failed = True
        tallies.append(tally)
    return tallies


def main():
    if shutil.which("codonw") is None:
        print("codonw not installed: comparison skipped")
        return 77
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        for name, reference, code in FILES:
            tally = compare_file(tmp, name, reference, code)
            print("  ".join(tally.line))
            failed = failed or tally.failed
        for tally in given_tables(tmp):
            print("  ".join(tally.line))
            failed = failed or tally.failed
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
