#!/usr/bin/env bash
# The workflow's merge and MultiQC steps on hand-made batch outputs (no program needed):
# the merged gene table and summary must have the same bytes for one batch and for
# three batches of the same samples; MultiQC 1.14 must show every sample of the merged
# summary in its general statistics and draw the score-versus-length plot.
set -euo pipefail
scripts=$(cd "$(dirname "$0")/../../workflow/scripts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
summary_header=$'file\tstatus\tsequences\tcodons\taverage\tmedian_score\tmedian_excess\tgc\tgc3\tinternal_stop_sequences\tpartial_sequences\tcomment_lines\tinline_headers\tmessage'
genes_header=$'file\tseq\tid\tcodons\tscore'
printf '%s\n' alpha beta gamma delta >order.txt
summary_row() { printf '%s\tok\t%s\t%s\t%s\t%s\tNA\t0.51\t0.62\t0\t0\t0\t0\t\n' "$@"; }
gene_rows() { for i in $(seq "$2"); do printf '%s\t%d\tg%d\t%d\t0.%d\n' "$1" "$i" "$i" $((100 * i)) $((i + 1)); done; }
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

mkdir content
python3 "$scripts/multiqc_content.py" one_summary.merged one_genes.merged \
  content/trelba_genomes_mqc.tsv content/trelba_score_length_mqc.yaml 2
multiqc --quiet --force --outdir report content >multiqc.log 2>&1 || { cat multiqc.log >&2; exit 1; }
stats=report/multiqc_data/multiqc_general_stats.txt
[ "$(tail -n +2 "$stats" | cut -f1 | sort)" = "$(sort order.txt)" ] ||
  { echo "MultiQC's general statistics do not hold every sample:" >&2; cat "$stats" >&2; exit 1; }
grep -q trelba_score_length_plot report/multiqc_report.html
# At most 2 genes per sample: every gene of beta and gamma, every other one of alpha, delta.
points=report/multiqc_data/multiqc_trelba_score_length_plot.txt
for sample in alpha beta gamma delta; do grep -q "^$sample #" "$points" || grep -q "$sample #" "$points"; done
echo "MultiQC: general statistics hold every sample ($(tail -n +2 "$stats" | wc -l)), score-versus-length plot drawn"
