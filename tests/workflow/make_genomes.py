"""A collection of small gzipped genomes cut from the real gene sets of tests/data/genomes.

Genome k (genome00000.fna.gz, ...) holds GENES consecutive records of the k-th gene set
in turn (wrapping past its last record), starting at a record that moves with k, so no
two genomes of one set hold the same genes unless GENES comes near its size. The files
are gzip at level 6 with no name and no time: the same arguments give the same bytes.

usage: make_genomes.py OUT_DIR COUNT GENES   (prints the files' total bytes and genes)
"""
import gzip
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SETS = sorted(os.path.join(ROOT, "tests", "data", "genomes", name)
              for name in os.listdir(os.path.join(ROOT, "tests", "data", "genomes"))
              if name.endswith(".cds.fna.gz"))


def records(path):
    """Every FASTA record of a gzipped file, as bytes from its '>' to its end."""
    parts = gzip.open(path, "rb").read().split(b"\n>")
    return [parts[0] + b"\n"] + [b">" + part.rstrip(b"\n") + b"\n" for part in parts[1:]]


def main(out_dir, count, genes):
    sets = [records(path) for path in SETS]
    os.makedirs(out_dir, exist_ok=True)
    total = 0
    for k in range(count):
        genome = sets[k % len(sets)]
        start = (k // len(sets) * 7919) % len(genome)
        chosen = [genome[(start + i) % len(genome)] for i in range(min(genes, len(genome)))]
        text = b"".join(chosen)
        path = os.path.join(out_dir, f"genome{k:05d}.fna.gz")
        with open(path, "wb") as raw, gzip.GzipFile("", "wb", 6, raw, mtime=0) as out:
            out.write(text)
        total += os.path.getsize(path)
    print(f"{count} genomes, {count * genes} genes, {total} bytes gzipped in {out_dir}")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))
