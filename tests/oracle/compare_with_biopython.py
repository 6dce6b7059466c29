#!/usr/bin/python3
"""Every CDS that Trelba cuts from a GenBank or EMBL file against Biopython's feature.extract.

For each file Biopython reads, every CDS feature that is not /pseudo or /pseudogene, lies
in its own record and within its sequence is extracted with feature.extract (the bases
before /codon_start left out); its 64 codon counts, the letters after its last whole codon
and its name are compared with Trelba's table row (-T --counts), in order. Prints, per
file and in all, the records and CDS compared and how many were equal; exits 1 on any
difference.

    compare_with_biopython.py TRELBA [FILE...]   (files plain or gzipped)

Without files: Biopython's own GenBank and EMBL test files (Debian's python-biopython-doc)
and the bacterial genomes of Debian's cct-examples; exits 77 (skipped) without them.
Files Biopython cannot read are named and passed over.
"""

import glob
import gzip
import os
import subprocess
import sys
import warnings

from Bio import BiopythonWarning, SeqIO

BASES = "TCAG"
CODONS = [a + b + c for a in BASES for b in BASES for c in BASES]


def open_text(path):
    with open(path, "rb") as f:
        gzipped = f.read(2) == b"\x1f\x8b"
    return gzip.open(path, "rt") if gzipped else open(path)


def file_format(path):
    with open_text(path) as f:
        for line in f:
            if line.strip():
                return "embl" if line.startswith("ID   ") else "genbank"
    return "genbank"


def expected_cds(path):
    """The records read and, in order, (name, codon counts, letters left) of each CDS."""
    records = 0
    cds = []
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", BiopythonWarning)
        with open_text(path) as f:
            for record in SeqIO.parse(f, file_format(path)):
                records += 1
                if record.annotations.get("molecule_type", "").upper() == "PROTEIN":
                    continue
                try:
                    sequence = str(record.seq)
                except Exception:  # no sequence given (a CONTIG record)
                    continue
                if not sequence:
                    continue
                for feature in record.features:
                    q = feature.qualifiers
                    if feature.type != "CDS" or "pseudo" in q or "pseudogene" in q:
                        continue
                    location = feature.location
                    if location is None or any(p.ref for p in location.parts):
                        continue
                    if any(int(p.end) > len(sequence) for p in location.parts):
                        continue
                    letters = str(feature.extract(record.seq)).upper()
                    start = int(q.get("codon_start", ["1"])[0])
                    letters = letters[start - 1 :] if start in (2, 3) else letters
                    counts = dict.fromkeys(CODONS, 0)
                    for i in range(0, len(letters) - 2, 3):
                        if letters[i : i + 3] in counts:
                            counts[letters[i : i + 3]] += 1
                    name = next((q[k][0] for k in ("locus_tag", "gene", "protein_id") if k in q), None)
                    cds.append((name, [counts[c] for c in CODONS], len(letters) % 3))
    return records, cds


def trelba_cds(trelba, path):
    table = subprocess.run(
        [trelba, "-T", "-", "--no-reports", "--counts", path],
        check=True, capture_output=True, text=True).stdout.splitlines()
    header = table[0].split("\t")
    first = header.index("TTT")
    rows = []
    for line in table[1:]:
        cells = line.split("\t")
        counts = [int(x) for x in cells[first : first + 64]]
        rows.append((cells[header.index("id")], counts, int(cells[header.index("partial")])))
    return rows


BIOPYTHON_TESTS = "/usr/share/doc/python-biopython-doc/Tests"
GENOMES = "/usr/share/cct/lib/scripts/get_cds/test_input"
NOT_FLAT = (".faa", ".ffn", ".fna", ".tsv", ".gp.", ".bgz.", ".imgt")


def debian_files():
    if not os.path.isdir(BIOPYTHON_TESTS):
        return []
    found = sorted(glob.glob(f"{BIOPYTHON_TESTS}/GenBank/*") + glob.glob(f"{BIOPYTHON_TESTS}/EMBL/*")
                   + glob.glob(f"{BIOPYTHON_TESTS}/GFF/*.gbk.gz"))
    return [f for f in found if not any(mark in os.path.basename(f) for mark in NOT_FLAT)] + sorted(glob.glob(f"{GENOMES}/*.gbk"))


def main():
    trelba, paths = sys.argv[1], sys.argv[2:] or debian_files()
    if not paths:
        print("no Biopython test files (python-biopython-doc): skipped")
        return 77
    all_records = all_cds = all_equal = 0
    failed = False
    for path in paths:
        try:
            records, expected = expected_cds(path)
        except (ValueError, AssertionError, UnicodeDecodeError) as error:
            print(f"{path}: not read by Biopython ({str(error).splitlines()[0]}): passed over")
            continue
        got = trelba_cds(trelba, path)
        equal = 0
        for k, (want, have) in enumerate(zip(expected, got)):
            name_ok = want[0] is None or want[0] == have[0]
            if name_ok and want[1] == have[1] and want[2] == have[2]:
                equal += 1
            elif not failed or k < 3:
                print(f"{path}: CDS {k + 1}: Biopython {want[0]} {want[2]}, Trelba {have[0]} {have[2]}")
        if len(expected) != len(got):
            print(f"{path}: Biopython cuts {len(expected)} CDS, Trelba {len(got)}")
        failed |= equal != len(expected) or len(expected) != len(got)
        print(f"{path}: {records} records, {len(expected)} CDS, {equal} equal")
        all_records += records
        all_cds += len(expected)
        all_equal += equal
    print(f"in all: {all_records} records, {all_cds} CDS, {all_equal} equal")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
