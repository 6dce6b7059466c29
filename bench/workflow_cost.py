#!/usr/bin/env python3
"""What the workflow costs against one direct run, and what MultiQC costs on its content.

usage: bench/workflow_cost.py [BUILD_DIR] [--genomes 2000] [--genes 2000] [--runs 1]
                              [--batch-size 200] [--cores N] [--gzip] [--work DIR]
                              [--multiqc 2000,50000] [--only workflow|multiqc]

Makes a collection of small gzipped genomes cut from the real gene sets of
tests/data/genomes (tests/workflow/make_genomes.py; kept in WORK for the next sitting),
then, by turns, `--runs` times: one direct run over all of them (`Trelba --no-reports
--file-column -T genes.tsv --summary genomes.tsv`, the default threads) and the workflow
over the same folder (`--cores`, and `batch_size`, `threads`, `gzip_tables` as given).
Prints each run's wall and processor seconds (its own and its waited-for processes'),
peak disk (the outputs' bytes, sampled every 0.2 s, and at the end) and peak memory (the
largest sum of the resident sets of the run's processes, sampled alike), and the
workflow's ratios to the direct run.

With --multiqc, for each number of genomes: a genome summary of that many rows (the rows
of 25 of the genomes with a reference found in each, again and again under new names), the workflow's MultiQC content made
from it, and `multiqc` over that content, its wall seconds and peak memory, with and
without --flat.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def tree_rss_kib(root):
    """The resident set of a process and all its descendants, in KiB."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
                parents[int(entry)] = (int(fields[1]), int(fields[21]))
            except (OSError, IndexError, ValueError):
                pass
    members, grew = {root}, True
    while grew:
        grew = False
        for pid, (ppid, _) in parents.items():
            if ppid in members and pid not in members:
                members.add(pid)
                grew = True
    page_kib = os.sysconf("SC_PAGE_SIZE") // 1024
    return sum(parents[p][1] * page_kib for p in members if p in parents)


def folder_bytes(folder):
    total = 0
    for base, _, names in os.walk(folder):
        for name in names:
            try:
                total += os.lstat(os.path.join(base, name)).st_size
            except OSError:
                pass
    return total


def watched(argv, cwd, outputs):
    """Runs a command; returns (wall s, peak bytes under outputs, final bytes, peak KiB,
    processor s of it and every process it waited for)."""
    peaks = {"disk": 0, "rss": 0}
    errors = tempfile.TemporaryFile()
    started = time.monotonic()
    process = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=errors)
    stop = threading.Event()

    def sample():
        while not stop.wait(0.2):
            peaks["disk"] = max(peaks["disk"], folder_bytes(outputs))
            peaks["rss"] = max(peaks["rss"], tree_rss_kib(process.pid))

    sampler = threading.Thread(target=sample)
    sampler.start()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    wall = time.monotonic() - started
    stop.set()
    sampler.join()
    if process.returncode != 0:
        errors.seek(0)
        sys.exit(f"{' '.join(argv)} failed ({process.returncode}):\n"
                 f"{errors.read().decode(errors='replace')[-3000:]}")
    final = folder_bytes(outputs)
    return wall, max(peaks["disk"], final), final, peaks["rss"], usage.ru_utime + usage.ru_stime


def genome_folder(work, genomes, genes):
    folder = os.path.join(work, f"genomes-{genomes}x{genes}")
    stamp = os.path.join(folder, ".complete")
    if not os.path.exists(stamp):
        shutil.rmtree(folder, ignore_errors=True)
        subprocess.run([sys.executable, os.path.join(ROOT, "tests", "workflow",
                                                      "make_genomes.py"),
                        folder, str(genomes), str(genes)], check=True)
        open(stamp, "w").close()
    return folder


def direct_run(trelba, folder, work):
    out = os.path.join(work, "direct")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    names = sorted(n for n in os.listdir(folder) if n.endswith(".fna.gz"))
    with open(os.path.join(work, "direct-inputs.txt"), "w") as listing:
        listing.writelines(f"{n}\n" for n in names)
    figures = watched([trelba, "--no-reports", "--file-column", "-T",
                       os.path.join(out, "genes.tsv"), "--summary",
                       os.path.join(out, "genomes.tsv"), "--infile-list",
                       os.path.join(work, "direct-inputs.txt")], folder, out)
    os.remove(os.path.join(out, "genes.tsv"))
    return figures


