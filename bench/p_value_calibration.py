#!/usr/bin/env python3
"""How often excess_p and adaptation_p fall below 0.05 and 0.01 on genes drawn under the null.

Each gene of a genome keeps its amino acids; its codons of amino acids with a choice are
drawn again from the genome's own usage of that amino acid (seeded). Trelba runs on the
redrawn genome with --background input and a reference file (the genome's listed highly
expressed genes, or its first 1 % of genes), and the shares of genes whose p-value is below
0.05 and 0.01 are printed by length band (under 100, 100 to 400, over 400 codons).

usage: bench/p_value_calibration.py TRELBA GENOME.fna[.gz] [HEG_IDS] [--seed N] [--copies K]
"""
import argparse
import gzip
import os
import random
import subprocess
import sys
import tempfile

BASES = "TCAG"
ACIDS = "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"
CODONS = [a + b + c for a in BASES for b in BASES for c in BASES]
ACID_OF = dict(zip(CODONS, ACIDS))


def read_fasta(path):
    opener = gzip.open if path.endswith(".gz") else open
    name, body = None, []
    with opener(path, "rt") as handle:
        for line in handle:
            if line.startswith(">"):
                if name is not None:
                    yield name, "".join(body).upper()
                name, body = line[1:].rstrip("\n"), []
            else:
                body.append(line.strip())
    if name is not None:
        yield name, "".join(body).upper()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("trelba")
    parser.add_argument("genome")
    parser.add_argument("heg", nargs="?")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--copies", type=int, default=1)
    args = parser.parse_args()
    genes = list(read_fasta(args.genome))
    usage = {}
    for _, seq in genes:
        for i in range(0, len(seq) - 2, 3):
            codon = seq[i:i + 3]
            if codon in ACID_OF:
                usage.setdefault(ACID_OF[codon], {}).setdefault(codon, 0)
                usage[ACID_OF[codon]][codon] += 1
    choices = {a: (list(c.keys()), list(c.values())) for a, c in usage.items()}
    heg = set()
    if args.heg:
        heg = {line.split()[0] for line in open(args.heg) if line.strip()}
    reference = [g for g in genes if g[0].split()[0] in heg] or genes[: max(1, len(genes) // 100)]
    bands = {"< 100": [0, 0, 0, 0, 0], "100-400": [0, 0, 0, 0, 0], "> 400": [0, 0, 0, 0, 0]}
    rng = random.Random(args.seed)
    with tempfile.TemporaryDirectory() as tmp:
        ref_path = os.path.join(tmp, "reference.fa")
        with open(ref_path, "w") as out:
            for name, seq in reference:
                out.write(">%s\n%s\n" % (name, seq))
        for _ in range(args.copies):
            null_path = os.path.join(tmp, "null.fa")
            with open(null_path, "w") as out:
                for name, seq in genes:
                    drawn = []
                    for i in range(0, len(seq) - 2, 3):
                        codon = seq[i:i + 3]
                        acid = ACID_OF.get(codon)
                        if acid is None or acid == "*" or i + 3 >= len(seq) - 2:
                            drawn.append(codon)
                            continue
                        codons, weights = choices[acid]
                        drawn.append(rng.choices(codons, weights)[0])
                    out.write(">%s\n%s\n" % (name.split()[0], "".join(drawn) + seq[len(drawn) * 3:]))
            table = subprocess.run(
                [args.trelba, "--gcode", "11", "--background", "input", "--reference", ref_path,
                 "--no-reports", "-T", "-", null_path],
                check=True, capture_output=True, text=True).stdout.splitlines()
            header = table[0].split("\t")
            at = {c: header.index(c) for c in ("codons", "excess_p", "adaptation_p")}
            for row in table[1:]:
                cells = row.split("\t")
                codons = int(cells[at["codons"]])
                band = bands["< 100" if codons < 100 else "100-400" if codons <= 400 else "> 400"]
                band[0] += 1
                for k, column in ((1, "excess_p"), (3, "adaptation_p")):
                    value = cells[at[column]]
                    if value == "NA":
                        continue
                    band[k] += float(value) < 0.05
                    band[k + 1] += float(value) < 0.01
    print("%-8s %7s %16s %16s" % ("codons", "genes", "excess_p <.05 <.01", "adaptation <.05 <.01"))
    for name, (n, e5, e1, a5, a1) in bands.items():
        if n:
            print("%-8s %7d %7.2f %7.2f %8.2f %7.2f" % (name, n, 100 * e5 / n, 100 * e1 / n,
                                                        100 * a5 / n, 100 * a1 / n))


if __name__ == "__main__":
    sys.exit(main())
