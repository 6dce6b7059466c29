#!/usr/bin/env bash
# The workflow's merge and MultiQC steps on hand-made batch outputs (no program needed):
# the merged gene table and summary must have the same bytes for one batch and for
# three batches of the same samples; MultiQC 1.14 must show every sample of the merged
# summary in its general statistics; and its report, opened in headless Chromium, must
# draw the score and excess distributions with one named line per genome, by default
# (60 genomes of 5 to 14 genes each: more genomes than MultiQC draws at once as samples,
# more genes than it would).
# Debian's MultiQC loads Highcharts, lz-string and the toast plugin from the network and
# clipboard.js 1 from a path no Debian package fills; the copy of the report opened here
# loads them from npm's packages in JS_DIR (installed there with npm when missing) and
# FileSaver from Debian's libjs-filesaver.
# Usage: tests/workflow/check-multiqc.sh [JS_DIR]   (default build/multiqc-js)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scripts=$root/workflow/scripts
js=$(mkdir -p "${1:-$root/build/multiqc-js}" && cd "${1:-$root/build/multiqc-js}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
summary_header=$'file\tstatus\tsequences\tcodons\taverage\tmedian_score\tmedian_excess\tgc\tgc3\tinternal_stop_sequences\tpartial_sequences\tcomment_lines\tinline_headers\tmessage'
genes_header=$'file\tseq\tid\tcodons\tscore\texcess'
printf '%s\n' alpha beta gamma delta >order.txt
summary_row() { printf '%s\tok\t%s\t%s\t%s\t%s\tNA\t0.51\t0.62\t0\t0\t0\t0\t\n' "$@"; }
gene_rows() { for i in $(seq "$2"); do printf '%s\t%d\tg%d\t%d\t0.%d\t0.0%d\n' "$1" "$i" "$i" $((100 * i)) $((i + 1)) "$i"; done; }
# One batch of all four samples (in sample order), and three batches: {beta}, {alpha,
# gamma} (say, another genetic code) and {delta}.
{ echo "$summary_header"; summary_row alpha 3 600 0.3 0.31; summary_row beta 2 300 0.2 0.21
  summary_row gamma 1 100 0.1 0.11; summary_row delta 4 1000 0.4 0.41; } >one_summary.tsv
{ echo "$genes_header"; gene_rows alpha 3; gene_rows beta 2; gene_rows gamma 1; gene_rows delta 4; } >one_genes.tsv
{ echo "$summary_header"; summary_row beta 2 300 0.2 0.21; } >b1_summary.tsv
{ echo "$summary_header"; summary_row alpha 3 600 0.3 0.31; summary_row gamma 1 100 0.1 0.11; } >b2_summary.tsv
{ echo "$summary_header"; summary_row delta 4 1000 0.4 0.41; } >b3_summary.tsv
{ echo "$genes_header"; gene_rows beta 2; } >b1_genes.tsv
{ echo "$genes_header"; gene_rows alpha 3; gene_rows gamma 1; } >b2_genes.tsv
{ echo "$genes_header"; gene_rows delta 4; } >b3_genes.tsv

for table in summary genes; do
  python3 "$scripts/merge_tables.py" "one_$table.merged" order.txt "one_$table.tsv"
  python3 "$scripts/merge_tables.py" "three_$table.merged" order.txt b{3,1,2}_"$table".tsv
  cmp "one_$table.merged" "three_$table.merged"
  cmp "one_$table.merged" "one_$table.tsv"
  python3 "$scripts/merge_tables.py" "three_$table.merged.gz" order.txt b{1,2,3}_"$table".tsv
  gzip -dc "three_$table.merged.gz" | cmp - "one_$table.tsv"
done
# A batch whose rows break the sample order, or name a sample not in it, is refused.
! python3 "$scripts/merge_tables.py" bad.tsv <(printf '%s\n' gamma alpha) b2_genes.tsv 2>/dev/null
! python3 "$scripts/merge_tables.py" bad.tsv <(printf '%s\n' alpha) b2_genes.tsv 2>/dev/null
echo "merge: one batch and three batches give the same bytes"

# 60 genomes, genome k with 5 + k % 10 genes of scores and excesses spread by k.
{ echo "$summary_header"
  for k in $(seq 60); do summary_row "genome$k" $((5 + k % 10)) 900 0.3 0.31; done; } >many_summary.tsv
{ echo "$genes_header"
  for k in $(seq 60); do for i in $(seq $((5 + k % 10))); do
    printf 'genome%d\t%d\tg%d\t300\t%s\t%s\n' "$k" "$i" "$i" \
      "$(awk -v k="$k" -v i="$i" 'BEGIN { printf "%.4f", (k * 7 + i * 13) % 100 / 100 }')" \
      "$(awk -v k="$k" -v i="$i" 'BEGIN { printf "%.4f", ((k + i * 3) % 80 - 40) / 100 }')"
  done; done; } >many_genes.tsv
mkdir content
python3 "$scripts/multiqc_content.py" many_summary.tsv many_genes.tsv content/trelba_genomes_mqc.tsv \
  content/trelba_score_distribution_mqc.yaml content/trelba_excess_distribution_mqc.yaml
multiqc --quiet --force --outdir report content >multiqc.log 2>&1 || { cat multiqc.log >&2; exit 1; }
stats=report/multiqc_data/multiqc_general_stats.txt
[ "$(tail -n +2 "$stats" | cut -f1 | sort)" = "$(tail -n +2 many_summary.tsv | cut -f1 | sort)" ] ||
  { echo "MultiQC's general statistics do not hold every sample:" >&2; cat "$stats" >&2; exit 1; }
echo "MultiQC: general statistics hold every sample ($(tail -n +2 "$stats" | wc -l))"

# The page's scripts, from npm (versions MultiQC 1.14's page works with) and Debian.
packages=(highcharts@9.3.3 lz-string@1.4.4 jquery-toast-plugin@1.3.2 clipboard@1.7.1)
[ -f "$js/node_modules/highcharts/highcharts.js" ] && [ -f "$js/node_modules/lz-string/libs/lz-string.min.js" ] &&
  [ -f "$js/node_modules/jquery-toast-plugin/dist/jquery.toast.min.js" ] &&
  [ -f "$js/node_modules/clipboard/dist/clipboard.min.js" ] ||
  npm install --silent --no-audit --no-fund --no-save --prefix "$js" "${packages[@]}" >/dev/null
modules=$js/node_modules
/usr/bin/python3 - report/multiqc_report.html page.html "$modules" <<'PY'
import re, sys
report, page, modules = sys.argv[1:]
local = {
    "https://code.highcharts.com/highcharts.js": "highcharts/highcharts.js",
    "https://code.highcharts.com/highcharts.heatmap.js": "highcharts/modules/heatmap.js",
    "https://code.highcharts.com/highcharts.exporting.js": "highcharts/modules/exporting.js",
    "https://code.highcharts.com/highcharts.offline-exporting.js": "highcharts/modules/offline-exporting.js",
    "https://code.highcharts.com/highcharts.export-csv.js": "highcharts/modules/export-data.js",
    "https://cdnjs.cloudflare.com/ajax/libs/lz-string/1.4.4/lz-string.min.js": "lz-string/libs/lz-string.min.js",
    "https://cdnjs.cloudflare.com/ajax/libs/jquery-toast-plugin/1.3.2/jquery.toast.min.js": "jquery-toast-plugin/dist/jquery.toast.min.js",
    "file:///usr/share/javascript/clipboard.js": "clipboard/dist/clipboard.min.js",
}
text = open(report, encoding="utf-8").read()
for remote, path in local.items():
    text = text.replace(f'src="{remote}"', f'src="file://{modules}/{path}"')
text = re.sub(r'src="https://cdnjs\.cloudflare\.com/ajax/libs/FileSaver\.js/[^"]*"',
              'src="file:///usr/share/javascript/filesaver/FileSaver.min.js"', text)
left = re.findall(r'<script src="(https?://[^"]*)"', text)
if left:
    sys.exit(f"scripts still loaded from the network: {left}")
# Once the page has drawn its plots: every chart's series, their names and drawn points,
# and any script error, into the page for --dump-dom.
probe = """<script>
var trelbaErrors = [];
window.addEventListener("error", function (e) { trelbaErrors.push(String(e.message)); });
window.addEventListener("load", function () { setTimeout(function () {
  var charts = {};
  (window.Highcharts ? Highcharts.charts : []).forEach(function (c) {
    if (c) charts[c.renderTo.id] = c.series.map(function (s) {
      return {name: s.name, visible: s.visible, points: s.points.length,
              drawn: !!(s.graph && s.graph.element.getAttribute("d"))}; });
  });
  var out = document.createElement("pre");
  out.id = "trelba-probe";
  out.textContent = JSON.stringify({charts: charts, errors: trelbaErrors});
  document.body.appendChild(out);
}, 3000); });
</script>"""
open(page, "w", encoding="utf-8").write(text.replace("</head>", probe + "</head>", 1))
PY
chromium --headless --no-sandbox --disable-gpu --allow-file-access-from-files \
  --virtual-time-budget=20000 --dump-dom "file://$work/page.html" >dom.html 2>/dev/null
/usr/bin/python3 - dom.html many_genes.tsv <<'PY'
import csv, html, json, re, sys
dom, genes = sys.argv[1:]
match = re.search(r'<pre id="trelba-probe">(.*?)</pre>', open(dom, encoding="utf-8").read(), re.S)
if not match:
    sys.exit("the report's page never finished loading (no probe output)")
probe = json.loads(html.unescape(match.group(1)))
if probe["errors"]:
    sys.exit(f"script errors on the page: {probe['errors']}")
genomes = sorted({row["file"] for row in csv.DictReader(open(genes), delimiter="\t")})
for plot in ("trelba_score_distribution_plot", "trelba_excess_distribution_plot"):
    series = probe["charts"].get(plot)
    if not series:
        sys.exit(f"{plot}: not drawn (charts drawn: {sorted(probe['charts'])})")
    names = sorted(s["name"] for s in series)
    if names != genomes:
        sys.exit(f"{plot}: series {names[:5]}... are not the {len(genomes)} genomes")
    undrawn = [s["name"] for s in series if not (s["visible"] and s["points"] and s["drawn"])]
    if undrawn:
        sys.exit(f"{plot}: series without a drawn line: {undrawn[:5]}")
    print(f"{plot}: {len(series)} lines drawn, each named after its genome")
PY
