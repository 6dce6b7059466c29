#!/usr/bin/env python3
"""--reference auto on two archaeal genomes whose proteins the panel of the translation
machinery does not hold (M. maripaludis S2, Methanococcales, and M. thermautotrophicus dH,
Methanobacteriales: Debian cct-examples' RefSeq GenBank records), their CDS behind bare
locus tags: the route must be homology and take at least MIN_TAKEN genes, all but MAX_OTHER
of them named a cytosolic ribosomal protein or elongation factor by their /product. Skipped
(77) without Biopython or cct-examples.

    check_archaeal_homology.py TRELBA
"""
import csv
import gzip
import os
import re
import subprocess
import sys
import tempfile

EXAMPLES = "/usr/share/doc/cct/examples/sample_projects/sample_project_2/"
GENOMES = [EXAMPLES + "comparison_genomes/Methanococcus_maripaludis.gbk.gz",
           EXAMPLES + "reference_genome/Methanobacterium_thermoautotrophicum.gbk.gz"]
MACHINERY = re.compile(r"ribosomal|elongation factor", re.I)
NOT_MACHINERY = re.compile(r"RNA|modification|transferase|biogenesis|related|domain", re.I)
# Measured 57 (one named otherwise: MMP0574, a "hypothetical protein" like T.
# kodakaraensis' L41e) and 60 (none).
MIN_TAKEN, MAX_OTHER = 55, 1

try:
    from Bio import SeqIO
except ImportError:
    sys.exit(77)
if not all(os.path.exists(g) for g in GENOMES):
    sys.exit(77)


def main():
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        for genome in GENOMES:
            products = {}
            fasta = os.path.join(work, "genes.fna")
            with gzip.open(genome, "rt") as f, open(fasta, "w") as out:
                for record in SeqIO.parse(f, "genbank"):
                    for feature in record.features:
                        q = feature.qualifiers
                        if feature.type != "CDS" or "pseudo" in q:
                            continue
                        tag = q["locus_tag"][0]
                        products[tag] = " ".join(q.get("product", [""])[0].split())
                        out.write(">%s\n%s\n" % (tag, feature.extract(record.seq)))
            subprocess.run([sys.argv[1], "--gcode", "11", "--reference", "auto", "--no-reports",
                            "-q", "--no-progress", "-T", "t.tsv", "--summary", "s.tsv", fasta],
                           cwd=work, check=True)
            with open(os.path.join(work, "s.tsv")) as f:
                route = next(csv.DictReader(f, delimiter="\t"))["reference_route"]
            with open(os.path.join(work, "t.tsv")) as f:
                taken = [r["id"] for r in csv.DictReader(f, delimiter="\t")
                         if r["in_reference"] == "1"]
            other = [t + " " + products[t] for t in taken
                     if not MACHINERY.search(products[t]) or NOT_MACHINERY.search(products[t])]
            name = os.path.basename(genome)
            print("%s: route %s, %d taken, %d named otherwise %s" % (name, route, len(taken),
                                                                     len(other), other))
            if route != "homology" or len(taken) < MIN_TAKEN or len(other) > MAX_OTHER:
                print("FAIL %s: wanted route homology, at least %d taken, at most %d named "
                      "otherwise" % (name, MIN_TAKEN, MAX_OTHER))
                failures += 1
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
