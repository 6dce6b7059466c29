"""The workflow's merge of batch tables (workflow/scripts/merge_tables.py): however the
samples were batched, and whether the tables are plain or BGZF (written by htslib's
bgzip, an independent writer), the merged table holds the header once and the rows in
sample order; a merged BGZF table passes `bgzip -t`; batch tables the merge may consume
are gone once joined, and the others untouched."""
import gzip
import os
import shutil
import subprocess
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "workflow", "scripts"))
from merge_tables import concatenable, merge  # noqa: E402

HEADER = b"file\tseq\tid\tscore\n"
# Rows per sample; enough for a BGZF table of several blocks (one block holds 64 KiB).
ROWS = {name: b"".join(b"%s\t%d\tgene_%d_of_%s\t0.%06d\n" % (name.encode(), i, i, name.encode(),
                                                             (i * 7919) % 10 ** 6)
                       for i in range(1, count + 1))
        for name, count in [("alpha", 3), ("beta", 2500), ("gamma", 0), ("delta", 1), ("eps", 900)]}
ORDER = list(ROWS)
EXPECTED = HEADER + b"".join(ROWS[name] for name in ORDER)

# (what, batches: each its samples in order); every sample in exactly one batch.
BATCHINGS = [
    ("one batch", [ORDER]),
    ("consecutive batches, given in order", [ORDER[:2], ORDER[2:4], ORDER[4:]]),
    ("consecutive batches, given out of order", [ORDER[3:], ORDER[:1], ORDER[1:3]]),
    ("interleaved batches (two codes)", [["alpha", "gamma", "eps"], ["beta", "delta"]]),
]
COMPRESSIONS = ["plain", "bgzf"]

bgzip = shutil.which("bgzip")


def write_batch(folder, index, samples, compression):
    plain = os.path.join(folder, f"b{index}.tsv")
    with open(plain, "wb") as out:
        out.write(HEADER + b"".join(ROWS[name] for name in samples))
    if compression == "plain":
        return plain
    subprocess.run([bgzip, "-f", plain], check=True)
    return plain + ".gz"


@pytest.mark.parametrize("consume", [False, True], ids=["inputs kept", "inputs consumed"])
@pytest.mark.parametrize("compression", COMPRESSIONS)
@pytest.mark.parametrize("what, batches", BATCHINGS, ids=[b[0] for b in BATCHINGS])
def test_merged_table_is_the_direct_runs(tmp_path, what, batches, compression, consume):
    if compression == "bgzf" and not bgzip:
        pytest.skip("no bgzip (Debian package tabix)")
    inputs = [write_batch(str(tmp_path), i, samples, compression)
              for i, samples in enumerate(batches)]
    kept = {path: open(path, "rb").read() for path in inputs}
    output = str(tmp_path / ("merged.tsv" + (".gz" if compression == "bgzf" else "")))
    merge(inputs, output, ORDER, batches, consume)
    if not consume:
        assert all(open(path, "rb").read() == text for path, text in kept.items())
    elif concatenable(batches, ORDER) is not None:  # each joined table gone
        assert not any(os.path.exists(path) for path in inputs)
    if compression == "plain":
        assert open(output, "rb").read() == EXPECTED
    else:
        assert gzip.open(output, "rb").read() == EXPECTED
        subprocess.run([bgzip, "-t", output], check=True)


def test_batches_with_different_headers_are_refused(tmp_path):
    first = tmp_path / "a.tsv"
    second = tmp_path / "b.tsv"
    first.write_bytes(HEADER + ROWS["alpha"])
    second.write_bytes(b"file\tseq\tid\tscore\tcai\n" + ROWS["beta"].replace(b"\n", b"\t1\n"))
    with pytest.raises(ValueError, match="different headers"):
        merge([str(first), str(second)], str(tmp_path / "m.tsv"), ["alpha", "beta"],
              [["alpha"], ["beta"]])
