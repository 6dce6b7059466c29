"""Merges batch tables (gene tables or genome summaries) into one.

Each input is a tab-separated table with one header row whose first column is `file`
(the sample name); within a batch, rows come in sample order. The output has the header
once and every row in the workflow's sample order (rows of one sample in their own
order), so its bytes do not depend on how the samples were batched. Streams: memory
does not grow with the tables. An output name ending in .gz is gzip-compressed with no
name and no time in its header.
"""
import gzip
import heapq
import sys


def open_output(path):
    if path.endswith(".gz"):
        raw = open(path, "wb")
        return gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=0), raw
    return open(path, "wb"), None


def rows(path, rank):
    """(sample rank, line) for every data row of one table."""
    with open(path, "rb") as handle:
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
    with open(path, "rb") as handle:
        line = handle.readline()
    if not line.startswith(b"file\t"):
        raise ValueError(f"{path}: first column is not `file`")
    return line


def merge(inputs, output, order):
    rank = {name: position for position, name in enumerate(order)}
    headers = {header(path) for path in inputs}
    if len(headers) != 1:
        raise ValueError("the batch tables have different headers")
    out, raw = open_output(output)
    try:
        out.write(headers.pop())
        for _, line in heapq.merge(*(rows(path, rank) for path in inputs), key=lambda r: r[0]):
            out.write(line)
    finally:
        out.close()
        if raw:
            raw.close()


if __name__ == "__main__" and "snakemake" not in globals():
    # merge_tables.py OUTPUT ORDER_FILE INPUT... (ORDER_FILE: one sample name a line)
    with open(sys.argv[2]) as names:
        merge(sys.argv[3:], sys.argv[1], [n.rstrip("\n") for n in names])
elif "snakemake" in globals():
    merge(list(snakemake.input), snakemake.output[0], list(snakemake.params.order))  # noqa: F821
