#!/usr/bin/python3
"""Random FASTA inputs (records up to 2 MB, odd line lengths, awkward headers, compressed
or not) through Trelba at several thread counts: every report and the table must be the
same bytes as at -j 1. Usage: random_inputs_across_threads.py TRELBA [SECONDS] [SEED]"""
import gzip
import os
import random
import subprocess
import sys
import tempfile
import time

LETTERS = "ACGTACGTACGTACGTacgtNnRYU-*"
THREADS = ["2", "3", "8"]


def random_body(rng, size):
    table = bytes(LETTERS, "ascii")
    return bytes(table[b % len(table)] for b in rng.randbytes(size)).decode()


def random_input(rng):
    parts = []
    if rng.random() < 0.1:
        parts.append(";an old comment line\n")
    budget = 3_000_000  # letters in one input
    for _ in range(rng.choice([0, 1, 2, 5, 40, 300, 2000])):
        size = min(budget, rng.choice([0, 1, 2, 3, 59, 60, 61, 300, 999, 5000, 70000]))
        if rng.random() < 0.002:
            size = min(budget, 2_000_000)
        budget -= size
        header = rng.choice(["g", "", " desc only", '"quoted', "id\twith\ttabs", "x" * 300])
        width = rng.choice([60, 70, 80, 1, 7, 10**9])
        if width == 1 and size > 5000:
            width = 60
        body = random_body(rng, size)
        end = rng.choice(["\n", "\r\n"])
        lines = end.join(body[i:i + width] for i in range(0, len(body), width))
        parts.append(">" + header + end + lines + end)
    text = "".join(parts).encode()
    return gzip.compress(text, mtime=0) if rng.random() < 0.3 else text


def run(trelba, folder, threads):
    result = subprocess.run([trelba, "-j", threads, "-T", "t.tsv", "-o", "r", "in.fa"],
                            cwd=folder, capture_output=True)
    outputs = [result.returncode, result.stderr]
    for name in ["t.tsv", "r.freq", "r.iik", "r.ok"]:
        with open(os.path.join(folder, name), "rb") as f:
            outputs.append(f.read())
    return outputs


def main():
    trelba = os.path.abspath(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 20261209
    rng = random.Random(seed)
    end = time.monotonic() + seconds
    runs = 0
    with tempfile.TemporaryDirectory() as folder:
        while time.monotonic() < end:
            with open(os.path.join(folder, "in.fa"), "wb") as f:
                f.write(random_input(rng))
            one = run(trelba, folder, "1")
            for threads in THREADS:
                if run(trelba, folder, threads) != one:
                    kept = os.path.abspath("threads-mismatch.fa")
                    os.replace(os.path.join(folder, "in.fa"), kept)
                    sys.exit(f"-j {threads} differs from -j 1 on {kept} (seed {seed})")
            runs += 1
    print(f"random inputs across threads: {runs} inputs, -j 1 = -j {', '.join(THREADS)}")


if __name__ == "__main__":
    main()
