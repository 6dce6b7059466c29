"""Trelba's table of results as a pandas DataFrame.

    import trelba
    genes = trelba.table("genes.fa", gcode=11)          # what `Trelba -T` writes
    genes.sort_values("excess", ascending=False).head()
    from Bio import SeqIO
    trelba.analyse(SeqIO.parse("genes.fa", "fasta"))   # the same from SeqRecords

The numbers are the table's own text read back (every column but file, id and
description a float64, NA as NaN): the same values as the command line's table, since
the text is made by the same code. Errors raise trelba.Error with the command line's
message; the work runs with the interpreter's lock released.
"""
import csv
import io
import os

from ._trelba import Error, fasta_table_text, table_text

__all__ = ["Error", "table", "analyse", "table_text", "fasta_table_text"]

_TEXT_COLUMNS = ("file", "id", "description")


def _option(value):
    return None if value is None else str(value)


def _settings(code, gcode, background, threads, counts, description):
    return dict(variant=_option(code), gcode=_option(gcode),
                background=None if background is None else os.fspath(background),
                threads=0 if threads is None else int(threads),
                counts=bool(counts), description=bool(description))


def frame(text):
    """The DataFrame of a table's text (bytes or str), as the table's columns name it."""
    import pandas

    if isinstance(text, bytes):
        text = text.decode("utf-8")
    columns = text.split("\n", 1)[0].split("\t")
    numeric = [c for c in columns if c not in _TEXT_COLUMNS]
    return pandas.read_csv(
        io.StringIO(text), sep="\t", quoting=csv.QUOTE_MINIMAL, doublequote=True,
        dtype={c: ("float64" if c in numeric else "str") for c in columns},
        keep_default_na=False, na_values={c: ["NA"] for c in numeric},
        float_precision="round_trip")


def table(path_or_paths, code=None, gcode=None, background=None, threads=None,
          counts=False, description=False, file_column=False):
    """The table `Trelba -T` writes for one file or several (then with a `file` column).

    code: a variant (0-7), gcode: an NCBI translation table, background: "even",
    "input" or a FASTA file, threads: the workers (default one per core); counts and
    description add those columns, file_column the file column for one file too.
    """
    if isinstance(path_or_paths, (str, bytes, os.PathLike)):
        paths = [path_or_paths]
    else:
        paths = list(path_or_paths)
    paths = [os.fsdecode(p) for p in paths]
    return frame(table_text(paths, file_column=bool(file_column),
                            **_settings(code, gcode, background, threads, counts,
                                        description)))


def _header_and_sequence(item):
    """(header, sequence) of a SeqRecord or an (id, sequence) pair."""
    if hasattr(item, "seq") and hasattr(item, "id"):
        header, description = str(item.id), str(getattr(item, "description", "") or "")
        if description.split(None, 1)[:1] == [header]:
            header = description  # SeqIO keeps the whole header line here
        return header, str(item.seq)
    ident, sequence = item
    return str(ident), str(sequence)


def analyse(sequences, code=None, gcode=None, background=None, threads=None,
            counts=False, description=False):
    """The table of (id, sequence) pairs or Biopython SeqRecords, as `Trelba -T` writes
    it for a FASTA file of them (background "input": their own pooled codons)."""
    parts = []
    for item in sequences:
        header, sequence = _header_and_sequence(item)
        if any(c in header for c in "\r\n") or ">" in sequence:
            raise ValueError("a header holds a line break, or a sequence '>': %r" % header)
        parts.append(">%s\n%s\n" % (header, sequence))
    fasta = "".join(parts).encode("utf-8", "surrogateescape")
    return frame(fasta_table_text(fasta, **_settings(code, gcode, background, threads, counts,
                                                     description)))
