"""MultiQC custom content from the merged genome summary and gene table.

Writes a general statistics table (one row per sample of the summary, in its order) and
a scatter plot of gene score against gene length in codons (every k-th gene of each
sample, at most max_genes per sample; 0 = every gene). MultiQC finds both by their
*_mqc.tsv / *_mqc.yaml names: `multiqc OUTDIR/multiqc`.
"""
import csv
import json
import math
import sys

# (summary column, title, description, format, scale); one row per column shown.
STATS = [
    ("sequences", "Genes", "Sequences read", "{:,.0f}", "Blues"),
    ("codons", "Codons", "Codons counted", "{:,.0f}", "Greens"),
    ("average", "Average", "Average of the positive scores (.ok)", "{:,.4f}", "RdYlGn"),
    ("median_score", "Median", "Median score", "{:,.4f}", "RdYlGn"),
    ("median_excess", "Excess", "Median excess over the expected score", "{:,.4f}", "PuOr"),
    ("gc", "GC", "GC of the counted codons", "{:,.3f}", "Purples"),
    ("gc3", "GC3", "GC at third codon positions", "{:,.3f}", "Purples"),
    ("internal_stop_sequences", "Int. stops", "Sequences with internal stop codons",
     "{:,.0f}", "Reds"),
]


def number(text):
    try:
        value = float(text)
    except ValueError:
        return None
    return value if math.isfinite(value) else None


def read_table(path):
    with open(path, newline="") as handle:
        yield from csv.DictReader(handle, delimiter="\t", quoting=csv.QUOTE_NONE)


def write_stats(summary, path):
    rows = list(read_table(summary))
    columns = [c for c in STATS if rows and c[0] in rows[0]]
    with open(path, "w") as out:
        out.write("# id: 'trelba'\n# section_name: 'Trelba'\n")
        out.write("# description: 'Synonymous codon order per genome (Trelba).'\n")
        out.write("# plot_type: 'generalstats'\n# pconfig:\n")
        for key, title, description, fmt, scale in columns:
            out.write(f"#     - {key}:\n#         title: '{title}'\n"
                      f"#         description: '{description}'\n"
                      f"#         format: '{fmt}'\n#         scale: '{scale}'\n")
        out.write("\t".join(["Sample"] + [c[0] for c in columns]) + "\n")
        for row in rows:
            cells = [row["file"]]
            for key, *_ in columns:
                value = number(row[key])
                cells.append("" if value is None else row[key])
            out.write("\t".join(cells) + "\n")
    return {row["file"]: int(number(row.get("sequences", "")) or 0) for row in rows}


# Point colours, one per sample in turn.
PALETTE = ["#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd", "#8c564b", "#e377c2",
           "#7f7f7f", "#bcbd22", "#17becf"]


def write_scatter(genes, sizes, max_genes, path):
    # MultiQC 1.14's custom content takes one point per data key (a list of points per
    # sample fails its x-axis coercion), so each gene is its own key, "SAMPLE #SEQ",
    # coloured by its sample.
    colours = {name: PALETTE[i % len(PALETTE)] for i, name in enumerate(sizes)}
    points = {}
    seen = {}
    for row in read_table(genes):
        name = row["file"]
        index = seen.get(name, 0)
        seen[name] = index + 1
        step = 1 if max_genes <= 0 else max(1, math.ceil(sizes.get(name, 0) / max_genes))
        if index % step:
            continue
        x, y = number(row["codons"]), number(row["score"])
        if x is not None and y is not None:
            points[f"{name} #{row['seq']}"] = {"x": x, "y": y,
                                               "color": colours.get(name, PALETTE[0])}
    content = {
        "id": "trelba_score_length",
        "section_name": "Trelba: score versus length",
        "description": "Score of each gene against its length in codons"
                       + ("" if max_genes <= 0 else f" (at most {max_genes} genes per sample)")
                       + ", one colour per sample.",
        "plot_type": "scatter",
        "pconfig": {"id": "trelba_score_length_plot", "title": "Trelba: score versus length",
                    "xlab": "Codons", "ylab": "Score", "ymin": 0, "ymax": 1},
        "data": points,
    }
    with open(path, "w") as out:
        json.dump(content, out, separators=(",", ":"))  # JSON is YAML: MultiQC reads it
        out.write("\n")


def main(summary, genes, stats_path, scatter_path, max_genes):
    sizes = write_stats(summary, stats_path)
    write_scatter(genes, sizes, max_genes, scatter_path)


if "snakemake" in globals():
    main(snakemake.input.summary, snakemake.input.genes, snakemake.output.stats,  # noqa: F821
         snakemake.output.scatter, int(snakemake.params.max_genes))  # noqa: F821
elif __name__ == "__main__":
    # multiqc_content.py SUMMARY GENES STATS_MQC_TSV SCATTER_MQC_YAML [MAX_GENES]
    main(*sys.argv[1:5], int(sys.argv[5]) if len(sys.argv) > 5 else 1000)
