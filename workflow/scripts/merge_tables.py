"""Merges batch tables (gene tables or genome summaries) into one.

Each input is a tab-separated table with one header row whose first column is `file`
(the sample name); within a batch, rows come in sample order. The output has the header
once and every row in the workflow's sample order (rows of one sample in their own
order), so its bytes do not depend on how the samples were batched.

When the batches, taken in order of their first samples, hold the samples in sample
order (every batch one run of consecutive samples: all samples of one genetic code and
reference), the tables are concatenated without their headers: plain files byte for
byte, and BGZF files (bgzip's blocks, as Trelba writes a `.gz` table) block for block,
only the block holding the header made anew, so nothing is compressed again. In the
workflow the first table becomes the merged one and each other is removed once joined,
so the disk holds the rows once. Otherwise the rows are merged line by line (and a `.gz`
output compressed here, as BGZF). Streams: memory does not grow with the tables.
"""
import gzip
import heapq
import os
import shutil
import struct
import sys
import zlib

# bgzip's end-of-file marker: an empty block.
BGZF_EOF = bytes.fromhex("1f8b08040000000000ff0600424302001b0003000000000000000000")
BGZF_MAX_TEXT = 0xff00


def open_text(path):
    return gzip.open(path, "rb") if path.endswith(".gz") else open(path, "rb")


# --- line by line ---------------------------------------------------------------------

def rows(path, rank):
    """(sample rank, line) for every data row of one table."""
    with open_text(path) as handle:
        next(handle)
        last = -1
        for line in handle:
            name = line.split(b"\t", 1)[0].decode()
            if name not in rank:
                raise ValueError(f"{path}: row of unknown sample {name!r}")
            if rank[name] < last:
                raise ValueError(f"{path}: sample {name!r} out of order")
            last = rank[name]
            yield rank[name], line


def header(path):
    with open_text(path) as handle:
        line = handle.readline()
    if not line.startswith(b"file\t"):
        raise ValueError(f"{path}: first column is not `file`")
    return line


def merge_lines(inputs, output, order):
    rank = {name: position for position, name in enumerate(order)}
    headers = {header(path) for path in inputs}
    if len(headers) != 1:
        raise ValueError("the batch tables have different headers")
    with open(output, "wb") as raw:
        out = BgzfWriter(raw) if output.endswith(".gz") else raw
        out.write(headers.pop())
        for _, line in heapq.merge(*(rows(path, rank) for path in inputs), key=lambda r: r[0]):
            out.write(line)
        if output.endswith(".gz"):
            out.close()


# --- block by block -------------------------------------------------------------------

def bgzf_block(handle):
    """The next BGZF block of an open file as (its bytes, its text), or None at the end;
    ValueError when the file is not BGZF."""
    head = handle.read(12)
    if not head:
        return None
    if len(head) < 12 or head[:4] != b"\x1f\x8b\x08\x04":
        raise ValueError("not BGZF")
    extra = handle.read(struct.unpack("<H", head[10:12])[0])
    size, at = None, 0
    while at + 4 <= len(extra):
        length = struct.unpack("<H", extra[at + 2:at + 4])[0]
        if extra[at:at + 2] == b"BC" and length == 2:
            size = struct.unpack("<H", extra[at + 4:at + 6])[0] + 1
        at += 4 + length
    if size is None:
        raise ValueError("not BGZF")
    rest = handle.read(size - 12 - len(extra))
    block = head + extra + rest
    return block, zlib.decompress(rest[:-8], -15)


def bgzf_blocks_of(text, level=6):
    """Text as BGZF blocks."""
    blocks = []
    for start in range(0, len(text), BGZF_MAX_TEXT):
        piece = text[start:start + BGZF_MAX_TEXT]
        deflate = zlib.compressobj(level, zlib.DEFLATED, -15)
        data = deflate.compress(piece) + deflate.flush()
        blocks.append(b"\x1f\x8b\x08\x04\x00\x00\x00\x00\x00\xff\x06\x00BC\x02\x00"
                      + struct.pack("<H", len(data) + 25) + data
                      + struct.pack("<II", zlib.crc32(piece), len(piece)))
    return b"".join(blocks)


class BgzfWriter:
    """Text written to a file as BGZF blocks, the end-of-file marker at close()."""

    def __init__(self, raw):
        self.raw, self.pending = raw, bytearray()

    def write(self, text):
        self.pending += text
        if len(self.pending) >= BGZF_MAX_TEXT:
            whole = len(self.pending) // BGZF_MAX_TEXT * BGZF_MAX_TEXT
            self.raw.write(bgzf_blocks_of(bytes(self.pending[:whole])))
            del self.pending[:whole]

    def close(self):
        self.raw.write(bgzf_blocks_of(bytes(self.pending)) + BGZF_EOF)
        self.pending = bytearray()


