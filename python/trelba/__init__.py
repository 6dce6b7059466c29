"""Trelba's table of results as a pandas DataFrame.

    import trelba
    genes = trelba.table("genes.fa", gcode=11)          # what `Trelba -T` writes
    genes.sort_values("excess", ascending=False).head()
    with gzip.open("genes.fa.gz", "rt") as handle:      # a file object is read as a file
        trelba.table(handle, gcode=11)
    trelba.summary("genes.fa", reference="auto")        # what `Trelba --summary` writes
    trelba.codon_usage("genes.fa", reference="auto")    # and `Trelba --codon-usage`
    trelba.table("genome.fna", gff="genome.gff", coa="rscu", trna="trnascan.out")
    from Bio import SeqIO
    trelba.analyse(SeqIO.parse("genes.fa", "fasta"))   # the same from SeqRecords

The values are those of the command line's table (the same code writes it, and it is
read back number by number); the work runs with the interpreter's lock released and
stops with KeyboardInterrupt on Ctrl-C. Warnings come as TrelbaWarning (strict=True
raises them as trelba.Error); errors are trelba.Error, and for files that cannot be
opened also the OSError Python raises for the cause.
"""
from __future__ import annotations

import errno
import os
import textwrap
import warnings
from collections.abc import Iterable, Mapping
from typing import TYPE_CHECKING, Any, Callable, List, Optional, Tuple, Union

from . import _trelba

if TYPE_CHECKING:
    import pandas

__version__: str = _trelba.__version__

__all__ = [
    "AccessError", "Error", "FolderError", "MissingFileError", "OutOfMemoryError",
    "SettingError", "TrelbaWarning", "analyse", "codon_usage", "codon_usage_text", "columns",
    "summary", "summary_text", "table", "table_text",
]

Path = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
# A file object open for reading, text or binary (open(), gzip.open(), io.StringIO, ...).
Handle = Any
Inputs = Union[Path, Handle, Iterable[Union[Path, Handle]]]
Background = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]", None]
Reference = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]", None]
Number = Union[int, str, None]


class Error(RuntimeError):
    """What went wrong, in the words of the command line's error line."""


class MissingFileError(FileNotFoundError, Error):
    """A file that does not exist."""


class FolderError(IsADirectoryError, Error):
    """A folder given where a file is read."""


class AccessError(PermissionError, Error):
    """A file that may not be read."""


class OutOfMemoryError(MemoryError, Error):
    """Memory ran out while a file was read."""


class SettingError(ValueError, Error):
    """A value the argument it names cannot take."""


class TrelbaWarning(UserWarning):
    """A warning of Trelba's (one line of the command line's), naming the input."""


_OS_ERRORS = {errno.ENOENT: MissingFileError, errno.ENOTDIR: MissingFileError,
              errno.EISDIR: FolderError, errno.EACCES: AccessError, errno.EPERM: AccessError}
# The library's options, by the names of the arguments that give them.
_ARGUMENTS = {"--variant": "code", "--gcode": "gcode", "--background": "background",
              "--threads": "threads", "--reference": "reference", "--columns": "groups",
              "--coa": "coa", "--gff": "gff", "--trna": "trna",
              "--optimal-codons": "optimal_codons", "--min-codons": "min_codons"}
_KEYWORDS = ("even", "input")
_DTYPES = {"text": "str", "whole": "int64", "number": "float64"}


def _text(value: bytes) -> str:
    return value.decode("utf-8", "backslashreplace")


def _raise(failure: Exception, given: Mapping[bytes, Any]) -> None:
    """Raises the library's error (message, file, errno, option) as Python's own."""
    message, file, number, option = failure.args
    message = _text(message)
    if option:
        for name, argument in _ARGUMENTS.items():
            message = message.replace(name, argument)
        argument = _ARGUMENTS.get(option, option.lstrip("-").replace("-", "_"))
        if argument not in message:
            message = "%s: %s" % (argument, message)
        raise SettingError(message) from None
    if number == errno.ENOMEM:
        raise OutOfMemoryError(message) from None
    if number == errno.EINVAL:
        raise SettingError(message) from None
    if number in _OS_ERRORS:
        raise _OS_ERRORS[number](number, os.strerror(number), given.get(file, _text(file))) from None
    raise Error(message) from None


