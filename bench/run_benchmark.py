#!/usr/bin/env python3
"""Times Trelba against the floor (copying the input) and a naive baseline.

usage: bench/run_benchmark.py [BUILD_DIR] [--runs 5] [--work DIR] [--quick]

Generates synthetic inputs with make_fasta (fixed seed), then reports, for each command,
the median wall time over the runs (whole process), MB/s of input, and peak RSS. Report
files are removed before every run, so each run creates its files as a user's would.
"""
import argparse
import gzip
import os
import statistics
import subprocess
import sys

MEASURE = None


def measure(argv, cwd, stdout_name=None, clean=()):
    for name in clean:
        if os.path.exists(os.path.join(cwd, name)):
            os.remove(os.path.join(cwd, name))
    cmd = [MEASURE] + (["--stdout", stdout_name] if stdout_name else []) + argv
    done = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit("%s failed" % " ".join(argv))
    seconds, kib = done.stdout.split()
    return float(seconds), int(kib)


def run(label, argv, cwd, runs, size, stdout_name=None, clean=()):
    times, peak = [], 0
    for _ in range(runs):
        t, rss = measure(argv, cwd, stdout_name, clean)
        times.append(t)
        peak = max(peak, rss)
    median = statistics.median(times)
    print("%-34s %9.3f s %9.1f MB/s %8.1f MB peak RSS"
          % (label, median, size / 1e6 / median, peak / 1024.0))
    return median


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work", default="/tmp/trelba-bench")
    parser.add_argument("--quick", action="store_true", help="skip the 500,000 sequence run")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    trelba = os.path.join(build, "Trelba")
    naive = os.path.join(build, "bench", "naive_trelba")
    make = os.path.join(build, "bench", "make_fasta")
    global MEASURE
    MEASURE = os.path.join(build, "bench", "measure")
    os.makedirs(args.work, exist_ok=True)

    sizes = [1000, 50000] + ([] if args.quick else [500000])
    files = {}
    for n in sizes:
        name = "synthetic_%d.fa" % n
        path = os.path.join(args.work, name)
        if not os.path.exists(path):
            subprocess.run([make, path, str(n), "999", "1"], check=True)
        files[n] = name

    def reports(name):
        return [name + ext for ext in (".iik", ".ok", ".freq")]

    main_file = files[50000]
    size = os.path.getsize(os.path.join(args.work, main_file))
    print("input: 50,000 sequences x 999 nt, %.1f MB; median of %d runs\n" % (size / 1e6, args.runs))
    floor = run("floor: cat input > copy", ["cat", main_file], args.work, args.runs, size,
                stdout_name="copy.out", clean=["copy.out"])
    tool = run("Trelba", [trelba, main_file], args.work, args.runs, size,
               clean=reports(main_file))
    tool_table = run("Trelba --table", [trelba, "--table", "table.tsv", main_file], args.work,
                     args.runs, size, clean=reports(main_file) + ["table.tsv"])
    table_only = run("Trelba --table --no-reports",
                     [trelba, "--table", "table.tsv", "--no-reports", main_file], args.work,
                     args.runs, size, clean=["table.tsv"])
    base = run("naive baseline (>>, endl, tables)", [naive, main_file], args.work, args.runs,
               size, clean=reports(main_file))
    print("\nTrelba / floor: %.2f x   naive / Trelba: %.1f x" % (tool / floor, base / tool))
    print("--table adds %.3f s (%+.0f %%); the table alone: %.3f s\n"
          % (tool_table - tool, 100.0 * (tool_table - tool) / tool, table_only))

    gz = main_file + ".gz"
    gz_path = os.path.join(args.work, gz)
    if not os.path.exists(gz_path):
        with open(os.path.join(args.work, main_file), "rb") as src, \
                gzip.open(gz_path, "wb", compresslevel=6) as dst:
            dst.write(src.read())
    print("gzip input (%.1f MB compressed, level 6):" % (os.path.getsize(gz_path) / 1e6))
    inflate = run("zlib inflate alone", [os.path.join(build, "bench", "inflate_only"), gz],
                  args.work, args.runs, size)
    tool_gz = run("Trelba on the .gz", [trelba, gz], args.work, args.runs, size,
                  clean=reports(gz))
    print("\nTrelba on .gz - inflate alone: %.3f s (Trelba on plain input: %.3f s)\n"
          % (tool_gz - inflate, tool))

    print("growth:")
    timings = {}
    for n in sizes:
        s = os.path.getsize(os.path.join(args.work, files[n]))
        timings[n] = run("Trelba, %d sequences" % n, [trelba, files[n]], args.work, args.runs,
                         s, clean=reports(files[n]))
    if 500000 in timings:
        print("\n500,000 / 50,000 sequences: %.2f x the time" % (timings[500000] / timings[50000]))


if __name__ == "__main__":
    main()
