"""MultiQC custom content from the merged genome summary (genomes are MultiQC's samples).

Writes the general statistics (one row per genome of the summary, in its order: genes,
the median excess, ENC, GC3s and, with a reference, the median CAI, Fop and adaptation
and the reference's genes, sign statistic and agreement of starts) and a scatter of the
genomes, median ENC against GC3s with Wright's expected curve, drawn as an SVG section
that needs no script: it reads the same offline and under `multiqc --flat`, and a dot
names its genome on hover (its <title>). MultiQC finds both by their *_mqc.tsv and
*_mqc.html names: `multiqc OUTDIR/multiqc`. Reads only the summary, a row per genome.
"""
import csv
import gzip
import html
import io
import math
import sys

import yaml

# (summary column, title, description, format, scale); one General Statistics column each,
# those of the reference only when the summary has them. The summary's other columns
# (codons, the average and median score, GC3, ...) stay in genomes.tsv: each column
# shown costs MultiQC about 1 MB of memory per 1,000 genomes.
STATS = [
    ("sequences", "Genes", "Sequences read", "{:,.0f}", "Blues"),
    ("median_excess", "Excess", "Median excess over the expected score", "{:,.4f}", "PuOr"),
    ("median_enc", "ENC", "Median effective number of codons", "{:,.2f}", "RdYlBu"),
    ("gc", "GC", "GC of the counted codons", "{:,.3f}", "Purples"),
    ("gc3s", "GC3s", "GC at synonymous third positions", "{:,.3f}", "Purples"),
    ("internal_stop_sequences", "Int. stops", "Sequences with internal stop codons",
     "{:,.0f}", "Reds"),
    ("median_cai", "CAI", "Median codon adaptation index against the reference", "{:,.3f}",
     "YlGn"),
    ("median_fop", "Fop", "Median frequency of optimal codons", "{:,.3f}", "YlGn"),
    ("median_adaptation", "Adaptation", "Median adaptation to the reference's codons",
     "{:,.4f}", "PuOr"),
    ("reference_genes", "Ref. genes", "Genes of the reference set", "{:,.0f}", "Blues"),
    ("reference_s", "Ref. s", "The reference's sign statistic (positive: as highly expressed "
     "genes)", "{:,.2f}", "RdYlGn"),
    ("starts_agree", "Starts agree", "Share of genes the references found from two starts "
     "share", "{:,.2f}", "RdYlGn"),
]

# The scatter's frame (SVG user units), axes and dots.
WIDTH, HEIGHT = 760, 440
LEFT, RIGHT, TOP, BOTTOM = 60, 20, 16, 48
DOT_RADIUS, DOT_OPACITY = 2.2, 0.45


def number(text):
    try:
        value = float(text)
    except (TypeError, ValueError):
        return None
    return value if math.isfinite(value) else None


def read_summary(path):
    raw = gzip.open(path, "rb") if path.endswith(".gz") else open(path, "rb")
    with io.TextIOWrapper(raw, encoding="utf-8", newline="") as handle:
        return list(csv.DictReader(handle, delimiter="\t", quoting=csv.QUOTE_NONE))


def write_stats(rows, path):
    columns = [c for c in STATS if rows and c[0] in rows[0]]
    pconfig = []
    for key, title, description, fmt, scale in columns:
        pconfig.append({key: {"title": title, "description": description, "format": fmt,
                              "scale": scale}})
    header = yaml.safe_dump({"id": "trelba", "section_name": "Trelba",
                             "description": "Synonymous codon usage per genome (Trelba).",
                             "plot_type": "generalstats", "pconfig": pconfig},
                            sort_keys=False, width=1000)
    with open(path, "w") as out:
        out.writelines(f"# {line}\n" for line in header.splitlines())
        out.write("\t".join(["Sample"] + [c[0] for c in columns]) + "\n")
        for row in rows:
            cells = [row["file"]]
            for key, *_ in columns:
                cells.append(row[key] if number(row[key]) is not None else "")
            out.write("\t".join(cells) + "\n")


def expected_enc(gc3s):
    """Wright's (1990) ENC of a genome whose codon usage is set by GC3s alone."""
    return 2 + gc3s + 29 / (gc3s ** 2 + (1 - gc3s) ** 2)


