"""The Python module against the command line: the same table bytes and values, typed;
warnings as TrelbaWarning, errors as Python's own. TRELBA_BINARY names the program; the
module is the one Python imports (CI: installed by `pip install .` into a venv)."""
import csv
import glob
import gzip
import inspect
import io
import math
import os
import pathlib
import signal
import subprocess
import sys
import threading
import warnings

import pandas
import pytest
from Bio import SeqIO
from Bio.Seq import Seq
from Bio.SeqRecord import SeqRecord

import trelba

pytestmark = pytest.mark.filterwarnings("ignore::trelba.TrelbaWarning")
TRELBA = os.path.abspath(os.environ["TRELBA_BINARY"])
REAL = sorted(glob.glob(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                                     "real", "*")))
CODES = [("code", 0, "--variant"), ("code", 2, "--variant"), ("gcode", 11, "--gcode")]
TEXT = {"file", "id", "description"}
WHOLE = {"seq", "codons", "internal_stops", "partial", "in_reference"} | {
    a + b + c for a in "TCAG" for b in "TCAG" for c in "TCAG"}


def command_line(tmp_path, args):
    out = tmp_path / "table.tsv"
    done = subprocess.run([TRELBA, "--no-reports", "-T", str(out)] + args,
                          capture_output=True, text=True)
    return done, (out.read_bytes() if out.exists() else None)


def values(text):
    """The table read without pandas: text as str, whole numbers int(), NA None, the
    rest float()."""
    rows = list(csv.reader(text.decode().splitlines(), delimiter="\t"))
    header = rows[0]

    def value(name, field):
        if name in TEXT:
            return field
        if field == "NA":
            return None
        return int(field) if name in WHOLE else float(field)
    return header, [[value(header[i], f) for i, f in enumerate(row)] for row in rows[1:]]


def assert_frame_is_text(frame, text):
    header, rows = values(text)
    assert list(frame.columns) == header
    for name in header:
        expected = "category" if name == "file" else "object" if name in TEXT else \
            "int64" if name in WHOLE else "float64"
        assert str(frame[name].dtype) == expected, name
    got = [[None if isinstance(x, float) and math.isnan(x) else x for x in row]
           for row in frame.astype(object).values.tolist()]
    assert got == rows


def warned(call):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        result = call()
    assert all(w.category is trelba.TrelbaWarning for w in caught)
    return result, [str(w.message) for w in caught]


def stderr_warnings(done):
    return [line[len("Warning: "):] for line in done.stderr.splitlines()
            if line.startswith("Warning: ")]


@pytest.mark.parametrize("path", REAL, ids=os.path.basename)
@pytest.mark.parametrize("keyword,number,option", CODES, ids=lambda c: str(c))
def test_table_is_the_command_lines(tmp_path, path, keyword, number, option):
    done, expected = command_line(tmp_path, [option, str(number), path])
    assert done.returncode == 0
    assert trelba.table_text(path, **{keyword: number}) == expected
    frame, said = warned(lambda: trelba.table(path, **{keyword: number}))
    assert_frame_is_text(frame, expected)
    assert said == stderr_warnings(done)
    records = trelba.analyse(SeqIO.parse(path, "fasta"), **{keyword: number})
    pandas.testing.assert_frame_equal(records, frame)


def test_many_files_with_every_column_and_their_own_backgrounds(tmp_path):
    args = ["--counts", "--description", "--background", "input", "-j", "2"]
    done, expected = command_line(tmp_path, args + REAL)
    assert done.returncode == 0
    frame = trelba.table(REAL, counts=True, description=True, background="input", threads=2)
    assert frame.columns[0] == "file" and "description" in frame.columns
    assert_frame_is_text(frame, expected)