def is_bgzf(path):
    try:
        with open(path, "rb") as handle:
            bgzf_block(handle)
        return True
    except (ValueError, zlib.error, struct.error):
        return False


def copy_range(source, out, start, end):
    source.seek(start)
    remaining = end - start
    while remaining > 0:
        chunk = source.read(min(remaining, 1 << 20))
        if not chunk:
            raise ValueError(f"{source.name}: shorter than it was")
        out.write(chunk)
        remaining -= len(chunk)


def bgzf_header(handle, path):
    """The header line of an open BGZF table (without its line end) and the text after it
    in the blocks read to find it; the file is left after those blocks."""
    text = b""
    while b"\n" not in text:
        block = bgzf_block(handle)
        if block is None:
            raise ValueError(f"{path}: no header line")
        text += block[1]
    return text.split(b"\n", 1)


def plain_header(handle, path):
    head = handle.readline()
    if not head.startswith(b"file\t"):
        raise ValueError(f"{path}: first column is not `file`")
    return head


def take_first(path, output, consume):
    """The first table becomes the output: moved there when consumed, else copied."""
    if consume:
        try:
            os.replace(path, output)
            return
        except OSError:  # another file system
            pass
    shutil.copyfile(path, output)
    if consume:
        os.remove(path)


def concatenate_bgzf(inputs, output, consume):
    """The first table as it is but its end-of-file marker; of each other, the blocks up
    to its header's end read and their text after the header written as a new block, the
    rest copied as it is (its end-of-file marker left out); one marker at the very end."""
    with open(inputs[0], "rb") as handle:
        first_header, _ = bgzf_header(handle, inputs[0])
    take_first(inputs[0], output, consume)
    with open(output, "r+b") as out:
        out.seek(0, os.SEEK_END)
        if out.tell() >= len(BGZF_EOF):
            out.seek(-len(BGZF_EOF), os.SEEK_END)
            if out.read() == BGZF_EOF:
                out.seek(-len(BGZF_EOF), os.SEEK_END)
                out.truncate()
        for path in inputs[1:]:
            with open(path, "rb") as handle:
                head, after = bgzf_header(handle, path)
                if head != first_header:
                    raise ValueError("the batch tables have different headers")
                if after:
                    out.write(bgzf_blocks_of(after))
                start, end = handle.tell(), os.fstat(handle.fileno()).st_size
                if end - start >= len(BGZF_EOF):
                    handle.seek(end - len(BGZF_EOF))
                    if handle.read(len(BGZF_EOF)) == BGZF_EOF:
                        end -= len(BGZF_EOF)
                copy_range(handle, out, start, end)
            if consume:
                os.remove(path)
        out.write(BGZF_EOF)


def concatenate_plain(inputs, output, consume):
    """The first table as it is, then each other's rows."""
    with open(inputs[0], "rb") as handle:
        first_header = plain_header(handle, inputs[0])
    take_first(inputs[0], output, consume)
    with open(output, "ab") as out:
        for path in inputs[1:]:
            with open(path, "rb") as handle:
                if plain_header(handle, path) != first_header:
                    raise ValueError("the batch tables have different headers")
                shutil.copyfileobj(handle, out, 1 << 20)
            if consume:
                os.remove(path)


def concatenable(batch_samples, order):
    """The batches in order of their first samples when that order concatenates them
    into the sample order, else None."""
    rank = {name: position for position, name in enumerate(order)}
    ranked = sorted(range(len(batch_samples)), key=lambda i: rank[batch_samples[i][0]])
    joined = [name for i in ranked for name in batch_samples[i]]
    return ranked if joined == list(order) else None


def merge(inputs, output, order, batch_samples=None, consume=False):
    """batch_samples: each input's samples, in order (None: merge line by line). consume:
    where the tables are concatenated, the first becomes the output and each other is
    removed once joined, so that the disk holds the rows once (not twice) at any time."""
    ranked = concatenable(batch_samples, order) if batch_samples else None
    compressed = output.endswith(".gz")
    if ranked is not None and (not compressed or all(is_bgzf(p) for p in inputs)):
        (concatenate_bgzf if compressed else concatenate_plain)(
            [inputs[i] for i in ranked], output, consume)
    else:
        merge_lines(inputs, output, order)


if "snakemake" in globals():
    # The batch tables are temporary: each goes as soon as it is joined.
    merge(list(snakemake.input), snakemake.output[0], list(snakemake.params.order),  # noqa: F821
          [list(s) for s in snakemake.params.batch_samples], consume=True)  # noqa: F821
elif __name__ == "__main__":
    # merge_tables.py OUTPUT ORDER_FILE INPUT... (ORDER_FILE: one sample name a line)
    with open(sys.argv[2]) as names:
        merge(sys.argv[3:], sys.argv[1], [n.rstrip("\n") for n in names])
