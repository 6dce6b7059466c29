"""The workflow's batch job (workflow/scripts/run_batch.py): what its log holds of the
program's standard error under each `warnings` setting, and when the job fails."""
import os
import json
import stat
import subprocess
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "workflow", "scripts"))
from run_batch import log_lines, run  # noqa: E402

STDERR = [
    "Warning: g1: 1 sequence has stop codons before the last codon (the first: header on line 1)",
    "Warning: g2: 12 sequences have stop codons before the last codon (the first: header on "
    "line 40)",
    "Warning: g2: 3 sequences' lengths are not a multiple of 3 (the first: header on line 9)",
    "Trelba: g3: reading: Input/output error",
    "Warning: g4: 1,204 sequences have stop codons before the last codon (the first: header "
    "on line 7)",
    "Warning: g5: 2 sequences have stop codons before the last codon (the first: header on "
    "line 2)",
]

# (warnings setting, the log's lines)
LOGS = [
    ("all", STDERR),
    ("none", ["Trelba: g3: reading: Input/output error"]),
    ("summary", [
        "Trelba: g3: reading: Input/output error",
        "Warnings, summarised (5 lines; `warnings: all` keeps each):",
        "  1 genome: N sequence has stop codons before the last codon (g1)",
        "  3 genomes: N sequences have stop codons before the last codon (g2, g4, g5)",
        "  1 genome: N sequences' lengths are not a multiple of 3 (g2)",
    ]),
]


@pytest.mark.parametrize("warnings, expected", LOGS, ids=[case[0] for case in LOGS])
def test_log_keeps_errors_and_the_warnings_asked_for(warnings, expected):
    assert log_lines(STDERR, warnings) == expected


def test_summary_names_the_first_three_genomes_of_a_kind():
    lines = [f"Warning: g{k}: 1 sequence's length is not a multiple of 3" for k in range(5)]
    assert log_lines(lines, "summary")[-1] == \
        "  5 genomes: N sequence's length is not a multiple of 3 (g0, g1, g2, ...)"


# (program's status, keep_going_on_bad_inputs, the job's status)
STATUSES = [(0, False, 0), (255, False, 255), (255, True, 0), (1, True, 1), (134, True, 134)]


@pytest.mark.parametrize("status, keep_going, job_status", STATUSES,
                         ids=[f"status {s}, keep going {k}" for s, k, _ in STATUSES])
def test_job_status(tmp_path, status, keep_going, job_status):
    # A stand-in program that lists what it was asked to read and ends with STATUS.
    program = tmp_path / "trelba"
    program.write_text(f"#!/bin/sh\nls > {tmp_path}/seen\necho 'Warning: a: x' >&2\n"
                       f"exit {status}\n")
    program.chmod(program.stat().st_mode | stat.S_IXUSR)
    genome = tmp_path / "genome.fa"
    genome.write_text(">g\nATG\n")
    batch = tmp_path / "batch"
    batch.mkdir()
    got = run(str(program), 1, [], [("sample one", str(genome)), ("b", str(genome))],
              str(batch / "genes.tsv"), str(batch / "genomes.tsv"), str(tmp_path / "log"),
              keep_going, "all")
    assert got == job_status
    assert (tmp_path / "seen").read_text() == "b\nsample one\n"
    assert (tmp_path / "log").read_text() == "Warning: a: x\n"
    assert os.listdir(batch) == []  # the links and their list are gone


def test_job_finds_its_batch_from_the_settings_however_long_their_paths(tmp_path):
    # 600 samples whose names and paths together pass the 128 KiB one argument may hold:
    # the job is named by its batch and reads the sheet itself, as the workflow did.
    genomes = tmp_path / ("g" * 200)
    genomes.mkdir()
    (genomes / "x.fa").write_text(">g\nATG\n")
    names = [f"sample_{k:03d}_" + "n" * 100 for k in range(600)]
    sheet = tmp_path / "samples.tsv"
    sheet.write_text("sample\tpath\tgcode\n" + "".join(
        f"{name}\t{genomes.name}/x.fa\t{11 if k < 500 else 4}\n" for k, name in enumerate(names)))
    program = tmp_path / "trelba"
    program.write_text(f"#!/bin/sh\necho \"$@\" > {tmp_path}/args\nls > {tmp_path}/seen\n")
    program.chmod(program.stat().st_mode | stat.S_IXUSR)
    settings = {"samples": str(sheet), "input_dir": "", "gcode": "", "batch_size": 300}
    scripts = os.path.join(os.path.dirname(__file__), "..", "..", "workflow", "scripts")
    batch = tmp_path / "b0001"
    batch.mkdir()
    subprocess.run([sys.executable, os.path.join(scripts, "run_batch.py"),
                    os.path.join(scripts, "samples.py"), json.dumps(settings), "b0001",
                    str(program), "2", "0", "all", str(batch / "genes.tsv"),
                    str(batch / "genomes.tsv"), str(tmp_path / "log")], check=True)
    # b0000 holds the first 300 samples of code 11, b0001 the other 200, b0002 code 4's.
    assert (tmp_path / "seen").read_text().splitlines() == names[300:500]
    assert "--gcode 11" in (tmp_path / "args").read_text()
