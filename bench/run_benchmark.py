#!/usr/bin/env python3
"""Times Trelba against the limits of the machine it runs on, and prints each figure as a
ratio to its limit.

usage: bench/run_benchmark.py [BUILD_DIR] [--runs 5] [--work DIR] [--quick] [--only LETTERS]
                              [--threads 1,2] [--baseline OTHER_BUILD_DIR]

Generates synthetic inputs with make_fasta (fixed seeds): (a) 50,000 sequences of 999 nt,
(c) 500,000 of 300 nt, (f) 2,000,000 of 60 nt (short genes: more output per input byte);
(a) compressed: (d) gzip as one member, (e) in bgzip's blocks (BGZF), (z) zstd where the
zstd tool is found; (s) 1,000 small inputs of 4 genes each; (g) a collection of 120
gzipped inputs of 1,000 genes each; (t) (a) with --table and its options, and the table's
groups of columns (--columns) and --coa rscu against --table alone; (b) a GenBank genome
(cct-examples' R. denitrificans, where installed) against its CDS as FASTA; (o) the table
in every output format (.gz, .zst, .xz, .bz2) on (a), and gzip and zstd on (c) and (f),
each against the plain table, at the default threads and at each of --threads.

Every case runs its commands by turns (A B C A B C ...), `--runs` times, and takes the
median wall time of each, so that a change in the machine's load reaches all of them alike.
The limits:
  plain input    the floor: reading the input in 64 KiB blocks while writing as many bytes
                 as the reports hold (bench/copy_floor);
  compressed     max(plain wall, (plain CPU + decoder CPU) / cores): the plain input's run
                 at the default threads, and the program's own decoder reading the
                 compressed file on one thread (bench/decode_only);
  small inputs   the same inputs at -j 1, and their concatenation in one file (-T --summary,
                 no reports: the inputs' handling, not the file system's);
  options        the run without them on (a).
  output formats the same run writing the plain table (-T x.tsv), wall and, for gzip,
                 processor time.
The load average is printed at the start and the end of the sitting. With --baseline, the
other build's Trelba runs beside this one in every case and each line shows both. Then,
unless --quick, the nanoseconds per call of the analysis's own logarithm and exponential,
what the score's exact null variance adds per sequence of (a) (bench/score_variance_cost),
and peak memory by input size. 1,000,000 sequences and a 2 GB input: bench/scale_check.sh.
"""
import argparse
import gzip
import os
import shutil
import statistics
import struct
import subprocess
import sys
import zlib

MEASURE = None
CORES = os.cpu_count() or 1
SUMMARY = []  # (figure, time, limit, what the limit is, target)


def remove(cwd, names):
    for name in names:
        if os.path.exists(os.path.join(cwd, name)):
            os.remove(os.path.join(cwd, name))


def measure(argv, cwd, stdout_name=None, clean=()):
    """Wall seconds, peak RSS (KiB) and CPU seconds of one run. Its outputs are removed
    before it and right after it, so that no run pays for writing back another's."""
    remove(cwd, clean)
    cmd = [MEASURE] + (["--stdout", stdout_name] if stdout_name else []) + argv
    done = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          text=True)
    remove(cwd, clean)
    if done.returncode != 0:
        sys.exit("%s failed" % " ".join(argv[:6]))
    seconds, kib, cpu = done.stdout.split()
    return float(seconds), int(kib), float(cpu)


class Result:
    def __init__(self, times, cpus, peak):
        self.wall = statistics.median(times)
        self.cpu = statistics.median(cpus)
        self.peak = peak


def by_turns(commands, cwd, runs):
    """Runs each (argv, stdout_name, clean) of `commands` in turn, `runs` times."""
    times = [[] for _ in commands]
    cpus = [[] for _ in commands]
    peaks = [0 for _ in commands]
    for _ in range(runs):
        for i, (argv, stdout_name, clean) in enumerate(commands):
            t, rss, cpu = measure(argv, cwd, stdout_name, clean)
            times[i].append(t)
            cpus[i].append(cpu)
            peaks[i] = max(peaks[i], rss)
    return [Result(times[i], cpus[i], peaks[i]) for i in range(len(commands))]


