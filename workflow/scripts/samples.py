"""The workflow's samples and batches, from a sample sheet or a folder.

A sample has a name (unique; the `file` column of every output holds it), a path and a
genetic code ("" for Trelba's default). Samples keep the sheet's order (a folder's: name
order); that order is the order of the merged outputs. Batches hold at most batch_size
samples of one genetic code each, consecutive in that order.
"""
import csv
import os
import re
from dataclasses import dataclass

CDS_FILE = re.compile(r"^(?P<name>.+?)\.(fa|fna|fasta|ffn|fas)(\.(gz|xz|bz2|zst))?$")
# A sample name becomes a file name in the batch folder and a MultiQC sample name.
SAMPLE_NAME = re.compile(r"^[A-Za-z0-9][A-Za-z0-9._+-]*$")
GCODE = re.compile(r"^[0-9]+$")


@dataclass(frozen=True)
class Sample:
    name: str
    path: str
    gcode: str


@dataclass(frozen=True)
class Batch:
    gcode: str
    samples: tuple

    @property
    def gcode_option(self):
        return f"--gcode {self.gcode}" if self.gcode else ""

    @property
    def link_lines(self):
        """One "NAME<TAB>ABSOLUTE PATH" line per sample (for the batch's symbolic links)."""
        return [f"{s.name}\t{os.path.abspath(s.path)}" for s in self.samples]


def _checked(samples):
    seen = set()
    for sample in samples:
        if not SAMPLE_NAME.match(sample.name):
            raise ValueError(f"sample name {sample.name!r}: use letters, digits and ._+-")
        if sample.name in seen:
            raise ValueError(f"sample {sample.name!r} appears twice")
        if sample.gcode and not GCODE.match(sample.gcode):
            raise ValueError(f"sample {sample.name!r}: gcode {sample.gcode!r} is not a number")
        seen.add(sample.name)
    if not samples:
        raise ValueError("no samples: set `samples` (a sheet) or `input_dir` (a folder)")
    return samples


def samples_from_sheet(sheet, default_gcode=""):
    base = os.path.dirname(os.path.abspath(sheet))
    with open(sheet, newline="") as handle:
        rows = csv.DictReader(handle, delimiter="\t")
        missing = {"sample", "path"} - set(rows.fieldnames or [])
        if missing:
            raise ValueError(f"{sheet}: no column {', '.join(sorted(missing))}")
        samples = [
            Sample(row["sample"].strip(),
                   os.path.join(base, row["path"].strip()),
                   (row.get("gcode") or "").strip() or str(default_gcode))
            for row in rows
        ]
    return _checked(samples)


def samples_from_folder(folder, gcode=""):
    samples = []
    for entry in sorted(os.listdir(folder)):
        match = CDS_FILE.match(entry)
        if match and os.path.isfile(os.path.join(folder, entry)):
            samples.append(Sample(match["name"], os.path.join(folder, entry), str(gcode)))
    return _checked(samples)


def read_samples(config):
    gcode = str(config.get("gcode") or "")
    if config.get("samples"):
        return samples_from_sheet(config["samples"], gcode)
    if config.get("input_dir"):
        return samples_from_folder(config["input_dir"], gcode)
    return _checked([])


def make_batches(samples, batch_size):
    """{"b0000": Batch, ...}: per genetic code (in order of first appearance), runs of
    at most batch_size samples in sample order."""
    if batch_size < 1:
        raise ValueError("batch_size must be at least 1")
    by_code = {}
    for sample in samples:
        by_code.setdefault(sample.gcode, []).append(sample)
    batches = {}
    for gcode, group in by_code.items():
        for start in range(0, len(group), batch_size):
            batches[f"b{len(batches):04d}"] = Batch(gcode, tuple(group[start:start + batch_size]))
    return batches