def _warner(strict: bool, depth: int = 3) -> Callable[[bytes], None]:
    def warn(line: bytes) -> None:
        if strict:
            raise Error(_text(line))
        # 1: here, 2: table or analyse, 3: their caller (deeper through _text).
        warnings.warn(_text(line), TrelbaWarning, stacklevel=depth)
    return warn


def _encoded(path: Any, argument: str) -> bytes:
    """A path-like as the bytes of its name; a NUL in it is refused as open() refuses it."""
    if not isinstance(path, (str, bytes, os.PathLike)):
        raise TypeError("%s takes a path (str, bytes or os.PathLike), not %s"
                        % (argument, type(path).__name__))
    name = os.fsencode(path)
    if b"\0" in name:
        raise SettingError("%s: embedded null byte in %r" % (argument, path))
    if name == b"-":
        raise SettingError("%s: '-' is no file here: give standard input as a file object "
                           "(sys.stdin.buffer), a file named '-' as './-'" % argument)
    return name


def _setting(value: Any, argument: str) -> Optional[str]:
    """An option's value as the text the library reads (which checks it)."""
    if value is None:
        return None
    text = str(value)
    if "\0" in text:
        raise SettingError("%s: embedded null byte in %r" % (argument, value))
    return text


def _file_or_keyword(value: Any, keywords: Tuple[str, ...], argument: str,
                     given: dict) -> Optional[bytes]:
    """A keyword given as str, or a file's path: str, bytes or a path-like (bytes or a
    path-like naming a keyword or '-' is the file of that name)."""
    if value is None or (isinstance(value, str) and value in keywords):
        return None if value is None else value.encode()
    name = os.fsencode(value) if isinstance(value, (bytes, os.PathLike)) else None
    if name is not None and name.decode("latin-1") in keywords + ("-",):
        name = b"./" + name  # a file of that name, not the keyword
    else:
        name = _encoded(value, argument)
    given[name] = value
    return name


def _background(background: Background, given: dict) -> Optional[bytes]:
    """'even', 'input', or a FASTA file's path."""
    return _file_or_keyword(background, _KEYWORDS, "background", given)


def _reference(reference: Reference, given: dict) -> Optional[bytes]:
    """'auto', or the path of a FASTA file of highly expressed genes (or a table of w)."""
    return _file_or_keyword(reference, ("auto",), "reference", given)


def _groups(groups: Union[str, Iterable[str], None]) -> Optional[str]:
    """--columns's groups, given as "rscu,aa" or ["rscu", "aa"]."""
    if groups is None or isinstance(groups, str):
        return _setting(groups, "columns")
    return _setting(",".join(str(group) for group in groups), "columns")


def _whole(value: Optional[int], argument: str) -> Optional[str]:
    """A whole number's text; a bool, float or str is refused."""
    if value is not None and (isinstance(value, bool) or not hasattr(value, "__index__")):
        raise SettingError("%s needs a whole number, not %r" % (argument, value))
    return _setting(None if value is None else int(value), argument)


def _study(given: dict, coa: Optional[str] = None, gff: Optional[Path] = None,
           trna: Optional[Path] = None, optimal_codons: Optional[Path] = None,
           cds_only: bool = False, min_codons: Optional[int] = None,
           skip_first_codon: bool = False) -> dict:
    """The settings of the study's options: the analysis, the annotation, the tRNA genes,
    the optimal codons and the sequences left out."""
    study = dict(coa=_setting(coa, "coa"), min_codons=_whole(min_codons, "min_codons"),
                 cds_only=bool(cds_only), skip_first_codon=bool(skip_first_codon))
    for argument, path in (("gff", gff), ("trna", trna), ("optimal_codons", optimal_codons)):
        if path is not None:
            study[argument] = _encoded(path, argument)
            given[study[argument]] = path
    return study


