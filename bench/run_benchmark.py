#!/usr/bin/env python3
"""Times Trelba against two floors and a naive baseline, at one thread and at two.

usage: bench/run_benchmark.py [BUILD_DIR] [--runs 5] [--work DIR] [--quick]

Generates synthetic inputs with make_fasta (fixed seed): (a) 50,000 sequences of 999 nt,
(c) 500,000 of 300 nt (short genes: more output per input byte), (d) (a) gzipped, and (a)
with --table. For each it reports the median wall time over the runs (whole process), MB/s
of input and peak RSS of `cat in > out`, of reading the input while writing as many bytes
as the reports hold (bench/copy_floor), and of Trelba -j 1 and -j 2, with Trelba's ratio
to each floor. Report files are removed before every run, so each run creates its files
as a user's would. Then the nanoseconds per call of the analysis's own logarithm beside the
C library's (bench/natural_log_cost), and peak memory by input size. 1,000,000 sequences and a 2 GB input: bench/scale_check.sh.
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


def report_bytes(cwd, names):
    return sum(os.path.getsize(os.path.join(cwd, n)) for n in names if os.path.exists(os.path.join(cwd, n)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work", default="/tmp/trelba-bench")
    parser.add_argument("--quick", action="store_true",
                        help="skip the 500,000 short genes and the naive baseline")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    trelba = os.path.join(build, "Trelba")
    naive = os.path.join(build, "bench", "naive_trelba")
    make = os.path.join(build, "bench", "make_fasta")
    floor_tool = os.path.join(build, "bench", "copy_floor")
    global MEASURE
    MEASURE = os.path.join(build, "bench", "measure")
    os.makedirs(args.work, exist_ok=True)

    def make_input(name, n, length, seed):
        path = os.path.join(args.work, name)
        if not os.path.exists(path):
            subprocess.run([make, path, str(n), str(length), str(seed)], check=True)
        return name

    a = make_input("synthetic_50000.fa", 50000, 999, 1)
    gz = a + ".gz"
    if not os.path.exists(os.path.join(args.work, gz)):
        with open(os.path.join(args.work, a), "rb") as src, \
                gzip.open(os.path.join(args.work, gz), "wb", compresslevel=6) as dst:
            dst.write(src.read())
    cases = [("(a) 50,000 x 999 nt", a, [])]
    if not args.quick:
        cases.append(("(c) 500,000 x 300 nt", make_input("short_500000.fa", 500000, 300, 2), []))
    cases.append(("(d) (a) gzipped", gz, []))
    cases.append(("(a) with --table", a, ["--table", "table.tsv"]))

    def outputs(name, extra):
        return [name + ext for ext in (".iik", ".ok", ".freq")] + \
            (["table.tsv"] if "--table" in extra else [])

    print("median of %d runs; ratios to `cat in > out` and to reading the input while "
          "writing the reports' bytes (copy_floor)\n" % args.runs)
    results = {}
    for label, name, extra in cases:
        size = os.path.getsize(os.path.join(args.work, name))
        print("%s: %.1f MB" % (label, size / 1e6))
        subprocess.run([trelba, "-j", "1"] + extra + [name], cwd=args.work, check=True)
        written = report_bytes(args.work, outputs(name, extra))
        cat = run("  cat in > out", ["cat", name], args.work, args.runs, size,
                  stdout_name="copy.out", clean=["copy.out"])
        floor = run("  read + write %.0f MB" % (written / 1e6),
                    [floor_tool, name, "copy.out", str(written)], args.work, args.runs, size,
                    clean=["copy.out"])
        for threads in ("1", "2"):
            t = run("  Trelba -j %s" % threads, [trelba, "-j", threads] + extra + [name],
                    args.work, args.runs, size, clean=outputs(name, extra))
            results[(label, threads)] = t
            print("    = %.2f x cat, %.2f x read+write" % (t / cat, t / floor))
        print()
    plain = results[("(a) 50,000 x 999 nt", "2")]
    packed = results[("(d) (a) gzipped", "2")]
    print("gzipped / plain at -j 2: %.2f x" % (packed / plain))
    table = results[("(a) with --table", "2")]
    print("--table adds %.0f %% at -j 2\n" % (100.0 * (table - plain) / plain))

    if not args.quick:
        base = run("naive baseline (>>, endl, tables) on (a)", [naive, a], args.work, args.runs,
                   os.path.getsize(os.path.join(args.work, a)), clean=outputs(a, []))
        print("naive / Trelba -j 1: %.1f x\n" % (base / results[("(a) 50,000 x 999 nt", "1")]))

    print("the analysis's logarithm against the C library's, per call:")
    subprocess.run([os.path.join(build, "bench", "natural_log_cost")], check=True)
    print()

    print("memory by input size (peak RSS must stay flat):")
    for n in (1000, 50000):
        name = make_input("synthetic_%d.fa" % n, n, 999, 1)
        for threads in ("1", "2", "4"):
            run("  %d sequences, -j %s" % (n, threads), [trelba, "-j", threads, name], args.work,
                1, os.path.getsize(os.path.join(args.work, name)), clean=outputs(name, []))


if __name__ == "__main__":
    main()