def scatter_svg(points, enc_top):
    """The SVG of (name, gc3s, enc) points on GC3s 0 to 1 and ENC 20 to enc_top."""
    plot_width, plot_height = WIDTH - LEFT - RIGHT, HEIGHT - TOP - BOTTOM

    def x(gc3s):
        return LEFT + gc3s * plot_width

    def y(enc):
        return TOP + (enc_top - min(max(enc, 20), enc_top)) / (enc_top - 20) * plot_height

    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 {WIDTH} {HEIGHT}" '
             f'style="max-width:{WIDTH}px;width:100%;font:12px sans-serif">',
             f'<rect x="{LEFT}" y="{TOP}" width="{plot_width}" height="{plot_height}" '
             'fill="none" stroke="#999"/>']
    for tick in range(0, 11, 2):
        at = x(tick / 10)
        parts.append(f'<line x1="{at:.1f}" y1="{TOP + plot_height}" x2="{at:.1f}" '
                     f'y2="{TOP + plot_height + 5}" stroke="#999"/><text x="{at:.1f}" '
                     f'y="{TOP + plot_height + 18}" text-anchor="middle">{tick / 10:g}</text>')
    for tick in range(20, int(enc_top) + 1, 10):
        at = y(tick)
        parts.append(f'<line x1="{LEFT - 5}" y1="{at:.1f}" x2="{LEFT}" y2="{at:.1f}" '
                     f'stroke="#999"/><text x="{LEFT - 8}" y="{at + 4:.1f}" '
                     f'text-anchor="end">{tick}</text>')
    parts.append(f'<text x="{LEFT + plot_width / 2}" y="{HEIGHT - 8}" text-anchor="middle">'
                 'GC3s (genome)</text>')
    parts.append(f'<text transform="translate(14 {TOP + plot_height / 2}) rotate(-90)" '
                 'text-anchor="middle">median ENC</text>')
    curve = " ".join(f"{x(s / 100):.1f},{y(expected_enc(s / 100)):.1f}" for s in range(101))
    parts.append(f'<polyline points="{curve}" fill="none" stroke="#d62728" '
                 'stroke-width="1.5"><title>Expected ENC from GC3s alone (Wright 1990)'
                 '</title></polyline>')
    parts.append(f'<line x1="{LEFT + 12}" y1="{TOP + 14}" x2="{LEFT + 36}" y2="{TOP + 14}" '
                 f'stroke="#d62728" stroke-width="1.5"/><text x="{LEFT + 42}" y="{TOP + 18}">'
                 'expected from GC3s alone (Wright 1990)</text>')
    parts.append(f'<g fill="#1f77b4" fill-opacity="{DOT_OPACITY}">')
    for name, gc3s, enc in points:
        parts.append(f'<circle cx="{x(gc3s):.1f}" cy="{y(enc):.1f}" r="{DOT_RADIUS}">'
                     f'<title>{html.escape(name)}: ENC {enc:g}, GC3s {gc3s:g}</title>'
                     '</circle>')
    parts.append("</g></svg>")
    return "\n".join(parts)


def write_scatter(rows, path):
    points = [(row["file"], number(row.get("gc3s")), number(row.get("median_enc")))
              for row in rows]
    drawn = [p for p in points if p[1] is not None and p[2] is not None]
    left_out = len(points) - len(drawn)
    enc_top = max([61.0] + [math.ceil(p[2]) for p in drawn])
    description = (f"One dot a genome ({len(drawn):,} drawn"
                   + (f"; {left_out:,} without a median ENC or GC3s left out" if left_out
                      else "")
                   + "): below the red curve, codon usage more uneven than GC3s alone "
                   "would make it. Hover over a dot for its genome.")
    with open(path, "w", encoding="utf-8") as out:
        out.write("<!--\nid: 'trelba_enc_gc3s'\nsection_name: 'Trelba: ENC against GC3s'\n"
                  f"description: '{description}'\n-->\n")
        out.write(scatter_svg(drawn, enc_top) + "\n")


def main(summary, stats_path, scatter_path):
    rows = read_summary(summary)
    write_stats(rows, stats_path)
    write_scatter(rows, scatter_path)


if "snakemake" in globals():
    main(snakemake.input.summary, snakemake.output.stats,  # noqa: F821
         snakemake.output.scatter)  # noqa: F821
elif __name__ == "__main__":
    # multiqc_content.py SUMMARY STATS_MQC_TSV SCATTER_MQC_HTML
    main(*sys.argv[1:4])