@pytest.mark.parametrize("reference", ["auto", "heg"])
def test_indices_against_a_reference_set_are_the_command_lines(tmp_path, reference):
    heg = os.path.join(os.path.dirname(REAL[0]), "..", "..", "..", "examples",
                       "Ecoli_HighlyExpressedGenes.fa")
    given = "auto" if reference == "auto" else pathlib.Path(heg)
    done, expected = command_line(tmp_path, ["--reference", str(given)] + REAL)
    assert done.returncode == 0
    frame = trelba.table(REAL, reference=given)
    assert list(frame.columns[-7:]) == ["cai", "fop", "adaptation", "adaptation_z", "in_reference",
                                        "excess_p", "adaptation_p"]
    assert str(frame["in_reference"].dtype) == "int64"
    assert_frame_is_text(frame, expected)


PAIRS = [("a", "ATGAAACCCGGGTTTTAA"), ("b two", "atgtga"), ("", "ATGA"), ("NA", "")]


@pytest.mark.parametrize("given,ids", [
    (dict(PAIRS), ["a", "b", "", "NA"]),
    (PAIRS, ["a", "b", "", "NA"]),
    (iter(PAIRS), ["a", "b", "", "NA"]),
    ([SeqRecord(Seq(s), id=i.split(" ")[0], description=i) for i, s in PAIRS],
     ["a", "b", "", "NA"]),
    ([s for _, s in PAIRS], ["1", "2", "3", "4"]),
], ids=["mapping", "pairs", "iterator", "SeqRecords", "strings"])
def test_analyse_reads_each_kind_of_sequences_as_a_fasta_file_of_them(tmp_path, given, ids):
    fasta = tmp_path / "pairs.fa"
    fasta.write_text("".join(">%s\n%s\n" % (i, s) for i, (_, s) in zip(ids, PAIRS)))
    done, expected = command_line(tmp_path, ["--background", "input", str(fasta)])
    frame = trelba.analyse(given, background="input")
    assert_frame_is_text(frame, expected)
    assert list(frame["id"]) == ids


@pytest.mark.parametrize("given", [42, "ATGAAA", b"ATGAAA", [1], [("a", "b", "c")],
                                   [b"ATG"], [None], {"g": None}, [("g", b"ATG")]],
                         ids=["int", "str", "bytes", "ints", "triples", "bytes items", "None",
                              "None sequence", "bytes sequence"])
def test_analyse_refuses_anything_else_saying_what_it_takes(given):
    with pytest.raises(TypeError, match="analyse takes a mapping"):
        trelba.analyse(given)


PERMISSION = "/proc/sys/vm/compact_memory"  # write-only, for root too


@pytest.mark.parametrize("path,errors", [
    ("/nonexistent/genes.fa", (trelba.MissingFileError, FileNotFoundError)),
    (pathlib.Path("/nonexistent/genes.fa"), (trelba.MissingFileError, FileNotFoundError)),
    (b"/nonexistent/genes.fa", (trelba.MissingFileError, FileNotFoundError)),
    ("/", (trelba.FolderError, IsADirectoryError)),
    (PERMISSION, (trelba.AccessError, PermissionError)),
], ids=["missing", "missing Path", "missing bytes", "folder", "no permission"])
def test_a_file_that_cannot_be_opened_raises_the_oserror_of_its_cause(path, errors):
    if path == PERMISSION and not os.path.exists(PERMISSION):
        pytest.skip("no write-only file here")
    for call in (trelba.table, trelba.table_text):
        with pytest.raises(errors + (trelba.Error,)) as raised:
            call([REAL[0], path])
        assert raised.value.filename is path
    with pytest.raises(errors) as raised:
        trelba.table(REAL[0], background=pathlib.Path(os.fsdecode(path)))
    assert str(raised.value.filename) == os.fsdecode(path)