def _settings(code: Number, gcode: Number, background: Background, reference: Reference,
              threads: Optional[int], counts: bool, description: bool, given: dict,
              groups: Union[str, Iterable[str], None] = None, **study: Any) -> dict:
    return dict(variant=_setting(code, "code"), gcode=_setting(gcode, "gcode"),
                background=_background(background, given),
                threads=_whole(threads, "threads"),
                reference=_reference(reference, given), columns=_groups(groups),
                counts=bool(counts), description=bool(description), **_study(given, **study))


def _is_handle(item: Any) -> bool:
    return callable(getattr(item, "read", None))


def _handle_name(handle: Any) -> bytes:
    """What names a file object in the file column and in messages: its file's name."""
    name = getattr(handle, "name", None)
    if isinstance(name, (str, bytes)) and name not in ("", b"", "-", b"-"):
        return os.fsencode(name)
    return b"<stream>"


def _paths(path_or_paths: Inputs, given: dict) -> List[Any]:
    """Each input as the bytes of its path, or a file object as (name, object)."""
    if isinstance(path_or_paths, (str, bytes, os.PathLike)) or _is_handle(path_or_paths):
        path_or_paths = [path_or_paths]
    elif not isinstance(path_or_paths, Iterable):
        raise TypeError("path_or_paths takes a path (str, bytes or os.PathLike), a file object "
                        "or several, not %s" % type(path_or_paths).__name__)
    names: List[Any] = []
    for path in path_or_paths:
        if _is_handle(path):
            names.append((_handle_name(path), path))
            continue
        name = _encoded(path, "path_or_paths")
        given.setdefault(name, path)
        names.append(name)
    return names


def _frame(columns: list) -> "pandas.DataFrame":
    """The DataFrame of the library's column arrays (no copy of them but pandas' own); the
    file column a categorical of the inputs in their order."""
    import pandas

    data = {}
    for name, _kind, values, mask in columns:
        if name == "file":
            codes, files = pandas.factorize(values)
            data[name] = pandas.Categorical.from_codes(codes, files)
            continue
        data[name] = values if mask is None else pandas.arrays.IntegerArray(values, mask)
    return pandas.DataFrame(data, copy=False)


Groups = Union[str, Iterable[str], None]


def table(path_or_paths: Inputs, code: Number = None, gcode: Number = None,
          background: Background = None, reference: Reference = None, threads: Optional[int] = None,
          counts: bool = False, description: bool = False, file_column: bool = False,
          strict: bool = False, groups: Groups = None, coa: Optional[str] = None,
          gff: Optional[Path] = None, trna: Optional[Path] = None,
          optimal_codons: Optional[Path] = None, cds_only: bool = False,
          min_codons: Optional[int] = None, skip_first_codon: bool = False) -> "pandas.DataFrame":
    """The table `Trelba -T` writes for one FASTA file or several, as a DataFrame.

    path_or_paths: a path (str, bytes, os.PathLike; plain or compressed), a file object
    open for reading (text or binary: open(), gzip.open(), io.StringIO, sys.stdin.buffer;
    named by its `name`, read once, as a file) or several; '-' is refused (standard input
    is sys.stdin.buffer). code: a variant (0-7); gcode: an NCBI translation table;
    background: "even" (default), "input" (each file's own codons; not with a file
    object, which is read once) or a FASTA file's path; reference: "auto" (found in each
    file) or the path of a FASTA file of highly expressed genes, adding cai, fop,
    adaptation, adaptation_z, in_reference, excess_p and adaptation_p; threads: the
    workers (default one per core); counts and description add those columns,
    file_column the file column for one file too; groups: the column groups of `Trelba
    --columns` ("composition", "dinucleotides", "rscu", "aa", ... as a list or
    "rscu,aa"); strict: a warning raises trelba.Error instead of TrelbaWarning. The file
    column is a categorical of the inputs.

    The study's options, as the command line's of the same names: coa: a correspondence
    analysis of each input's genes, of their codon counts ("codons"), RSCU ("rscu") or
    amino-acid counts ("aa"), adding coa1 ... coa4 (--coa); gff: the path of a GFF3 file
    that annotates each input, a genome FASTA, whose CDS are then the sequences (--gff);
    trna: the path of tRNAscan-SE's or ARAGORN's output for the genome, adding tai
    (--trna); optimal_codons: the path of Fop's optimal codons, codonW's fop_file or a
    list of codons (--optimal-codons; needs reference); cds_only: leave out sequences
    that are no whole coding sequence (--cds-only); min_codons: leave out sequences of
    fewer codons (--min-codons); skip_first_codon: leave each sequence's first codon out
    of ENC, GC3s, CAI, Fop, adaptation and the groups but dinucleotides
    (--skip-first-codon).

    {columns}

    Raises MissingFileError, FolderError or AccessError (also FileNotFoundError,
    IsADirectoryError, PermissionError) for a file that cannot be opened, SettingError
    (a ValueError) for an argument's value, trelba.Error for the rest.
    """
    given: dict = {}
    paths = _paths(path_or_paths, given)
    settings = _settings(code, gcode, background, reference, threads, counts, description, given,
                         groups, coa=coa, gff=gff, trna=trna, optimal_codons=optimal_codons,
                         cds_only=cds_only, min_codons=min_codons,
                         skip_first_codon=skip_first_codon)
    try:
        columns = _trelba.table_columns(paths, _warner(strict), file_column=bool(file_column),
                                        **settings)
    except _trelba.Error as failure:
        _raise(failure, given)
    return _frame(columns)