def workflow_run(trelba, folder, work, args):
    run = os.path.join(work, "workflow")
    shutil.rmtree(run, ignore_errors=True)
    os.makedirs(run)
    argv = ["snakemake", "-s", os.path.join(args.workflow, "Snakefile"), "--quiet",
            "--cores", str(args.cores), "--directory", run, "--config",
            f"input_dir={folder}", "outdir=out", f"batch_size={args.batch_size}",
            f"trelba={trelba}", f"threads={args.threads}"]
    if args.gzip:
        argv.append("gzip_tables=True")
    figures = watched(argv, run, os.path.join(run, "out"))
    shutil.rmtree(run)
    return figures


def report(name, figures, direct=None):
    wall, peak_disk, final_disk, rss, cpu = figures
    line = (f"{name:10} {wall:7.1f} s (processor {cpu:6.1f} s)   disk peak "
            f"{peak_disk / 1e6:6.0f} MB, at the end {final_disk / 1e6:6.0f} MB   memory "
            f"{rss / 1024:4.0f} MB")
    if direct:
        line += f"   {wall / direct[0]:.2f} x the direct run's time, {cpu / direct[4]:.2f} x its processor time"
    print(line, flush=True)


def multiqc_cost(sizes, work, trelba, folder):
    # Rows of every summary column: 25 genomes with a reference found in each.
    summary = os.path.join(work, "reference-summary.tsv")
    names = sorted(n for n in os.listdir(folder) if n.endswith(".fna.gz"))[:25]
    subprocess.run([trelba, "--no-reports", "--reference", "auto", "-T", os.devnull,
                    "--summary", summary, *names], cwd=folder, check=True,
                   stderr=subprocess.DEVNULL)
    with open(summary) as handle:
        header, *rows = handle.read().splitlines()
    for size in sizes:
        folder = os.path.join(work, f"multiqc-{size}")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(os.path.join(folder, "content"))
        with open(os.path.join(folder, "genomes.tsv"), "w") as out:
            out.write(header + "\n")
            for k in range(size):
                row = rows[k % len(rows)].split("\t", 1)
                out.write(f"genome{k:06d}\t{row[1]}\n")
        started = time.monotonic()
        subprocess.run([sys.executable, os.path.join(ROOT, "workflow", "scripts",
                                                     "multiqc_content.py"),
                        os.path.join(folder, "genomes.tsv"),
                        os.path.join(folder, "content", "trelba_genomes_mqc.tsv"),
                        os.path.join(folder, "content", "trelba_enc_gc3s_mqc.html")],
                       check=True)
        content = time.monotonic() - started
        for flat in ([], ["--flat"]):
            wall, _, final, rss, cpu = watched(["multiqc", "--force", *flat, "--outdir", "report",
                                           "content"], folder,
                                          os.path.join(folder, "report"))
            print(f"MultiQC {size:>6,} genomes{' --flat' if flat else '':7}: {wall:6.1f} s "
                  f"(processor {cpu:5.1f} s), "
                  f"memory {rss / 1024:5.0f} MB, report and data {final / 1e6:5.1f} MB "
                  f"(content made in {content:.1f} s)", flush=True)
            shutil.rmtree(os.path.join(folder, "report"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.path.join(ROOT, "build"))
    parser.add_argument("--genomes", type=int, default=2000)
    parser.add_argument("--genes", type=int, default=2000)
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--batch-size", type=int, default=200)
    parser.add_argument("--cores", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--threads", type=int, default=1, help="the workflow's threads per job")
    parser.add_argument("--gzip", action="store_true")
    parser.add_argument("--work", default="/tmp/trelba-workflow-bench")
    parser.add_argument("--multiqc", default="")
    parser.add_argument("--only", choices=["workflow", "multiqc"])
    parser.add_argument("--workflow", default=os.path.join(ROOT, "workflow"),
                        help="the workflow folder (another checkout's, to compare)")
    args = parser.parse_args()
    trelba = os.path.realpath(os.path.join(args.build, "Trelba"))
    os.makedirs(args.work, exist_ok=True)
    folder = genome_folder(args.work, args.genomes, args.genes)
    print(f"load average at the start: {os.getloadavg()[0]:.2f}", flush=True)
    if args.only != "multiqc":
        for _ in range(args.runs):
            direct = direct_run(trelba, folder, args.work)
            report("direct", direct)
            report("workflow", workflow_run(trelba, folder, args.work, args), direct)
    if args.multiqc and args.only != "workflow":
        multiqc_cost([int(n) for n in args.multiqc.split(",")], args.work, trelba, folder)
    print(f"load average at the end: {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