@pytest.mark.parametrize("kwargs,message", [
    ({"code": 9}, "code needs a number from 0 to 7, not '9'"),
    ({"code": "x"}, "code needs a number from 0 to 7, not 'x'"),
    ({"gcode": 7}, "gcode: NCBI defines no translation table 7 (tables: 1-6, 9-16, 21-33)"),
    ({"gcode": "x"}, "gcode needs an NCBI translation table number, not 'x'"),
    ({"code": 1, "gcode": 2}, "code and gcode cannot both be given"),
    ({"threads": 0}, "threads needs a whole number from 1 to 256, not '0'"),
    ({"threads": -1}, "threads needs a whole number from 1 to 256, not '-1'"),
    ({"threads": 999}, "threads needs a whole number from 1 to 256, not '999'"),
    ({"threads": 2.7}, "threads needs a whole number, not 2.7"),
    ({"threads": True}, "threads needs a whole number, not True"),
    ({"background": b""}, "background needs even, input or a file name, not ''"),
    ({"reference": "-"}, "reference: '-' is no file here: give standard input as a file "
                         "object (sys.stdin.buffer), a file named '-' as './-'"),
    ({"path": "-"}, "path_or_paths: '-' is no file here: give standard input as a file "
                    "object (sys.stdin.buffer), a file named '-' as './-'"),
    ({"background": "input", "path": io.StringIO(">g\nATG\n")},
     "background input reads each input twice, and a stream is read once"),
    ({"code": "1\0"}, "code: embedded null byte in '1\\x00'"),
    ({"path": "genes\0.fa"}, "path_or_paths: embedded null byte in 'genes\\x00.fa'"),
], ids=lambda c: str(c) if isinstance(c, dict) else "")
def test_a_bad_argument_value_raises_valueerror_naming_the_argument(kwargs, message):
    kwargs = dict(kwargs)
    path = kwargs.pop("path", REAL[0])
    with pytest.raises(trelba.SettingError) as raised:
        trelba.table(path, **kwargs)
    assert isinstance(raised.value, (ValueError, trelba.Error))
    assert str(raised.value) == message


def test_a_damaged_file_raises_the_command_lines_error(tmp_path):
    damaged = tmp_path / "genes.fa.gz"
    damaged.write_bytes(b"\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03" + b"\x00" * 20)
    done, _ = command_line(tmp_path, [str(damaged)])
    with pytest.raises(trelba.Error) as raised:
        trelba.table(damaged)
    assert type(raised.value) is trelba.Error
    assert str(raised.value) == done.stderr.splitlines()[0]


PROTEIN = ">p1 a protein\nMKVLAAGIVGLLLAQPAMAAEQWSRGHKLLDDEFFRRQ\n"


@pytest.mark.parametrize("name,text,args", [
    ("protein.fa", PROTEIN, []),
    ("rna.fa", ">r\nAUGAAAUAA\n", []),
    ("none.fa", "ACGT\n", []),
    ("stops.fa", ">s\nATGTAAATGTAA\n>t\nATGAA\n", ["--gcode", "11"]),
    ("bg.fa", ">g\nATGAAATAA\n", ["--background", "BG"]),
    ("short.fa", ">g\nATGAAATAA\n", ["--reference", "auto"]),
], ids=lambda c: c if isinstance(c, str) and "\n" not in c else "")
def test_each_warning_line_is_one_trelbawarning_naming_the_input_as_given(
        tmp_path, monkeypatch, name, text, args):
    monkeypatch.chdir(tmp_path)
    pathlib.Path(name).write_text(text)
    pathlib.Path("BG").write_text(">b\nATGAAA\n")
    done, expected = command_line(tmp_path, args + [name])
    kwargs = {"gcode": 11} if "--gcode" in args else {}
    if "--background" in args:
        kwargs["background"] = pathlib.Path("BG")
    if "--reference" in args:
        kwargs["reference"] = "auto"
    frame, said = warned(lambda: trelba.table(pathlib.Path(name), **kwargs))
    assert said == stderr_warnings(done) and said and all(s.startswith(name) or
                                                          s.startswith("BG") for s in said)
    assert_frame_is_text(frame, expected)
    with pytest.raises(trelba.Error) as raised:
        trelba.table(name, strict=True, **kwargs)
    assert str(raised.value) == said[0]
    with warnings.catch_warnings():
        warnings.simplefilter("error", trelba.TrelbaWarning)
        with pytest.raises(trelba.TrelbaWarning):
            trelba.table(name, **kwargs)


