"""MultiQC custom content from the merged genome summary and gene table.

Writes a general statistics table (one row per sample of the summary, in its order) and
two line graphs in which every genome (sample) is one series, named after it: the
distribution of its genes' scores, and of their excess over the expected score (the
share of the genome's scored genes in each bin, in per cent). Genomes, not genes, are
MultiQC's samples, so the graphs are drawn as the page opens (as a static image past
100 genomes). MultiQC finds the files by their *_mqc.tsv /
*_mqc.yaml names: `multiqc OUTDIR/multiqc`. Memory holds the bins of every genome, not
the genes.
"""
import csv
import math
import sys

import yaml

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

# (gene table column, section, lowest and highest value binned, x-axis label); one line
# graph each. A score lies in [0, 1]; an excess (score less expected score) in [-1, 1].
DISTRIBUTIONS = [
    ("score", "score", 0.0, 1.0, "Score"),
    ("excess", "excess", -1.0, 1.0, "Excess over the expected score"),
]


def number(text):
    try:
        value = float(text)
    except (TypeError, ValueError):
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


def count_bins(genes, bins):
    """{column: {sample: [count per bin]}} for every column of DISTRIBUTIONS, samples in
    table order; a value outside its range goes into the nearest end bin."""
    counts = {column: {} for column, *_ in DISTRIBUTIONS}
    for row in read_table(genes):
        for column, _, low, high, _ in DISTRIBUTIONS:
            value = number(row.get(column))
            per_sample = counts[column].setdefault(row["file"], [0] * bins)
            if value is not None:
                index = math.floor((value - low) / (high - low) * bins)
                per_sample[min(max(index, 0), bins - 1)] += 1
    return counts


def distribution(per_sample, low, high, bins):
    """{sample: {bin centre: per cent of the sample's values}}, bins from the first to the
    last that any sample fills (every sample has a point in each)."""
    filled = [i for i in range(bins) if any(c[i] for c in per_sample.values())]
    if not filled:
        return {}
    width = (high - low) / bins
    data = {}
    for sample, counts in per_sample.items():
        total = sum(counts)
        if total:
            data[sample] = {round(low + (i + 0.5) * width, 6): round(100 * counts[i] / total, 4)
                            for i in range(filled[0], filled[-1] + 1)}
    return data


def write_distribution(per_sample, section, low, high, xlab, bins, path):
    content = {
        "id": f"trelba_{section}_distribution",
        "section_name": f"Trelba: {section} distribution",
        "description": f"Share of each genome's genes by {xlab.lower()} "
                       f"({bins} bins from {low:g} to {high:g}); one line per genome.",
        "plot_type": "linegraph",
        "pconfig": {"id": f"trelba_{section}_distribution_plot",
                    "title": f"Trelba: {section} distribution",
                    "xlab": xlab, "ylab": "% of genes", "ymin": 0,
                    "tt_label": "<b>{point.x:.3f}</b>: {point.y:.2f}%"},
        "data": distribution(per_sample, low, high, bins),
    }
    # YAML, not JSON: the bins' keys must stay numbers for MultiQC to order them.
    with open(path, "w") as out:
        yaml.safe_dump(content, out, sort_keys=False, default_flow_style=None, width=1000)


def main(summary, genes, stats_path, distribution_paths, bins):
    write_stats(summary, stats_path)
    counts = count_bins(genes, bins)
    for (column, section, low, high, xlab), path in zip(DISTRIBUTIONS, distribution_paths):
        write_distribution(counts[column], section, low, high, xlab, bins, path)


if "snakemake" in globals():
    main(snakemake.input.summary, snakemake.input.genes, snakemake.output.stats,  # noqa: F821
         [snakemake.output.scores, snakemake.output.excess],  # noqa: F821
         int(snakemake.params.bins))  # noqa: F821
elif __name__ == "__main__":
    # multiqc_content.py SUMMARY GENES STATS_MQC_TSV SCORES_MQC_YAML EXCESS_MQC_YAML [BINS]
    main(*sys.argv[1:4], sys.argv[4:6], int(sys.argv[6]) if len(sys.argv) > 6 else 50)