def _output(output: Callable[..., Any], path_or_paths: Inputs, code: Number,
            gcode: Number, background: Background, reference: Reference,
            threads: Optional[int], counts: bool, description: bool, file_column: bool,
            strict: bool, groups: Groups, **study: Any) -> Any:
    """One of the outputs, as bytes or columns; warnings for the caller's caller."""
    given: dict = {}
    paths = _paths(path_or_paths, given)
    settings = _settings(code, gcode, background, reference, threads, counts, description, given,
                         groups, **study)
    try:
        return output(paths, _warner(strict, 4), file_column=bool(file_column), **settings)
    except _trelba.Error as failure:
        _raise(failure, given)
        raise  # not reached


def table_text(path_or_paths: Inputs, code: Number = None, gcode: Number = None,
               background: Background = None, reference: Reference = None,
               threads: Optional[int] = None, counts: bool = False, description: bool = False,
               file_column: bool = False, strict: bool = False, groups: Groups = None,
               coa: Optional[str] = None, gff: Optional[Path] = None,
               trna: Optional[Path] = None, optimal_codons: Optional[Path] = None,
               cds_only: bool = False, min_codons: Optional[int] = None,
               skip_first_codon: bool = False) -> bytes:
    """The bytes of that table, as `Trelba --no-reports -T -` writes them."""
    return _output(_trelba.table_text, path_or_paths, code, gcode, background, reference,
                   threads, counts, description, file_column, strict, groups, coa=coa, gff=gff,
                   trna=trna, optimal_codons=optimal_codons, cds_only=cds_only,
                   min_codons=min_codons, skip_first_codon=skip_first_codon)


def summary_text(path_or_paths: Inputs, code: Number = None, gcode: Number = None,
                 background: Background = None, reference: Reference = None,
                 threads: Optional[int] = None, strict: bool = False,
                 groups: Groups = None, coa: Optional[str] = None, gff: Optional[Path] = None,
                 trna: Optional[Path] = None, optimal_codons: Optional[Path] = None,
                 cds_only: bool = False, min_codons: Optional[int] = None,
                 skip_first_codon: bool = False) -> bytes:
    """The bytes `Trelba --no-reports --summary -` writes: a row for each input."""
    return _output(_trelba.summary_text, path_or_paths, code, gcode, background, reference,
                   threads, False, False, False, strict, groups, coa=coa, gff=gff, trna=trna,
                   optimal_codons=optimal_codons, cds_only=cds_only, min_codons=min_codons,
                   skip_first_codon=skip_first_codon)


