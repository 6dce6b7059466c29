#!/usr/bin/env python3
"""Times Trelba against two floors and a naive baseline, at the default thread count and at
each of --threads.

usage: bench/run_benchmark.py [BUILD_DIR] [--runs 5] [--work DIR] [--quick]
                              [--threads 1,2] [--baseline OTHER_BUILD_DIR]

Generates synthetic inputs with make_fasta (fixed seeds): (a) 50,000 sequences of 999 nt,
(c) 500,000 of 300 nt and (f) 2,000,000 of 60 nt (short genes: more output per input
byte), (d) (a) gzipped as one member, (e) (a) in bgzip's blocks (members of at most 64 KiB,
each naming its size), and (a) with --table. For each it reports the median wall time over
the runs (whole process), MB/s of input and peak RSS of `cat in > out`, of reading the input
in 64 KiB blocks while writing as many bytes as the reports hold (bench/copy_floor: the
floor), and of Trelba at the default thread count and at each -j of --threads, every line
with its ratio to the floor. With --baseline, the other build's Trelba runs beside this one,
run for run (A B A B), and each line shows both. Report files are removed before every run,
so each run creates its files as a user's would. Then the nanoseconds per call of the
analysis's own logarithm and exponential beside the C library's (bench/natural_log_cost,
bench/exponential_cost), what the score's exact null variance adds per sequence of (a)
(bench/score_variance_cost), and peak memory by input size. 1,000,000 sequences and a 2 GB input: bench/scale_check.sh.
"""
import argparse
import gzip
import os
import statistics
import struct
import subprocess
import sys
import zlib

MEASURE = None


def measure(argv, cwd, stdout_name=None, clean=()):
    for name in clean:
        if os.path.exists(os.path.join(cwd, name)):
            os.remove(os.path.join(cwd, name))
    cmd = [MEASURE] + (["--stdout", stdout_name] if stdout_name else []) + argv
    done = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          text=True)
    if done.returncode != 0:
        sys.exit("%s failed" % " ".join(argv))
    seconds, kib = done.stdout.split()
    return float(seconds), int(kib)


def run(label, argv, cwd, runs, size, stdout_name=None, clean=(), floor=None):
    times, peak = [], 0
    for _ in range(runs):
        t, rss = measure(argv, cwd, stdout_name, clean)
        times.append(t)
        peak = max(peak, rss)
    median = statistics.median(times)
    print("%-34s %9.3f s %9.1f MB/s %8.1f MB peak RSS%s"
          % (label, median, size / 1e6 / median, peak / 1024.0,
             "   %5.2f x floor" % (median / floor) if floor else ""))
    return median


def run_pair(label, argvs, cwd, runs, size, clean, floor):
    """Runs each command of `argvs` in turn, `runs` times (A B A B); one line per command."""
    times = [[] for _ in argvs]
    peaks = [0 for _ in argvs]
    for _ in range(runs):
        for i, argv in enumerate(argvs):
            t, rss = measure(argv, cwd, None, clean)
            times[i].append(t)
            peaks[i] = max(peaks[i], rss)
    medians = [statistics.median(t) for t in times]
    for i, median in enumerate(medians):
        name = label if i == 0 else "  (baseline)"
        print("%-34s %9.3f s %9.1f MB/s %8.1f MB peak RSS   %5.2f x floor"
              % (name, median, size / 1e6 / median, peaks[i] / 1024.0, median / floor))
    if len(medians) > 1:
        print("%-34s %9.2f x the baseline's time" % ("", medians[0] / medians[1]))
    return medians[0]


def write_bgzf(source, target, block=65280):
    """bgzip's format: gzip members of at most 64 KiB, each with a BC extra field holding
    its size less one, then the empty end-of-file member."""
    with open(source, "rb") as src, open(target, "wb") as dst:
        def member(data):
            packer = zlib.compressobj(6, zlib.DEFLATED, -15)
            body = packer.compress(data) + packer.flush()
            size = 18 + len(body) + 8
            dst.write(struct.pack("<4BIBBHBBHH", 0x1F, 0x8B, 8, 4, 0, 0, 0xFF, 6, 66, 67, 2,
                                  size - 1))
            dst.write(body)
            dst.write(struct.pack("<II", zlib.crc32(data) & 0xFFFFFFFF, len(data)))
        while True:
            data = src.read(block)
            if not data:
                break
            member(data)
        member(b"")