# Regression: a reference or background in which no codon is counted gave numbers against
# even use, with no error.
@pytest.mark.parametrize("option,text", [("reference", ""), ("reference", PROTEIN),
                                         ("background", ">b\nAUGUUUUAA\n")],
                         ids=["empty reference", "protein reference", "RNA background"])
def test_a_reference_or_background_without_a_codon_is_the_command_lines_error(
        tmp_path, option, text):
    given = tmp_path / "set.fa"
    given.write_text(text)
    done, _ = command_line(tmp_path, ["--" + option, str(given), REAL[0]])
    assert done.returncode == 255
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        with pytest.raises(trelba.Error) as raised:
            trelba.table(REAL[0], **{option: given})
    assert type(raised.value) is trelba.Error
    assert str(raised.value) == done.stderr.splitlines()[-1]
    assert [str(w.message) for w in caught] == stderr_warnings(done)


# Regression: the library's stores went to /tmp whatever TMPDIR said, and a store that
# could not be kept was told as memory running out.
def test_a_temporary_folder_that_cannot_be_had_is_named(tmp_path, monkeypatch):
    genes = tmp_path / "short.fa"
    genes.write_text("".join(">g%d\nATGAAACCCGGGTTT\n" % n for n in range(60000)))
    monkeypatch.setenv("TMPDIR", str(tmp_path / "missing"))
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", trelba.TrelbaWarning)
        with pytest.raises(trelba.MissingFileError) as raised:
            trelba.table(genes, reference="auto")
    assert raised.value.filename == str(tmp_path / "missing")


# The child takes Ctrl-C as Python does at a terminal, even where the tests run with SIGINT
# ignored (started in the background by a shell without job control, which Python's own
# handler then leaves ignored).
CHILD = """
import signal, sys, trelba
signal.signal(signal.SIGINT, signal.default_int_handler)
print("ready", flush=True)
try:
    trelba.table(sys.argv[1], threads=2)
    print("returned")
except KeyboardInterrupt:
    trelba.table(sys.argv[2])  # works on, with no interruption left pending
    print("KeyboardInterrupt")
"""


@pytest.mark.parametrize("writer", [None, "endless"], ids=["fifo without a writer",
                                                           "endless input"])
def test_ctrl_c_raises_keyboardinterrupt_during_a_call(tmp_path, writer):
    fifo = tmp_path / "fifo"
    os.mkfifo(fifo)
    child = subprocess.Popen([sys.executable, "-c", CHILD, str(fifo), REAL[0]],
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    feeder = None
    try:
        assert child.stdout.readline() == "ready\n"
        if writer:
            feeder = subprocess.Popen(
                [sys.executable, "-c", "import sys\nwhile True: sys.stdout.write"
                 "('>g\\n' + 'ATGAAACCCGGG' * 50 + '\\n')"], stdout=open(fifo, "w"))
            with open("/proc/%d/io" % child.pid) as io:  # read 10 MB: in the call
                while int(io.read().split("rchar: ")[1].split()[0]) < 10 << 20:
                    io.seek(0)
        else:
            threading.Event().wait(1.0)  # in open(), which waits for a writer
        child.send_signal(signal.SIGINT)
        out, err = child.communicate(timeout=60)
    finally:
        child.kill()
        if feeder:
            feeder.kill()
    assert out == "KeyboardInterrupt\n", err


def test_calls_from_threads_side_by_side_give_each_its_own_table_and_warnings():
    expected = [warned(lambda p=p: trelba.table(p)) for p in REAL]
    got = [None] * len(REAL)

    def run(i):
        got[i] = trelba.table(REAL[i])

    def all_threads():
        threads = [threading.Thread(target=run, args=(i,)) for i in range(len(REAL))]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
    _, said = warned(all_threads)  # the warnings module is the process's: all of them here
    for frame, (want, _) in zip(got, expected):
        pandas.testing.assert_frame_equal(frame, want)
    assert sorted(said) == sorted(s for _, warned_here in expected for s in warned_here)


def test_nothing_is_written_to_standard_error(tmp_path):
    code = "import trelba, warnings\nwarnings.simplefilter('ignore')\n" \
           "trelba.table(%r)\ntry: trelba.table('/nonexistent')\nexcept OSError: pass" % REAL[1]
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True)
    assert done.returncode == 0 and done.stderr == ""