def codon_usage_text(path_or_paths: Inputs, code: Number = None, gcode: Number = None,
                     background: Background = None, reference: Reference = None,
                     threads: Optional[int] = None, strict: bool = False,
                     coa: Optional[str] = None, gff: Optional[Path] = None,
                     trna: Optional[Path] = None, optimal_codons: Optional[Path] = None,
                     cds_only: bool = False, min_codons: Optional[int] = None,
                     skip_first_codon: bool = False) -> bytes:
    """The bytes `Trelba --no-reports --codon-usage -` writes: a row for each codon."""
    return _output(_trelba.codon_usage_text, path_or_paths, code, gcode, background,
                   reference, threads, False, False, False, strict, None, coa=coa, gff=gff,
                   trna=trna, optimal_codons=optimal_codons, cds_only=cds_only,
                   min_codons=min_codons, skip_first_codon=skip_first_codon)


def summary(path_or_paths: Inputs, code: Number = None, gcode: Number = None,
            background: Background = None, reference: Reference = None,
            threads: Optional[int] = None, strict: bool = False,
            groups: Groups = None, coa: Optional[str] = None, gff: Optional[Path] = None,
            trna: Optional[Path] = None, optimal_codons: Optional[Path] = None,
            cds_only: bool = False, min_codons: Optional[int] = None,
            skip_first_codon: bool = False) -> "pandas.DataFrame":
    """The summary `Trelba --summary` writes, a row for each input, as a DataFrame: the
    medians and totals of its sequences, and with a reference its reference_s and the
    size of its reference set (README: "The summary"); with coa each axis's share of the
    inertia, coa_inertia1 ... 4 (and with three or more inputs their own analysis,
    inputs_coa1 ... 4); with cds_only, min_codons or gff the sequences left out. The
    arguments are trelba.table's; an input that fails raises its error (where the command
    line writes its error row)."""
    return _frame(_output(_trelba.summary_columns, path_or_paths, code, gcode, background,
                          reference, threads, False, False, False, strict, groups, coa=coa,
                          gff=gff, trna=trna, optimal_codons=optimal_codons, cds_only=cds_only,
                          min_codons=min_codons, skip_first_codon=skip_first_codon))


def codon_usage(path_or_paths: Inputs, code: Number = None, gcode: Number = None,
                background: Background = None, reference: Reference = None,
                threads: Optional[int] = None, strict: bool = False,
                coa: Optional[str] = None, gff: Optional[Path] = None,
                trna: Optional[Path] = None, optimal_codons: Optional[Path] = None,
                cds_only: bool = False, min_codons: Optional[int] = None,
                skip_first_codon: bool = False) -> "pandas.DataFrame":
    """The codon usage `Trelba --codon-usage` writes, a row for each codon of each input (and
    the reference's), as a DataFrame (README: "The codon usage"); with coa each codon's (or
    its amino acid's) coordinates. The arguments are trelba.table's."""
    return _frame(_output(_trelba.codon_usage_columns, path_or_paths, code, gcode, background,
                          reference, threads, False, False, False, strict, None, coa=coa,
                          gff=gff, trna=trna, optimal_codons=optimal_codons, cds_only=cds_only,
                          min_codons=min_codons, skip_first_codon=skip_first_codon))


_TAKES = ("analyse takes a mapping {id: sequence}, or an iterable of (id, sequence) pairs, "
          "of Biopython SeqRecords or of sequences (str)")


def _is_sequence(value: Any) -> bool:
    """A str or a sequence object (Bio.Seq); not None, bytes or a number, whose str() is no
    sequence."""
    return value is not None and not isinstance(value, (bytes, bytearray, int, float))


def _record(item: Any, number: int) -> Tuple[str, str]:
    """(header, sequence) of one item of analyse's sequences."""
    if hasattr(item, "seq") and hasattr(item, "id"):
        header, text = str(item.id), str(getattr(item, "description", "") or "")
        if text.split(None, 1)[:1] == [header]:
            header = text  # SeqIO keeps the whole header line here
        return header, str(item.seq)
    if isinstance(item, str):
        return str(number), item
    if isinstance(item, tuple) and len(item) == 2 and _is_sequence(item[1]):
        return str(item[0]), str(item[1])
    raise TypeError("%s; item %d is %s" % (_TAKES, number, type(item).__name__))


