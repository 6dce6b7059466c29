#!/usr/bin/env python3
"""The codon usage in EMBOSS's format (--codon-usage NAME.cut) against what Debian's cusp
(package emboss) writes for the same genes: byte for byte, for the 94 highly expressed E.
coli genes, E. coli's genome, and that genome and phiX174 together (one table of every
input's codons).

    compare_with_cusp.py TRELBA DATA_DIR   (exits 77, skipped, when cusp is not installed)
"""
import gzip
import os
import shutil
import subprocess
import sys
import tempfile

TRELBA, DATA = sys.argv[1], sys.argv[2]
CASES = [
    ["../../examples/Ecoli_HighlyExpressedGenes.fa"],
    ["genomes/Ecoli_K12_MG1655.prodigal.cds.fna.gz"],
    ["genomes/Ecoli_K12_MG1655.prodigal.cds.fna.gz", "phage/phiX174_NC_001422.cds.fna"],
]


def main():
    if shutil.which("cusp") is None:
        print("cusp not installed: comparison skipped")
        return 77
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        for names in CASES:
            paths = [os.path.join(DATA, n) for n in names]
            together = os.path.join(tmp, "all.fna")
            with open(together, "w") as dst:
                for path in paths:
                    with (gzip.open if path.endswith(".gz") else open)(path, "rt") as src:
                        dst.write(src.read())
            theirs, ours = os.path.join(tmp, "cusp.cut"), os.path.join(tmp, "trelba.cut")
            subprocess.run(["cusp", "-sequence", together, "-outfile", theirs], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run([TRELBA, "--no-reports", "--codon-usage", ours] + paths, check=True)
            same = open(ours, "rb").read() == open(theirs, "rb").read()
            print(f"{' + '.join(names)}: {'the same bytes as' if same else 'DIFFERS from'} cusp's")
            failed = failed or not same
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