def test_version_typing_and_documentation_are_the_programs():
    version = subprocess.run([TRELBA, "--version"], capture_output=True, text=True).stdout
    assert version == "Trelba %s\n" % trelba.__version__
    assert os.path.exists(os.path.join(os.path.dirname(trelba.__file__), "py.typed"))
    for name in trelba.__all__:
        item = getattr(trelba, name)
        if inspect.isfunction(item):
            signature = inspect.signature(item)
            assert signature.return_annotation is not inspect.Signature.empty, name
            assert all(p.annotation is not inspect.Parameter.empty
                       for p in signature.parameters.values()), name
    header = trelba.table_text(REAL[0], counts=True, description=True, file_column=True)
    names = header.decode().split("\n", 1)[0].split("\t")
    doc = " ".join(trelba.table.__doc__.split())
    assert all(n in doc for n in names if n not in WHOLE - {"seq", "codons", "internal_stops",
                                                            "partial"})
    assert "TTT* ... GGG (int64)" in doc


def gzipped(tmp_path, path):
    packed = tmp_path / (os.path.basename(path) + ".gz")
    packed.write_bytes(gzip.compress(pathlib.Path(path).read_bytes()))
    return packed


HANDLES = {
    "binary": lambda path, packed: open(path, "rb"),
    "text": lambda path, packed: open(path, "r", encoding="latin-1", newline=""),
    "gzip text": lambda path, packed: gzip.open(packed, "rt", encoding="latin-1", newline=""),
    "gzip binary": lambda path, packed: gzip.open(packed, "rb"),
    "compressed bytes": lambda path, packed: open(packed, "rb"),
    "StringIO": lambda path, packed: io.StringIO(pathlib.Path(path).read_bytes()
                                                 .decode("latin-1"), newline=""),
    "BytesIO": lambda path, packed: io.BytesIO(pathlib.Path(path).read_bytes()),
}


@pytest.mark.parametrize("kind", HANDLES)
def test_a_file_object_is_read_as_the_file_it_holds(tmp_path, kind):
    path = REAL[-1]
    with HANDLES[kind](path, gzipped(tmp_path, path)) as handle:
        got = trelba.table_text(handle, counts=True)
    assert got == trelba.table_text(path, counts=True)


def test_file_objects_and_paths_together_are_named_in_the_file_column(tmp_path):
    with open(REAL[0], "rb") as first, io.StringIO(pathlib.Path(REAL[1]).read_text()) as second:
        frame = trelba.table([first, second, REAL[2]])
    expected = trelba.table(REAL[:3])
    assert list(frame["file"].cat.categories) == [REAL[0], "<stream>", REAL[2]]
    frame["file"] = frame["file"].cat.rename_categories({"<stream>": REAL[1]})
    pandas.testing.assert_frame_equal(frame, expected)


class Failing(io.RawIOBase):
    def readable(self):
        return True

    def read(self, size=-1):
        raise ValueError("the disk fell off")


def test_what_a_file_objects_read_raises_is_raised():
    with pytest.raises(ValueError, match="the disk fell off"):
        trelba.table(Failing())


