#!/usr/bin/env python3
"""Peak memory of trelba.table on a FASTA file against pandas reading the same table from
bytes (what `Trelba -T` writes), each in a process of its own: maximum RSS (/usr/bin/time
-v) and the peak of Python's own allocations (tracemalloc, which sees NumPy's arrays but
not the library's C++ vectors), with the wall time.

usage: bench/python_memory.py FASTA TRELBA_BINARY   (the module: the Python that runs this)
  e.g. bench/make_fasta /tmp/1m.fa 1000000 300 && bench/python_memory.py /tmp/1m.fa build/Trelba
"""
import os
import re
import subprocess
import sys
import tempfile

CHILD = """
import io, sys, time, tracemalloc, warnings
import pandas, trelba
warnings.simplefilter("ignore")
tracemalloc.start()
start = time.perf_counter()
if sys.argv[1] == "trelba":
    frame = trelba.table(sys.argv[2])
else:
    with open(sys.argv[2], "rb") as f:
        data = f.read()
    frame = pandas.read_csv(io.BytesIO(data), sep="\\t")
print(len(frame), time.perf_counter() - start, tracemalloc.get_traced_memory()[1])
"""


def measure(kind, path):
    done = subprocess.run(["/usr/bin/time", "-v", sys.executable, "-c", CHILD, kind, path],
                          capture_output=True, text=True, check=True)
    rows, seconds, traced = done.stdout.split()
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr).group(1))
    return int(rows), float(seconds), int(traced), rss * 1024


def main():
    fasta, trelba_binary = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as work:
        table = os.path.join(work, "table.tsv")
        subprocess.run([trelba_binary, "--no-reports", "-T", table, fasta], check=True,
                       stderr=subprocess.DEVNULL)
        print("table: %.0f MB" % (os.path.getsize(table) / 1e6))
        results = {"trelba.table(FASTA)": measure("trelba", fasta),
                   "pandas.read_csv(BytesIO(table))": measure("pandas", table)}
    for name, (rows, seconds, traced, rss) in results.items():
        print("%-32s %9d rows %7.2f s   peak RSS %6.0f MB   tracemalloc peak %6.0f MB"
              % (name, rows, seconds, rss / 1e6, traced / 1e6))
    ours, theirs = (r[3] for r in results.values())
    print("peak RSS ratio: %.2f" % (ours / theirs))


if __name__ == "__main__":
    main()
