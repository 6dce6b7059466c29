"""The workflow's sample sheet (workflow/scripts/samples.py): one table of sheets read and
one of sheets refused, each row a sheet as a person saves it."""
import os
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "workflow", "scripts"))
from samples import make_batches, samples_from_sheet  # noqa: E402

BOM = "\ufeff"

# (what, sheet text, [(name, path relative to the sheet, gcode, reference)])
READ = [
    ("plain", "sample\tpath\na\ta.fa\nb\tsub/b.fa\n",
     [("a", "a.fa", "", ""), ("b", "sub/b.fa", "", "")]),
    ("byte-order mark", BOM + "sample\tpath\tgcode\na\ta.fa\t11\n", [("a", "a.fa", "11", "")]),
    ("CRLF, spaces around cells", "sample\tpath\r\n a \t a.fa \r\n", [("a", "a.fa", "", "")]),
    ("gcode column, one cell empty", "sample\tpath\tgcode\na\ta.fa\t4\nb\tb.fa\t\n",
     [("a", "a.fa", "4", ""), ("b", "b.fa", "", "")]),
    ("reference column beside gcode, a file or found in the genome",
     "sample\tpath\tgcode\treference\na\ta.fa\t11\tref.fa\nb\tb.fa\t11\t\nc\tc.fa\t\tauto\n",
     [("a", "a.fa", "11", "ref.fa"), ("b", "b.fa", "11", ""), ("c", "c.fa", "", "auto")]),
    ("path with spaces", "sample\tpath\na\tmy genomes/a b.fa\n", [("a", "my genomes/a b.fa", "", "")]),
]

# (what, sheet text, words the message must hold)
REFUSED = [
    ("no path column", "sample\tfile\na\ta.fa\n", ["no column path"]),
    ("row without a path", "sample\tpath\na\ta.fa\nb\n", ["line 3", "'b'", "no path"]),
    ("row with an empty path", "sample\tpath\ta\na\t\tx\n", ["line 2", "'a'", "no path"]),
    ("sample twice", "sample\tpath\na\ta.fa\na\tb.fa\n", ["'a' appears twice"]),
    ("gcode not a number", "sample\tpath\tgcode\na\ta.fa\televen\n", ["'eleven' is not a number"]),
    ("bad sample name", "sample\tpath\na/b\ta.fa\n", ["'a/b'"]),
]


def write_sheet(folder, text):
    path = folder / "samples.tsv"
    path.write_bytes(text.encode("utf-8"))
    return str(path)


@pytest.mark.parametrize("what, text, expected", READ, ids=[r[0] for r in READ])
def test_sheet_is_read(tmp_path, what, text, expected):
    samples = samples_from_sheet(write_sheet(tmp_path, text))
    absolute = lambda p: os.path.join(str(tmp_path), p) if p not in ("", "auto") else p  # noqa: E731
    assert [(s.name, s.path, s.gcode, s.reference) for s in samples] == \
        [(n, absolute(p), g, absolute(r)) for n, p, g, r in expected]


@pytest.mark.parametrize("what, text, words", REFUSED, ids=[r[0] for r in REFUSED])
def test_sheet_is_refused(tmp_path, what, text, words):
    with pytest.raises(ValueError) as refused:
        samples_from_sheet(write_sheet(tmp_path, text))
    for word in words:
        assert word in str(refused.value)


def test_batches_split_by_code_and_reference_and_pass_both_on(tmp_path):
    text = ("sample\tpath\tgcode\treference\n"
            "a\ta.fa\t11\tr.fa\nb\tb.fa\t11\t\nc\tc.fa\t11\tr.fa\nd\td.fa\t\t\n")
    batches = make_batches(samples_from_sheet(write_sheet(tmp_path, text)), 5)
    reference = os.path.join(str(tmp_path), "r.fa")
    assert [([s.name for s in b.samples], b.options) for b in batches.values()] == [
        (["a", "c"], ["--gcode", "11", "--reference", reference]),
        (["b"], ["--gcode", "11"]),
        (["d"], []),
    ]