def _fasta(sequences: Any) -> bytes:
    if isinstance(sequences, Mapping):
        sequences = sequences.items()
    elif isinstance(sequences, (str, bytes)) or not isinstance(sequences, Iterable):
        raise TypeError("%s, not %s" % (_TAKES, type(sequences).__name__))
    parts = []
    for number, item in enumerate(sequences, 1):
        header, sequence = _record(item, number)
        if any(c in header for c in "\r\n") or ">" in sequence:
            raise SettingError("sequences: item %d holds a line break in its id or '>' in its "
                               "sequence: %r" % (number, header))
        parts.append(">%s\n%s\n" % (header, sequence))
    return "".join(parts).encode("utf-8", "surrogateescape")


def analyse(sequences: Any, code: Number = None, gcode: Number = None,
            background: Background = None, reference: Reference = None,
            threads: Optional[int] = None, counts: bool = False, description: bool = False,
            strict: bool = False, name: str = "sequences", coa: Optional[str] = None,
            trna: Optional[Path] = None, optimal_codons: Optional[Path] = None,
            cds_only: bool = False, min_codons: Optional[int] = None,
            skip_first_codon: bool = False) -> "pandas.DataFrame":
    """The table of sequences in memory, as `Trelba -T` writes it for a FASTA file of them.

    sequences: a mapping {id: sequence}, or an iterable of (id, sequence) pairs, of
    Biopython SeqRecords (the whole header as SeqIO read it) or of sequences (str; ids
    1, 2, ...). background "input" is their own pooled codons; `name` names them in
    warnings, whose line numbers count in the FASTA text of them (two lines a sequence).
    The other arguments and the columns are those of trelba.table (all but gff: the
    sequences are the coding sequences).
    """
    fasta = _fasta(sequences)
    given: dict = {}
    settings = _settings(code, gcode, background, reference, threads, counts, description, given,
                         coa=coa, trna=trna, optimal_codons=optimal_codons, cds_only=cds_only,
                         min_codons=min_codons, skip_first_codon=skip_first_codon)
    try:
        columns = _trelba.fasta_table_columns(fasta, _encoded(name, "name"), _warner(strict),
                                              **settings)
    except _trelba.Error as failure:
        _raise(failure, given)
    return _frame(columns)


def columns(file_column: bool = False, counts: bool = False, description: bool = False,
            reference: bool = False, coa: bool = False,
            trna: bool = False) -> List[Tuple[str, str]]:
    """The table's columns under those settings (coa and trna: whether they are given):
    (name, dtype) pairs."""
    return [(name, _DTYPES[kind])
            for name, kind in _trelba.columns(file_column, counts, description, reference, coa,
                                              trna)]


def _column_list() -> str:
    """The docstring's list of columns, from the library's own."""
    every = columns(file_column=True, counts=True, description=True, reference=True, coa=True,
                    trna=True)
    optional = {name for name, _ in every} - {name for name, _ in columns(file_column=True)}
    codons = [name for name, _ in every if len(name) == 3 and name.isupper()]
    runs: List[Tuple[List[str], str]] = []
    for name, dtype in every:
        if name in codons[1:-1]:
            continue
        if name == codons[-1]:
            runs[-1][0][-1] += " ... " + name
            continue
        label = name + ("*" if name in optional else "")
        if runs and runs[-1][1] == dtype:
            runs[-1][0].append(label)
        else:
            runs.append(([label], dtype))
    text = "Columns (dtype): " + "; ".join("%s (%s)" % (", ".join(n), d) for n, d in runs)
    text += (" -- file only with several files or file_column=True; * only when asked:"
             " the codon counts with counts=True, description with description=True, tai with"
             " trna, coa1 ... coa4 with coa, the rest with a reference.")
    text += (" An int64 column with NA is Int64; NA in a float64 column is NaN. seq numbers"
             " the sequences from 1, codons is the codons counted, score the sequence's score,"
             " Phe ... Gly each family's order value, expected and excess the expected score"
             " under the background and the score less it, internal_stops and partial the"
             " stop codons before the last codon and the letters after it (README: \"The"
             " table\").")
    return textwrap.fill(text, 84, subsequent_indent="    ")


table.__doc__ = (table.__doc__ or "").replace("{columns}", _column_list())