def line(label, result, size=None, limit=None, limit_name=""):
    rate = "%9.1f MB/s" % (size / 1e6 / result.wall) if size else " " * 14
    ratio = "   %5.2f x %s" % (result.wall / limit, limit_name) if limit else ""
    print("  %-36s %8.3f s %8.3f s CPU%s %7.1f MB%s"
          % (label, result.wall, result.cpu, rate, result.peak / 1024.0, ratio))


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
    return sum(os.path.getsize(os.path.join(cwd, n)) for n in names
               if os.path.exists(os.path.join(cwd, n)))


def reports_of(name, extra=()):
    return [name + ext for ext in (".iik", ".ok", ".freq")] + \
        [extra[i + 1] for i, word in enumerate(extra) if word in ("--table", "-T", "--summary",
                                                                    "--report")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--work", default="/tmp/trelba-bench")
    parser.add_argument("--quick", action="store_true",
                        help="skip (c), (f), the naive baseline, the costs per call and memory "
                             "by size")
    parser.add_argument("--threads", default="1",
                        help="thread counts to time beside the default on plain input and "
                             "in each output format, e.g. 1,2,4,8,16")
    parser.add_argument("--baseline", help="another build whose Trelba runs beside this one")
    parser.add_argument("--only", help="the cases to run, by letter, e.g. acfdezsgt")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    trelba = os.path.join(build, "Trelba")
    other = os.path.join(os.path.abspath(args.baseline), "Trelba") if args.baseline else None
    programs = [trelba] + ([other] if other else [])
    names = ["", "  (baseline)"]
    make = os.path.join(build, "bench", "make_fasta")
    floor_tool = os.path.join(build, "bench", "copy_floor")
    decode_tool = os.path.join(build, "bench", "decode_only")
    global MEASURE
    MEASURE = os.path.join(build, "bench", "measure")
    work = args.work
    os.makedirs(work, exist_ok=True)
    thread_counts = [t for t in args.threads.split(",") if t]
    wanted = set(args.only or ("abdezsgto" if args.quick else "abcfdezsgto"))

    def path(name):
        return os.path.join(work, name)

    def make_folder(name, count, make_one):
        """Makes the inputs of `name` once, `make_one(folder, i)` each; its path."""
        folder = path(name)
        if not os.path.exists(os.path.join(folder, "done")):
            os.makedirs(folder, exist_ok=True)
            for i in range(count):
                make_one(folder, i)
            open(os.path.join(folder, "done"), "w").close()
        return folder

    def make_input(name, n, length, seed):
        if not os.path.exists(path(name)):
            subprocess.run([make, path(name), str(n), str(length), str(seed)], check=True)
        return name

    load = os.getloadavg()
    print("load average at the start: %.2f %.2f %.2f; %d cores; median of %d runs by turns%s\n"
          % (load[0], load[1], load[2], CORES, args.runs,
             "; the baseline runs beside it" if other else ""))

    a = make_input("synthetic_50000.fa", 50000, 999, 1)

    # Plain input against the floor.
    for letter, label, name in (("a", "(a) 50,000 x 999 nt", a),
                                ("c", "(c) 500,000 x 300 nt", "short_500000.fa"),
                                ("f", "(f) 2,000,000 x 60 nt", "short_2000000.fa")):
        if letter not in wanted:
            continue
        if letter == "c":
            make_input(name, 500000, 300, 2)
        if letter == "f":
            make_input(name, 2000000, 60, 3)
        size = os.path.getsize(path(name))
        subprocess.run([trelba, "-j", "1", name], cwd=work, check=True, stderr=subprocess.DEVNULL)
        written = report_bytes(work, reports_of(name))
        commands = [([floor_tool, name, "copy.out", str(written)], None, ["copy.out"])]
        labels = ["floor: read + write %.0f MB" % (written / 1e6)]
        for threads in ["default"] + thread_counts:
            flags = [] if threads == "default" else ["-j", threads]
            for program, suffix in zip(programs, names):
                commands.append(([program] + flags + [name], None, reports_of(name)))
                labels.append("Trelba " + ("(default threads)" if not flags else "-j " + threads)
                              + suffix)
        results = by_turns(commands, work, args.runs)
        print("%s: %.1f MB" % (label, size / 1e6))
        floor = results[0].wall
        for i, result in enumerate(results):
            line(labels[i], result, size, floor if i else None, "the floor")
        SUMMARY.append((label, results[1].wall, floor, "the floor", 2.0))
        if other:
            SUMMARY.append((label + ", baseline", results[2].wall, floor, "the floor", None))
        print()

    # Compressed (a) against the physical limit of the cores.
    compressed = []
    if "d" in wanted:
        gz = a + ".gz"
        if not os.path.exists(path(gz)):
            with open(path(a), "rb") as src, gzip.open(path(gz), "wb", compresslevel=6) as dst:
                dst.write(src.read())
        compressed.append(("d", "(d) (a) gzipped", gz))
    if "e" in wanted:
        bgz = a + ".bgz.gz"
        if not os.path.exists(path(bgz)):
            write_bgzf(path(a), path(bgz))
        compressed.append(("e", "(e) (a) in bgzip's blocks", bgz))
    if "z" in wanted and shutil.which("zstd"):
        zst = a + ".zst"
        if not os.path.exists(path(zst)):
            subprocess.run(["zstd", "-q", "-3", path(a), "-o", path(zst)], check=True)
        compressed.append(("z", "(z) (a) in zstd", zst))
    for letter, label, name in compressed:
        commands = [([decode_tool, name], None, [])]
        commands += [([program, name], None, reports_of(name)) for program in programs]
        commands.append(([trelba, a], None, reports_of(a)))
        results = by_turns(commands, work, args.runs)
        decoder, ours, plain_now = results[0], results[1], results[-1]
        limit = max(plain_now.wall, (plain_now.cpu + decoder.cpu) / CORES)
        print("%s: %.1f MB; limit max(plain wall, (plain CPU + decoder CPU) / %d) = %.3f s"
              % (label, os.path.getsize(path(name)) / 1e6, CORES, limit))
        line("decoder alone, one thread", decoder)
        line("plain (a), default threads", plain_now)
        for i, suffix in enumerate(names[:len(programs)]):
            line("Trelba (default threads)" + suffix, results[1 + i], None, limit, "the limit")
        SUMMARY.append((label, ours.wall, limit, "the limit", 1.15))
        print()

    # Many small inputs: no more at the default threads than at -j 1.
    if "s" in wanted:
        count = 1000
        folder = make_folder("small", count, lambda folder, i: subprocess.run(
            [make, os.path.join(folder, "s%04d.fa" % i), "4", "999", str(1000 + i)], check=True))
        if not os.path.exists(path("small_together.fa")):
            with open(path("small_together.fa"), "wb") as together:
                for i in range(count):
                    with open(os.path.join(folder, "s%04d.fa" % i), "rb") as part:
                        together.write(part.read())
        inputs = [os.path.join("small", "s%04d.fa" % i) for i in range(count)]
        outputs = ["--no-reports", "-T", "small.tsv", "--summary", "small_summary.tsv"]
        commands = []
        for program in programs:
            commands.append(([program] + outputs + inputs, None, []))
        commands.append(([trelba, "-j", "1"] + outputs + inputs, None, []))
        commands.append(([trelba] + outputs + ["small_together.fa"], None, []))
        results = by_turns(commands, work, args.runs)
        ours, one, together = results[0], results[-2], results[-1]
        print("(s) %d inputs of 4 genes, -T --summary --no-reports" % count)
        for i, suffix in enumerate(names[:len(programs)]):
            line("Trelba (default threads)" + suffix, results[i], None, one.wall, "-j 1")
        line("Trelba -j 1", one)
        line("their concatenation, default threads", together, None, None)
        print("  default threads / their concatenation: %.2f x\n" % (ours.wall / together.wall))
        SUMMARY.append(("(s) 1,000 small inputs", ours.wall, one.wall, "-j 1", 1.05))
        SUMMARY.append(("(s) 1,000 small inputs", ours.wall, together.wall,
                        "their concatenation", None))

    # A collection of gzipped inputs against the limit of the cores.
    if "g" in wanted:
        count = 120

        def genome(folder, i):
            name = os.path.join(folder, "g%03d.fa" % i)
            subprocess.run([make, name, "1000", "999", str(5000 + i)], check=True)
            with open(name, "rb") as src, gzip.open(name + ".gz", "wb", compresslevel=6) as dst:
                dst.write(src.read())
        make_folder("collection", count, genome)
        gzipped = [os.path.join("collection", "g%03d.fa.gz" % i) for i in range(count)]
        texts = [os.path.join("collection", "g%03d.fa" % i) for i in range(count)]
        out = ["-o", "collection_out/"]
        commands = [([decode_tool] + gzipped, None, [])]
        commands += [([program] + out + gzipped, None, []) for program in programs]
        commands.append(([trelba] + out + texts, None, []))
        results = by_turns(commands, work, args.runs)
        decoder, ours, plain_now = results[0], results[1], results[-1]
        limit = max(plain_now.wall, (plain_now.cpu + decoder.cpu) / CORES)
        print("(g) %d gzipped inputs of 1,000 x 999 nt; limit %.3f s" % (count, limit))
        line("decoder alone, one thread", decoder)
        line("the same inputs uncompressed", plain_now)
        for i, suffix in enumerate(names[:len(programs)]):
            line("Trelba (default threads)" + suffix, results[1 + i], None, limit, "the limit")
        SUMMARY.append(("(g) 120 gzipped inputs", ours.wall, limit, "the limit", 1.15))
        print()
        shutil.rmtree(path("collection_out"), ignore_errors=True)

    # (b) A GenBank genome against its CDS as FASTA: the CDS cut from the record's sequence
    # against the same CDS read from a FASTA file (cct-examples' R. denitrificans, 4.2 Mb).
    genbank_source = "/usr/share/cct/lib/scripts/get_cds/test_input/R_denitrificans.gbk"
    if "b" in wanted and os.path.exists(genbank_source):
        genbank, cds = "R_denitrificans.gbk", "R_denitrificans.cds.fna"
        if not os.path.exists(path(cds)):
            shutil.copy(genbank_source, path(genbank))
            subprocess.run(["/usr/bin/python3", "-c", (
                "import sys\nfrom Bio import SeqIO\n"
                "with open(sys.argv[2], 'w') as out:\n"
                "  for r in SeqIO.parse(sys.argv[1], 'genbank'):\n"
                "    for f in r.features:\n"
                "      if f.type == 'CDS' and 'pseudo' not in f.qualifiers:\n"
                "        s = str(f.extract(r.seq))\n"
                "        out.write('>' + f.qualifiers['locus_tag'][0] + '\\n')\n"
                "        out.write(''.join(s[i:i + 60] + '\\n' for i in range(0, len(s), 60)))\n"),
                path(genbank), path(cds)], check=True)
        table = ["-T", "table.tsv"]
        commands = [([trelba] + table + [name], None, reports_of(name, table))
                    for name in (cds, genbank)]
        results = by_turns(commands, work, args.runs)
        print("(b) a GenBank genome (%.1f MB) against its CDS as FASTA (%.1f MB), -T"
              % (os.path.getsize(path(genbank)) / 1e6, os.path.getsize(path(cds)) / 1e6))
        line("the CDS as FASTA", results[0])
        line("the GenBank file", results[1], None, results[0].wall, "the FASTA")
        SUMMARY.append(("(b) GenBank genome, -T", results[1].wall, results[0].wall,
                        "its CDS as FASTA", None))
        print()

    # Options on (a), each against the run without it.
    if "t" in wanted:
        table = ["-T", "table.tsv"]
        every = table + ["--counts", "--summary", "summary.tsv", "--report", "page.html",
                         "--background", "input"]
        variants = [("without options", []), ("-T", table),
                    ("--background input -T", ["--background", "input"] + table),
                    ("-T --counts --summary --report --background input", every),
                    ("-T --columns composition", table + ["--columns", "composition"]),
                    ("-T --columns dinucleotides", table + ["--columns", "dinucleotides"]),
                    ("-T --columns rscu,aa", table + ["--columns", "rscu,aa"]),
                    ("-T --columns (all four groups)",
                     table + ["--columns", "composition,dinucleotides,rscu,aa"])]
        commands = []
        for _, extra in variants:
            for program in programs:
                commands.append(([program] + extra + [a], None, reports_of(a, extra)))
        results = by_turns(commands, work, args.runs)
        print("(t) options on (a), default threads")
        n = len(programs)
        for v, (label, _) in enumerate(variants):
            for i, suffix in enumerate(names[:n]):
                # The groups of columns against -T alone, the rest against no option.
                base = results[n + i].wall if v >= 4 else results[i].wall if v else None
                line(label[:36 - len(suffix)] + suffix, results[v * n + i], None, base,
                     "-T alone" if v >= 4 else "without")
        SUMMARY.append(("(t) -T on (a)", results[n].wall, results[0].wall, "without -T", 1.25))
        SUMMARY.append(("(t) --background input -T", results[2 * n].wall, results[n].wall,
                        "-T alone", None))
        SUMMARY.append(("(t) -T --columns composition", results[4 * n].wall, results[n].wall,
                        "-T alone", None))
        SUMMARY.append(("(t) -T --columns (all four)", results[7 * n].wall, results[n].wall,
                        "-T alone", None))
        print("  peak RSS with every option: %.1f MB (target: under 16 MB)\n"
              % (results[3 * n].peak / 1024.0))
        SUMMARY.append(("(t) every option, peak RSS MB", results[3 * n].peak / 1024.0, 16.0,
                        "16 MB", 1.0))
        # The correspondence analysis against -T alone, by turns (this build only: one from
        # before has no --coa).
        coa = table + ["--coa", "rscu"]
        results = by_turns([([trelba] + extra + [a], None, reports_of(a, extra))
                            for extra in (table, coa)], work, args.runs)
        line("-T --coa rscu", results[1], None, results[0].wall, "-T")
        print()
        SUMMARY.append(("(t) -T --coa rscu", results[1].wall, results[0].wall, "-T alone", 1.3))

    # Every output format against the plain table: on (a), and where not --quick on (c) and
    # (f), whose tables are eight and thirty times larger for each byte of input.
    if "o" in wanted:
        inputs = [("(a)", a)]
        if not args.quick:
            inputs += [("(c)", make_input("short_500000.fa", 500000, 300, 2)),
                       ("(f)", make_input("short_2000000.fa", 2000000, 60, 3))]
        for short, name in inputs:
            # xz and bzip2 take minutes on the larger tables: on (a) only.
            suffixes = ["", ".gz", ".zst"] + ([".xz", ".bz2"] if short == "(a)" else [])
            # Sizes from one run each (the timed runs remove what they write).
            sizes = {}
            for suffix in suffixes:
                out = "formats.tsv" + suffix
                done = subprocess.run([trelba, "--no-reports", "-T", out, name], cwd=work,
                                      stderr=subprocess.DEVNULL)
                if done.returncode == 0:
                    sizes[suffix] = os.path.getsize(path(out))
                remove(work, [out])
            present = [suffix for suffix in suffixes if suffix in sizes]
            for threads in ["default"] + thread_counts:
                flags = [] if threads == "default" else ["-j", threads]
                where = short if not flags else "%s -j %s" % (short, threads)
                commands = [([trelba, "--no-reports"] + flags + ["-T", "formats.tsv" + suffix,
                                                                 name], None,
                             ["formats.tsv" + suffix]) for suffix in present]
                results = by_turns(commands, work, args.runs)
                print("(o) %s -T in each output format, %s: %.1f MB of table"
                      % (short, "-j " + threads if flags else "default threads",
                         sizes[""] / 1e6))
                for suffix, result in zip(present, results):
                    line(("-T formats.tsv%s: %.1f MB" % (suffix, sizes[suffix] / 1e6))[:36],
                         result, None, results[0].wall if suffix else None, "plain")
                    if suffix:
                        SUMMARY.append(("(o) -T x.tsv%s on %s" % (suffix, where), result.wall,
                                        results[0].wall, "-T x.tsv",
                                        1.3 if suffix == ".gz" else None))
                    if suffix == ".gz":
                        # Processor time too: wall time hides the compression on idle cores
                        # and shows the neighbours' load on busy ones.
                        SUMMARY.append(("(o) -T x.tsv.gz on %s, CPU" % where, result.cpu,
                                        results[0].cpu, "-T x.tsv's CPU", 1.3))
                print()

    print("%-34s %9s %9s  %-22s %7s %8s" % ("figure", "time", "limit", "limit is", "ratio",
                                             "target"))
    for figure, time, limit, limit_name, target in SUMMARY:
        ratio = time / limit
        print("%-34s %9.3f %9.3f  %-22s %6.2fx %8s" % (
            figure, time, limit, limit_name, ratio,
            ("<= %.2fx %s" % (target, "met" if ratio <= target else "NOT met")) if target else ""))
    load = os.getloadavg()
    print("\nload average at the end: %.2f %.2f %.2f\n" % load)

    if args.quick or args.only:
        return
    naive = os.path.join(build, "bench", "naive_trelba")
    results = by_turns([([naive, a], None, reports_of(a)), ([trelba, "-j", "1", a], None,
                                                             reports_of(a))], work, args.runs)
    print("naive baseline (>>, endl, tables) on (a): %.3f s, %.1f x Trelba -j 1\n"
          % (results[0].wall, results[0].wall / results[1].wall))
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
            result = by_turns([([trelba, "-j", threads, name], None, reports_of(name))], work, 1)[0]
            line("%d sequences, -j %s" % (n, threads), result)


if __name__ == "__main__":
    main()
