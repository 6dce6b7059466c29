"""The Python module against the command line: the same table bytes, the same values,
the same error messages. TRELBA_BINARY names the program, PYTHONPATH holds the module."""
import csv
import glob
import math
import os
import subprocess

import pandas
import pytest
from Bio import SeqIO

import trelba

TRELBA = os.environ["TRELBA_BINARY"]
REAL = sorted(glob.glob(os.path.join(os.path.dirname(__file__), "..", "data", "real", "*")))
CODES = [("code", 0, "--variant"), ("code", 2, "--variant"), ("gcode", 11, "--gcode")]


def command_line(tmp_path, args):
    out = tmp_path / "table.tsv"
    done = subprocess.run([TRELBA, "--no-reports", "-T", str(out)] + args,
                          capture_output=True, text=True)
    return done, (out.read_bytes() if out.exists() else None)


def values(text):
    """The table read without pandas: text columns as str, NA as NaN, the rest float()."""
    rows = list(csv.reader(text.decode().splitlines(), delimiter="\t"))
    keep = {"file", "id", "description"}
    return rows[0], [[v if rows[0][i] in keep else (math.nan if v == "NA" else float(v))
                      for i, v in enumerate(r)] for r in rows[1:]]


def assert_frame_is_text(frame, text):
    header, rows = values(text)
    assert list(frame.columns) == header
    assert all(frame[c].dtype == "float64" for c in header if c not in ("file", "id", "description"))
    got = frame.astype(object).values.tolist()
    assert len(got) == len(rows)
    for a, b in zip(got, rows):
        assert [("nan" if isinstance(x, float) and math.isnan(x) else x) for x in a] == \
               [("nan" if isinstance(x, float) and math.isnan(x) else x) for x in b]


@pytest.mark.parametrize("path", REAL, ids=os.path.basename)
@pytest.mark.parametrize("keyword,number,option", CODES, ids=lambda c: str(c))
def test_table_is_the_command_lines(tmp_path, path, keyword, number, option):
    done, expected = command_line(tmp_path, [option, str(number), path])
    assert done.returncode == 0
    assert trelba.table_text([path], **{"variant" if keyword == "code" else keyword:
                                        str(number)}) == expected
    frame = trelba.table(path, **{keyword: number})
    assert_frame_is_text(frame, expected)
    records = trelba.analyse(SeqIO.parse(path, "fasta"), **{keyword: number})
    pandas.testing.assert_frame_equal(records, frame)


def test_many_files_with_every_column_and_their_own_backgrounds(tmp_path):
    args = ["--counts", "--description", "--background", "input", "-j", "2"]
    done, expected = command_line(tmp_path, args + REAL)
    assert done.returncode == 0
    frame = trelba.table(REAL, counts=True, description=True, background="input", threads=2)
    assert frame.columns[0] == "file" and frame.columns[-1] == "description"
    assert_frame_is_text(frame, expected)


def test_pairs_are_read_as_a_fasta_file_of_them(tmp_path):
    fasta = tmp_path / "pairs.fa"
    pairs = [("a", "ATGAAACCCGGGTTTTAA"), ("b two", "atgtga"), ("", "ATGA"), ("NA", "")]
    fasta.write_text("".join(">%s\n%s\n" % p for p in pairs))
    done, expected = command_line(tmp_path, ["--description", "--background", "input",
                                             str(fasta)])
    frame = trelba.analyse(pairs, description=True, background="input")
    assert_frame_is_text(frame, expected)
    assert list(frame["id"]) == ["a", "b", "", "NA"]


@pytest.mark.parametrize("kwargs,args", [
    ({"path_or_paths": "/nonexistent/genes.fa"}, ["/nonexistent/genes.fa"]),
    ({"gcode": 7}, ["--gcode", "7"]),
    ({"code": 9}, ["--variant", "9"]),
    ({"code": 1, "gcode": 2}, ["--variant", "1", "--gcode", "2"]),
    ({"threads": 999}, ["-j", "999"]),
    ({"background": "/nonexistent/bg.fa"}, ["--background", "/nonexistent/bg.fa"]),
], ids=["missing file", "gcode", "variant", "both codes", "threads", "background"])
def test_errors_carry_the_command_lines_message(tmp_path, kwargs, args):
    kwargs = dict(kwargs)
    path = kwargs.pop("path_or_paths", REAL[0])
    done, _ = command_line(tmp_path, args + ([] if path in args else [path]))
    assert done.returncode != 0
    message = done.stderr.splitlines()[0]
    message = message[len("Trelba: "):] if message.startswith("Trelba: ") else message
    with pytest.raises(trelba.Error) as raised:
        trelba.table(path, **kwargs)
    assert str(raised.value) == message