def report_bytes(cwd, names):
    return sum(os.path.getsize(os.path.join(cwd, n)) for n in names if os.path.exists(os.path.join(cwd, n)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work", default="/tmp/trelba-bench")
    parser.add_argument("--quick", action="store_true",
                        help="skip (c), (f) and the naive baseline")
    parser.add_argument("--threads", default="1,2",
                        help="thread counts to time beside the default, e.g. 1,2,4,8,16")
    parser.add_argument("--baseline", help="another build whose Trelba runs beside this one")
    parser.add_argument("--only", help="the cases to run, by letter, e.g. acf")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    trelba = os.path.join(build, "Trelba")
    other = os.path.join(os.path.abspath(args.baseline), "Trelba") if args.baseline else None
    naive = os.path.join(build, "bench", "naive_trelba")
    make = os.path.join(build, "bench", "make_fasta")
    floor_tool = os.path.join(build, "bench", "copy_floor")
    global MEASURE
    MEASURE = os.path.join(build, "bench", "measure")
    os.makedirs(args.work, exist_ok=True)
    thread_counts = [t for t in args.threads.split(",") if t]

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
    bgz = a + ".bgz.gz"
    if not os.path.exists(os.path.join(args.work, bgz)):
        write_bgzf(os.path.join(args.work, a), os.path.join(args.work, bgz))
    cases = [("a", "(a) 50,000 x 999 nt", a, [])]
    if not args.quick:
        cases.append(("c", "(c) 500,000 x 300 nt",
                      make_input("short_500000.fa", 500000, 300, 2), []))
        cases.append(("f", "(f) 2,000,000 x 60 nt",
                      make_input("short_2000000.fa", 2000000, 60, 3), []))
    cases.append(("d", "(d) (a) gzipped", gz, []))
    cases.append(("e", "(e) (a) in bgzip's blocks", bgz, []))
    cases.append(("t", "(a) with --table", a, ["--table", "table.tsv"]))
    if args.only:
        cases = [case for case in cases if case[0] in args.only]

    def outputs(name, extra):
        return [name + ext for ext in (".iik", ".ok", ".freq")] + \
            (["table.tsv"] if "--table" in extra else [])

    print("median of %d runs; every Trelba line with its ratio to the floor (reading the "
          "input in 64 KiB blocks while writing the reports' bytes: copy_floor)%s\n"
          % (args.runs, "; the baseline runs beside it, A B A B" if other else ""))
    results = {}
    for letter, label, name, extra in cases:
        size = os.path.getsize(os.path.join(args.work, name))
        print("%s: %.1f MB" % (label, size / 1e6))
        subprocess.run([trelba, "-j", "1"] + extra + [name], cwd=args.work, check=True,
                       stderr=subprocess.DEVNULL)
        written = report_bytes(args.work, outputs(name, extra))
        cat = run("  cat in > out", ["cat", name], args.work, args.runs, size,
                  stdout_name="copy.out", clean=["copy.out"])
        floor = run("  floor: read + write %.0f MB" % (written / 1e6),
                    [floor_tool, name, "copy.out", str(written)], args.work, args.runs, size,
                    clean=["copy.out"])
        os.remove(os.path.join(args.work, "copy.out"))
        for threads in ["default"] + thread_counts:
            flags = [] if threads == "default" else ["-j", threads]
            argvs = [[trelba] + flags + extra + [name]]
            if other:
                argvs.append([other] + flags + extra + [name])
            t = run_pair("  Trelba " + ("(default threads)" if not flags else "-j " + threads),
                         argvs, args.work, args.runs, size, outputs(name, extra), floor)
            results[(letter, threads)] = t
        print("    default threads = %.2f x cat\n" % (results[(letter, "default")] / cat))

    if args.threads == "1,2,4,8,16" or len(thread_counts) > 2:
        print("scaling: time at -j N / time at -j %s" % thread_counts[0])
        print("%-28s" % "" + "".join("%8s" % ("-j " + t) for t in thread_counts))
        for letter, label, _, _ in cases:
            first = results[(letter, thread_counts[0])]
            print("%-28s" % label + "".join("%8.2f" % (results[(letter, t)] / first)
                                            for t in thread_counts))
        print()
    if ("a", "default") in results:
        plain = results[("a", "default")]
        for letter, what in (("d", "gzipped"), ("e", "bgzip's blocks")):
            if (letter, "default") in results:
                print("%s / plain at the default threads: %.2f x"
                      % (what, results[(letter, "default")] / plain))
        if ("t", "default") in results:
            print("--table adds %.0f %% at the default threads\n"
                  % (100.0 * (results[("t", "default")] - plain) / plain))

    if not args.quick:
        base = run("naive baseline (>>, endl, tables) on (a)", [naive, a], args.work, args.runs,
                   os.path.getsize(os.path.join(args.work, a)), clean=outputs(a, []))
        if ("a", "1") in results:
            print("naive / Trelba -j 1: %.1f x\n" % (base / results[("a", "1")]))

    print("the analysis's logarithm against the C library's, per call:")
    subprocess.run([os.path.join(build, "bench", "natural_log_cost")], check=True)
    print("and its exponential:")
    subprocess.run([os.path.join(build, "bench", "exponential_cost")], check=True)
    print("the score's exact null variance beside the analysis and expected score, on (a):")
    for background in ("even", "input"):
        subprocess.run([os.path.join(build, "bench", "score_variance_cost"),
                        os.path.join(args.work, a), background], check=True)
    print()

    print("memory by input size (peak RSS must stay flat):")
    for n in (1000, 50000):
        name = make_input("synthetic_%d.fa" % n, n, 999, 1)
        for threads in ("1", "2", "4"):
            run("  %d sequences, -j %s" % (n, threads), [trelba, "-j", threads, name], args.work,
                1, os.path.getsize(os.path.join(args.work, name)), clean=outputs(name, []))


if __name__ == "__main__":
    main()
