#!/usr/bin/env bash
# The workflow's MultiQC content (workflow/scripts/multiqc_content.py) from a genome summary
# of 60 genomes with a reference's columns, one genome without a median ENC: MultiQC 1.14,
# run with --flat as README says for a page that must work offline, must show every genome
# in General Statistics with its median ENC, GC3s, CAI, Fop and adaptation; and its page,
# opened in headless Chromium with no network, must show the ENC-GC3s scatter as drawn
# SVG: one dot per genome that has both values, each naming its genome on hover (<title>).
# Usage: tests/workflow/check-multiqc.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

/usr/bin/python3 - <<'PY'
header = ("file status sequences codons average median_score median_excess gc gc3 "
          "internal_stop_sequences partial_sequences comment_lines inline_headers message "
          "median_enc gc3s reference reference_genes reference_rounds reference_s "
          "starts_agree median_cai median_fop median_adaptation").split()
with open("genomes.tsv", "w") as out:
    out.write("\t".join(header) + "\n")
    for k in range(60):
        gc3s = 0.1 + k * 0.013
        enc = "NA" if k == 7 else f"{2 + gc3s + 29 / (gc3s ** 2 + (1 - gc3s) ** 2) - k % 9:.4f}"
        row = [f"genome{k:02d}", "ok", str(900 + k), str(300000 + k), "0.3", "0.25", "0.1",
               "0.5", "0.5", "0", "0", "0", "0", "", enc, f"{gc3s:.4f}", "auto:A", "20", "3",
               f"{k / 10 - 1:.2f}", "0.9", f"{0.6 + k / 300:.3f}", "0.5", f"{k / 600:.4f}"]
        out.write("\t".join(row) + "\n")
PY
mkdir content
python3 "$root/workflow/scripts/multiqc_content.py" genomes.tsv content/trelba_genomes_mqc.tsv \
  content/trelba_enc_gc3s_mqc.html
multiqc --quiet --force --flat --outdir report content >multiqc.log 2>&1 || { cat multiqc.log >&2; exit 1; }
/usr/bin/python3 - report/multiqc_data/multiqc_general_stats.txt genomes.tsv <<'PY'
import csv, sys
stats, summary = (list(csv.DictReader(open(p), delimiter="\t")) for p in sys.argv[1:])
shown = {row["Sample"]: row for row in stats}
assert sorted(shown) == sorted(r["file"] for r in summary), "General Statistics lack genomes"
for column in ("median_enc", "gc3s", "median_cai", "median_fop", "median_adaptation",
               "reference_s"):
    found = [c for c in stats[0] if c.endswith(column)]
    assert found, f"General Statistics have no {column} column: {list(stats[0])}"
    for row in summary:
        value = shown[row["file"]][found[0]]
        assert (value or "NA") == row[column] or float(value) == float(row[column]), \
            f"{row['file']} {column}: {value} in MultiQC, {row[column]} in the summary"
print(f"MultiQC --flat: General Statistics hold every genome ({len(stats)}) and its values")
PY

# No network for the page: every host name fails to resolve.
chromium --headless --no-sandbox --disable-gpu --host-resolver-rules="MAP * ~NOTFOUND" \
  --virtual-time-budget=10000 --dump-dom "file://$work/report/multiqc_report.html" \
  >dom.html 2>/dev/null
/usr/bin/python3 - dom.html genomes.tsv <<'PY'
import csv, html, re, sys
dom = open(sys.argv[1], encoding="utf-8").read()
summary = list(csv.DictReader(open(sys.argv[2]), delimiter="\t"))
section = re.search(r'id="trelba_enc_gc3s".*?(<svg.*?</svg>)', dom, re.S)
assert section, "the page has no ENC-GC3s scatter"
titles = [html.unescape(t) for t in re.findall(r"<circle[^>]*><title>(.*?)</title>",
                                               section.group(1))]
expected = sorted(r["file"] for r in summary if r["median_enc"] != "NA")
assert sorted(t.split(":")[0] for t in titles) == expected, f"dots: {titles[:3]}..."
print(f"Chromium, offline: the ENC-GC3s scatter draws {len(titles)} dots, each named after "
      "its genome (the genome without a median ENC left out)")
PY