HEG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples",
                   "Ecoli_HighlyExpressedGenes.fa")
OUTPUTS = [("summary", "--summary"), ("codon_usage", "--codon-usage")]


@pytest.mark.parametrize("reference", [None, "auto", HEG], ids=["none", "auto", "file"])
@pytest.mark.parametrize("output,option", OUTPUTS, ids=[o for o, _ in OUTPUTS])
def test_summary_and_codon_usage_are_the_command_lines(tmp_path, output, option, reference):
    out = tmp_path / "out.tsv"
    args = [] if reference is None else ["--reference", reference]
    done = subprocess.run([TRELBA, "--no-reports", option, str(out)] + args + REAL,
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    expected = out.read_bytes()
    assert getattr(trelba, output + "_text")(REAL, reference=reference) == expected
    frame, said = warned(lambda: getattr(trelba, output)(REAL, reference=reference))
    assert said == stderr_warnings(done)
    header, rows = expected.decode().split("\n", 1)[0].split("\t"), list(
        csv.reader(expected.decode().splitlines()[1:], delimiter="\t"))
    assert list(frame.columns) == header and str(frame["file"].dtype) == "category"
    for name, column in zip(header, zip(*rows)):
        kind = frame[name].dtype.kind
        got = [None if pandas.isna(x) else x for x in frame[name].astype(object)]
        want = [None if f == "NA" and kind in "fiu" else float(f) if kind == "f"
                else int(f) if kind in "iu" else f for f in column]
        assert got == want, name


def test_reference_s_is_there_to_check_in_a_notebook():
    frame = trelba.summary(REAL, reference="auto")
    assert str(frame["reference_s"].dtype) == "float64"
    assert frame["reference_s"].notna().any()


@pytest.mark.parametrize("keyword", ["reference", "background"])
def test_a_path_is_taken_as_str_bytes_or_path_like(keyword):
    given = [HEG, os.fsencode(HEG), pathlib.Path(HEG)]
    frames = [trelba.table(REAL[0], **{keyword: path}) for path in given]
    for frame in frames[1:]:
        pandas.testing.assert_frame_equal(frame, frames[0])
    with pytest.raises(trelba.MissingFileError):
        trelba.table(REAL[0], **{keyword: "no-such-file.fa"})


TRNA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "trna",
                    "Ecoli_K12_MG1655.aragorn_w.txt")


def genome(tmp_path):
    """A genome FASTA of three of Y. pestis' genes and its GFF3: one on the plus strand, one
    on the minus strand, one in two parts."""
    ypestis = next(path for path in REAL if "Ypestis" in path)
    genes = [record.split("\n", 1)[1].replace("\n", "")
             for record in pathlib.Path(ypestis).read_text().split(">")[1:4]]
    cut = len(genes[2]) // 6 * 3
    pieces = [genes[0], genes[1][::-1].translate(str.maketrans("ACGT", "TGCA")), genes[2][:cut],
              genes[2][cut:]]
    text, lines = "", ["##gff-version 3"]
    for number, (piece, strand) in enumerate(zip(pieces, "+-++")):
        text += "N" * 40
        lines.append("chr1\ttest\tCDS\t%d\t%d\t.\t%s\t0\tID=cds%d" % (
            len(text) + 1, len(text) + len(piece), strand, min(number, 2)))
        text += piece
    (tmp_path / "genome.fa").write_text(">chr1\n%s\n" % text)
    (tmp_path / "genome.gff").write_text("\n".join(lines) + "\n")
    return [str(tmp_path / "genome.fa")], {"gff": tmp_path / "genome.gff"}


def real_files(tmp_path):
    return REAL, {}


def optimal_codons(tmp_path):
    (tmp_path / "optimal.txt").write_text("CTG, AAA\nGAA CGT ACC\n")
    return REAL, {"reference": HEG, "optimal_codons": tmp_path / "optimal.txt"}


