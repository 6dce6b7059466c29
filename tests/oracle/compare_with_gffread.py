#!/usr/bin/python3
"""Trelba's CDS of a GFF3 annotation against gffread -x on the same files.

For each GenBank file given, writes a GFF3 file of its CDS as NCBI writes them (one line
per stretch, ID=cds-..., Parent=gene-..., the phase of each, locus_tag, gene, product,
pseudo=true) and the genome's FASTA; then compares, CDS by CDS, the 64 codon counts and
the letters after the last whole codon of gffread -x (Debian's gffread) with Trelba's
table, read three ways: the FASTA with --gff, the GFF3 with its genome after ##FASTA, and
the same gzipped. gffread keeps pseudo CDS, Trelba leaves them out: they are compared
only in number. Prints the records and CDS compared and how many were equal; exits 1 on
any difference.

    compare_with_gffread.py TRELBA WORKDIR [GENBANK...]

Without files: the GenBank genomes of Biopython's tests (python-biopython-doc) and of
cct-examples; exits 77 (skipped) without gffread or them.
"""

import gzip
import os
import shutil
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


def write_gff3(genbank, gff, fasta):
    """The GFF3 and FASTA files of `genbank`; the records and the pseudo CDS' parents."""
    records = 0
    pseudo = set()
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", BiopythonWarning)
        with open_text(genbank) as f, open(gff, "w") as g, open(fasta, "w") as fa:
            g.write("##gff-version 3\n")
            for record in SeqIO.parse(f, "genbank"):
                records += 1
                seqid = record.name
                fa.write(f">{seqid}\n{str(record.seq)}\n")
                for k, feature in enumerate(record.features):
                    q = feature.qualifiers
                    if feature.type != "CDS" or any(p.ref for p in feature.location.parts):
                        continue
                    tag = q.get("locus_tag", [f"{seqid}_{k}"])[0]
                    attributes = [f"ID=cds-{tag}", f"Parent=gene-{tag}", f"locus_tag={tag}"]
                    for key, name in (("gene", "gene"), ("product", "product")):
                        if key in q:
                            value = q[key][0].replace("%", "%25").replace(";", "%3B")
                            value = value.replace(",", "%2C").replace("=", "%3D")
                            attributes.append(f"{name}={value}")
                    if "pseudo" in q or "pseudogene" in q:
                        attributes.append("pseudo=true")
                        pseudo.add(f"gene-{tag}")
                    skip = int(q.get("codon_start", ["1"])[0]) - 1
                    done = 0
                    for part in feature.location.parts:  # in the order they are read
                        phase = (skip - done) % 3 if done >= skip else skip - done
                        strand = "-" if part.strand == -1 else "+"
                        g.write(f"{seqid}\tGenBank\tCDS\t{int(part.start) + 1}\t{int(part.end)}\t."
                                f"\t{strand}\t{phase}\t{';'.join(attributes)}\n")
                        done += int(part.end) - int(part.start)
    return records, pseudo


def counts_of(letters):
    letters = letters.upper()
    counts = dict.fromkeys(CODONS, 0)
    for i in range(0, len(letters) - 2, 3):
        if letters[i : i + 3] in counts:
            counts[letters[i : i + 3]] += 1
    return [counts[c] for c in CODONS], len(letters) % 3


def gffread_cds(gff, fasta, work):
    out = os.path.join(work, "gffread.fa")
    subprocess.run(["gffread", "-x", out, "-g", fasta, gff], check=True, capture_output=True)
    # A CDS on both strands (trans-spliced) comes out as one record per strand: not
    # compared (the GenBank comparison checks it against Biopython).
    cut = {}
    split = set()
    for r in SeqIO.parse(out, "fasta"):
        if r.id in cut:
            split.add(r.id)
        cut[r.id] = counts_of(str(r.seq))
    return {k: v for k, v in cut.items() if k not in split}, split


def trelba_cds(command):
    table = subprocess.run(command, check=True, capture_output=True, text=True).stdout.splitlines()
    header = table[0].split("\t")
    first = header.index("TTT")
    rows = {}
    for line in table[1:]:
        cells = line.split("\t")
        counts = [int(x) for x in cells[first : first + 64]]
        rows["gene-" + cells[header.index("id")]] = (counts, int(cells[header.index("partial")]))
    return rows


GENBANKS = ["/usr/share/doc/python-biopython-doc/Tests/GenBank/NC_005816.gb.gz",
            "/usr/share/doc/python-biopython-doc/Tests/GenBank/NC_000932.gb.gz",
            "/usr/share/doc/python-biopython-doc/Tests/GenBank/arab1.gb.gz",
            "/usr/share/doc/python-biopython-doc/Tests/GenBank/cor6_6.gb.gz",
            "/usr/share/doc/python-biopython-doc/Tests/GFF/NC_001422.gbk.gz",
            "/usr/share/cct/lib/scripts/get_cds/test_input/R_denitrificans.gbk",
            "/usr/share/cct/lib/scripts/get_cds/test_input/prokka_multicontig.gbk"]


def main():
    trelba, work = sys.argv[1], sys.argv[2]
    genbanks = sys.argv[3:] or [f for f in GENBANKS if os.path.exists(f)]
    if shutil.which("gffread") is None or not genbanks:
        print("no gffread or no GenBank files: skipped")
        return 77
    os.makedirs(work, exist_ok=True)
    failed = False
    all_records = all_cds = all_equal = 0
    for genbank in genbanks:
        base = os.path.join(work, os.path.basename(genbank).split(".")[0])
        gff, fasta, whole = base + ".gff3", base + ".fna", base + ".with_fasta.gff3"
        records, pseudo = write_gff3(genbank, gff, fasta)
        with open(whole, "w") as w:
            w.write(open(gff).read() + "##FASTA\n" + open(fasta).read())
        with open(whole, "rb") as src, gzip.open(whole + ".gz", "wb") as dst:
            shutil.copyfileobj(src, dst)
        expected, split = gffread_cds(gff, fasta, work)
        coding = {k: v for k, v in expected.items() if k not in pseudo}
        common = [trelba, "-T", "-", "--no-reports", "--counts"]
        for how, command in (("--gff", common + ["--gff", gff, fasta]),
                             ("##FASTA", common + [whole]),
                             ("##FASTA gzipped", common + [whole + ".gz"])):
            got = {k: v for k, v in trelba_cds(command).items() if k not in split}
            equal = sum(1 for k, v in coding.items() if got.get(k) == v)
            if equal != len(coding) or len(got) != len(coding):
                failed = True
                wrong = [k for k, v in coding.items() if got.get(k) != v][:3]
                print(f"{genbank} ({how}): gffread {len(coding)} CDS, Trelba {len(got)}; differ: {wrong}")
            print(f"{genbank} ({how}): {records} records, {len(coding)} CDS (gffread also cuts "
                  f"{len(expected) - len(coding)} pseudo), {equal} equal")
            all_records += records
            all_cds += len(coding)
            all_equal += equal
    print(f"in all: {all_records} records, {all_cds} CDS, {all_equal} equal")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
