#!/usr/bin/env python3
"""Checks the NCBI translation tables built into Trelba against Biopython's copy of them.

usage: check_ncbi_tables.py DUMP_PROGRAM

DUMP_PROGRAM prints one line per table: number, the one-letter amino acid of every codon's
family in the order TTT TTC TTA TTG TCT ... GGG ('*' the stop family), and the name.
Exits 77 (skipped) when Biopython is not installed.

Biopython lists a codon that NCBI marks both as a stop and as an amino acid (tables 27,
28 and 31) among the stop codons and in the forward table alike; Trelba puts such a
codon in its amino acid's family, so the forward table decides, and the stop list only
for codons the forward table lacks.
"""
import subprocess
import sys

try:
    from Bio.Data.CodonTable import unambiguous_dna_by_id
except ImportError:
    print("Biopython is not installed: skipped")
    sys.exit(77)

BASES = "TCAG"
CODONS = [a + b + c for a in BASES for b in BASES for c in BASES]


def expected_letters(table):
    letters = []
    for codon in CODONS:
        if codon in table.forward_table:
            letters.append(table.forward_table[codon])
        elif codon in table.stop_codons:
            letters.append("*")
        else:
            letters.append("?")  # neither: Biopython's table would be incomplete
    return "".join(letters)


def main():
    dump = subprocess.run([sys.argv[1]], check=True, capture_output=True, text=True).stdout
    built = {}
    for line in dump.splitlines():
        number, letters, name = line.split("\t")
        built[int(number)] = (letters, name)

    failures = []
    if sorted(built) != sorted(unambiguous_dna_by_id):
        failures.append("table numbers: Trelba %s, Biopython %s"
                        % (sorted(built), sorted(unambiguous_dna_by_id)))
    for number in sorted(set(built) & set(unambiguous_dna_by_id)):
        table = unambiguous_dna_by_id[number]
        letters, name = built[number]
        expected = expected_letters(table)
        before = len(failures)
        for codon, mine, theirs in zip(CODONS, letters, expected):
            if mine != theirs:
                failures.append("table %d %s: Trelba %s, Biopython %s"
                                % (number, codon, mine, theirs))
        if not name:
            failures.append("table %d has no name" % number)
        dual = [c for c in table.stop_codons if c in table.forward_table]
        print("table %2d %s%s: %s" % (number, "agrees" if len(failures) == before else "DIFFERS",
                                      " (stop and amino acid: %s)" % " ".join(dual)
                                      if dual else "", name))
    for failure in failures:
        print("MISMATCH " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