STUDY = [  # (inputs and their file arguments, the other arguments, the command line's options)
    (real_files, {"coa": "codons"}, ["--coa", "codons"]),
    (real_files, {"coa": "rscu", "reference": "auto"}, ["--coa", "rscu", "--reference", "auto"]),
    (real_files, {"coa": "aa", "threads": 1}, ["--coa", "aa", "-j", "1"]),
    (real_files, {"trna": TRNA, "gcode": 11}, ["--trna", TRNA, "--gcode", "11"]),
    (optimal_codons, {}, ["--reference", HEG, "--optimal-codons", "{optimal_codons}"]),
    (real_files, {"cds_only": True, "min_codons": 100}, ["--cds-only", "--min-codons", "100"]),
    (real_files, {"skip_first_codon": True, "reference": "auto"},
     ["--skip-first-codon", "--reference", "auto"]),
    (genome, {"coa": "codons"}, ["--gff", "{gff}", "--coa", "codons"]),
]


@pytest.mark.parametrize("output,option", [("table", "-T")] + OUTPUTS)
@pytest.mark.parametrize("inputs,kwargs,args", STUDY, ids=lambda c: " ".join(c) if isinstance(
    c, list) else "")
def test_the_studys_options_are_the_command_lines(tmp_path, output, option, inputs, kwargs, args):
    paths, files = inputs(tmp_path)
    out = tmp_path / "out.tsv"
    done = subprocess.run([TRELBA, "--no-reports", option, str(out)] +
                          [a.format(**files) for a in args] + paths, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    expected = out.read_bytes()
    kwargs = dict(kwargs, **files)
    assert getattr(trelba, output + "_text")(paths, **kwargs) == expected
    frame, said = warned(lambda: getattr(trelba, output)(paths, **kwargs))
    assert said == stderr_warnings(done)
    rows = list(csv.reader(expected.decode().splitlines(), delimiter="\t"))
    assert list(frame.columns) == rows[0]
    for name, column in zip(rows[0], zip(*rows[1:])):
        kind = frame[name].dtype.kind
        got = [None if pandas.isna(x) else x for x in frame[name].astype(object)]
        assert got == [None if f == "NA" and kind in "fiu" else float(f) if kind == "f"
                       else int(f) if kind in "iu" else f for f in column], name


@pytest.mark.parametrize("kwargs,message", [
    ({"coa": "genes"}, "coa needs codons, rscu or aa, not 'genes'"),
    ({"min_codons": "x"}, "min_codons needs a whole number, not 'x'"),
    ({"min_codons": -1}, "min_codons needs a whole number, not '-1'"),
    ({"optimal_codons": TRNA}, "optimal_codons gives Fop's optimal codons: it needs reference"),
    ({"gff": "-"}, "gff: '-' is no file here: give standard input as a file object "
                   "(sys.stdin.buffer), a file named '-' as './-'"),
    ({"trna": 3}, None),
], ids=lambda c: str(c) if isinstance(c, dict) else "")
def test_a_bad_study_argument_raises_naming_the_argument(kwargs, message):
    for call in (trelba.table, trelba.summary, trelba.codon_usage):
        with pytest.raises(TypeError if message is None else trelba.SettingError) as raised:
            call(REAL[0], **kwargs)
        assert message is None or str(raised.value) == message
    with pytest.raises(trelba.MissingFileError):
        trelba.table(REAL[0], trna="/nonexistent/trna.out")


def test_analyse_takes_the_study_arguments_but_gff():
    kwargs = {"coa": "rscu", "trna": TRNA, "cds_only": True, "min_codons": 50,
              "skip_first_codon": True, "reference": "auto"}
    pandas.testing.assert_frame_equal(trelba.analyse(SeqIO.parse(REAL[0], "fasta"), **kwargs),
                                      trelba.table(REAL[0], **kwargs))
