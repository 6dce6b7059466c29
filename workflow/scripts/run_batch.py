"""One batch job: Trelba over the batch's genomes, each named after its sample.

The run reads a folder of symbolic links named after the samples, so that the `file`
column holds the sample name; the folder goes once the run ends. Its standard error goes
to the job's log: errors line by line, warnings as the configuration's `warnings` says
(summary: one line per kind of warning with its count of genomes and the first few of
them; all: every line; none: not at all). A run that fails (Trelba's status 255: a genome
could not be read, its summary row says why) fails the job unless keep_going is set.
"""
import importlib.machinery
import importlib.util
import json
import os
import re
import shutil
import subprocess
import sys

WARNING = re.compile(r"^Warning: (?P<sample>[^:]+): (?P<message>.*)$")
# What varies between genomes in one kind of warning: counts and the line named.
COUNT = re.compile(r"^\d[\d,]*")
WHERE = re.compile(r" \((the first|first|line)[^)]*\)")
SHOWN_SAMPLES = 3


def warning_kind(message):
    """The message with its counts and the line it names left out."""
    return COUNT.sub("N", WHERE.sub("", message))


def summarise(lines):
    """The log's lines for standard error's lines: errors and other lines as they are, in
    their order, then one line per kind of warning (in order of first appearance)."""
    kept, kinds = [], {}
    for line in lines:
        match = WARNING.match(line)
        if not match:
            kept.append(line)
            continue
        samples = kinds.setdefault(warning_kind(match["message"]), [])
        if match["sample"] not in samples:
            samples.append(match["sample"])
    if kinds:
        total = sum(len(s) for s in kinds.values())
        kept.append(f"Warnings, summarised ({total} lines; `warnings: all` keeps each):")
        for kind, samples in kinds.items():
            shown = ", ".join(samples[:SHOWN_SAMPLES])
            more = ", ..." if len(samples) > SHOWN_SAMPLES else ""
            noun = "genome" if len(samples) == 1 else "genomes"
            kept.append(f"  {len(samples)} {noun}: {kind} ({shown}{more})")
    return kept


def log_lines(stderr_lines, warnings):
    if warnings == "all":
        return list(stderr_lines)
    if warnings == "none":
        return [line for line in stderr_lines if not WARNING.match(line)]
    return summarise(stderr_lines)


def make_links(folder, samples):
    """A fresh folder of links NAME -> PATH, and the list of names beside it."""
    links = os.path.join(folder, "inputs")
    shutil.rmtree(links, ignore_errors=True)
    os.makedirs(links)
    for name, path in samples:
        os.symlink(os.path.abspath(path), os.path.join(links, name))
    names = os.path.join(folder, "inputs.txt")
    with open(names, "w") as out:
        out.writelines(f"{name}\n" for name, _ in samples)
    return links, names


def run(trelba, threads, options, samples, genes, summary, log, keep_going, warnings):
    """Runs the batch; returns the job's exit status."""
    folder = os.path.dirname(os.path.abspath(genes))
    links, names = make_links(folder, samples)
    command = [trelba, "-j", str(threads), "--no-reports", "--file-column", *options,
               "--summary", os.path.abspath(summary), "-T", os.path.abspath(genes),
               "--infile-list", names]
    try:
        done = subprocess.run(command, cwd=links, stderr=subprocess.PIPE)
    finally:
        shutil.rmtree(links, ignore_errors=True)
        os.remove(names)
    lines = log_lines(done.stderr.decode("utf-8", "replace").splitlines(), warnings)
    with open(log, "w") as out:
        out.writelines(f"{line}\n" for line in lines)
    if done.returncode == 0:
        return 0
    sys.stderr.writelines(f"{line}\n" for line in lines)
    return 0 if done.returncode == 255 and keep_going else done.returncode


def batch_of(samples_module, selection, batch_id):
    """The batch's program options and (name, path) of its samples, found as the workflow
    found them: scripts/samples.py (at SAMPLES_MODULE) on the settings that select them."""
    loader = importlib.machinery.SourceFileLoader("trelba_workflow_samples", samples_module)
    samples = importlib.util.module_from_spec(importlib.util.spec_from_loader(loader.name, loader))
    loader.exec_module(samples)
    config = json.loads(selection)
    batch = samples.make_batches(samples.read_samples(config), int(config["batch_size"]))[batch_id]
    return batch.options, [(s.name, s.path) for s in batch.samples]


if __name__ == "__main__":
    # run_batch.py SAMPLES_MODULE SELECTION_JSON BATCH TRELBA THREADS KEEP_GOING(0|1)
    #              WARNINGS GENES SUMMARY LOG
    (samples_module, selection, batch_id, trelba, threads, keep_going, warnings, genes, summary,
     log) = sys.argv[1:11]
    options, members = batch_of(samples_module, selection, batch_id)
    sys.exit(run(trelba, int(threads), options, members, genes, summary, log, keep_going == "1",
                 warnings))
