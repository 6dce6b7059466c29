#!/usr/bin/env python3
"""How a sequence's score depends on its length when its codon use is perfectly even.

Writes random coding sequences in which every sense codon of the standard code is
equally likely (no preference at all, so the true score is 0), runs Trelba on them
under variant 0, and prints the mean score by length as a Markdown table. Whatever is
above 0 comes only from sampling a finite number of codons.

    python3 bench/length_dependence.py build/Trelba [--sequences N] [--seed S]
"""

import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile

LENGTHS = (50, 100, 300, 1000)  # codons per sequence
STOPS = {"TAA", "TAG", "TGA"}
SENSE = [a + b + c for a in "TCAG" for b in "TCAG" for c in "TCAG" if a + b + c not in STOPS]


def scores(trelba, length, count, rng, folder):
    """Scores and excesses (over even use) of `count` random sequences of `length` sense
    codons, from the table."""
    path = os.path.join(folder, f"random_{length}.fa")
    with open(path, "w", encoding="ascii") as out:
        for n in range(count):
            out.write(f">random{n + 1}\n")
            out.write("".join(rng.choice(SENSE) for _ in range(length)) + "\n")
    table = path + ".tsv"
    subprocess.run([trelba, "-T", table, "--no-reports", path, "0"], check=True)
    with open(table, encoding="ascii") as rows:
        header = rows.readline().rstrip("\n").split("\t")
        score, excess = header.index("score"), header.index("excess")
        cells = [line.rstrip("\n").split("\t") for line in rows]
    return [float(c[score]) for c in cells], [float(c[excess]) for c in cells]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("trelba", help="the built program, e.g. build/Trelba")
    parser.add_argument("--sequences", type=int, default=2000, help="sequences per length")
    parser.add_argument("--seed", type=int, default=20261208)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    print(f"{args.sequences} random sequences per length, every sense codon equally likely")
    print()
    print("| codons | mean score | standard deviation | 5% to 95% of scores | mean excess |")
    print("|---:|---:|---:|---:|---:|")
    with tempfile.TemporaryDirectory() as folder:
        for length in LENGTHS:
            values, excesses = scores(args.trelba, length, args.sequences, rng, folder)
            s = sorted(values)
            low, high = s[len(s) * 5 // 100], s[len(s) * 95 // 100]
            print(f"| {length:,} | {statistics.mean(s):.3f} | {statistics.stdev(s):.3f} "
                  f"| {low:.3f} to {high:.3f} | {statistics.mean(excesses):+.4f} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
