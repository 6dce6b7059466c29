"""The workflow's samples and batches, from a sample sheet or a folder.

A sample has a name (unique; the `file` column of every output holds it), a path, a
genetic code ("" for Trelba's default) and a reference ("" for none). Samples keep the
sheet's order (a folder's: name order); that order is the order of the merged outputs.
Batches hold at most batch_size samples of one genetic code and one reference each,
consecutive in that order.
"""
import csv
import os
import re
from dataclasses import dataclass

CDS_FILE = re.compile(r"^(?P<name>.+?)\.(fa|fna|fasta|ffn|fas)(\.(gz|xz|bz2|zst))?$")
# A sample name becomes a file name in the batch folder and a MultiQC sample name.
SAMPLE_NAME = re.compile(r"^[A-Za-z0-9][A-Za-z0-9._+-]*$")
GCODE = re.compile(r"^[0-9]+$")
# A path goes into a "NAME<TAB>PATH" line of the batch job (Batch.link_lines).
UNSAFE_IN_PATH = re.compile(r"[\t\n\r]")
# The sheet's columns that must be there (`gcode` and `reference` may be).
REQUIRED_COLUMNS = ("sample", "path")


@dataclass(frozen=True)
class Sample:
    name: str
    path: str
    gcode: str
    reference: str = ""


@dataclass(frozen=True)
class Batch:
    gcode: str
    reference: str
    samples: tuple

    @property
    def options(self):
        """The program's options for the batch, one list item per argument."""
        options = ["--gcode", self.gcode] if self.gcode else []
        return options + (["--reference", self.reference] if self.reference else [])

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
        for path in (sample.path, sample.reference):
            if UNSAFE_IN_PATH.search(path):
                raise ValueError(f"sample {sample.name!r}: path {path!r} holds a tab or line break")
        seen.add(sample.name)
    if not samples:
        raise ValueError("no samples: set `samples` (a sheet) or `input_dir` (a folder)")
    return samples


def _cell(row, column):
    return (row.get(column) or "").strip()


def samples_from_sheet(sheet, default_gcode=""):
    base = os.path.dirname(os.path.abspath(sheet))
    # utf-8-sig: a sheet saved with a byte-order mark (as spreadsheet programs do) reads
    # as one without.
    with open(sheet, newline="", encoding="utf-8-sig") as handle:
        rows = csv.DictReader(handle, delimiter="\t")
        missing = set(REQUIRED_COLUMNS) - set(rows.fieldnames or [])
        if missing:
            raise ValueError(f"{sheet}: no column {', '.join(sorted(missing))}")
        samples = []
        for row in rows:
            name, path = _cell(row, "sample"), _cell(row, "path")
            if not path:
                raise ValueError(f"{sheet}, line {rows.line_num}: sample {name!r} has no path")
            reference = _cell(row, "reference")
            # "auto": a reference set found in each genome; else a file beside the sheet.
            if reference and reference != "auto":
                reference = os.path.join(base, reference)
            samples.append(Sample(name, os.path.join(base, path),
                                  _cell(row, "gcode") or str(default_gcode), reference))
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
    """{"b0000": Batch, ...}: per genetic code and reference (in order of first
    appearance), runs of at most batch_size samples in sample order."""
    if batch_size < 1:
        raise ValueError("batch_size must be at least 1")
    groups = {}
    for sample in samples:
        groups.setdefault((sample.gcode, sample.reference), []).append(sample)
    batches = {}
    for (gcode, reference), group in groups.items():
        for start in range(0, len(group), batch_size):
            batches[f"b{len(batches):04d}"] = Batch(gcode, reference,
                                                    tuple(group[start:start + batch_size]))
    return batches
