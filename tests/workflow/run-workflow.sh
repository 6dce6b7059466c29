#!/usr/bin/env bash
# The workflow end to end on the real CDS files of tests/data/real: locally with one
# genome per job and with three, then through a single-node SLURM cluster started here
# (and stopped at the end, whatever happens); every run's merged gene table and genome
# summary must equal, byte for byte, one direct run of the program over all genomes.
# Needs the many-input command line (--summary, --file-column, --infile-list).
# Usage: tests/workflow/run-workflow.sh [TRELBA]   (default build/Trelba)
#   TRELBA_WORKFLOW_SHIM=1: run tests/workflow/collection-shim.sh in the program's place
#   (for the plumbing alone, before the program has that command line).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
program=$(realpath "${1:-$root/build/Trelba}")
trelba=$program
if [ "${TRELBA_WORKFLOW_SHIM:-0}" = 1 ]; then
  export TRELBA=$program
  trelba=$root/tests/workflow/collection-shim.sh
fi
work=$(mktemp -d)
cluster=$work/slurm
trap '"$root/tests/slurm/stop-cluster.sh" "$cluster"; rm -rf "$work"' EXIT
seconds() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# The sample sheet: every real CDS file, one gzip-compressed, in a fixed order.
mkdir -p "$work/genomes"
printf 'sample\tpath\n' >"$work/samples.tsv"
for path in "$root"/tests/data/real/*.f*; do
  name=$(basename "${path%.*}" | tr -c 'A-Za-z0-9._+\n-' _)
  printf '%s\t%s\n' "$name" "$path" >>"$work/samples.tsv"
done
first=$(sed -n 2p "$work/samples.tsv" | cut -f2)
gzip -9nc "$first" >"$work/genomes/first.fna.gz"
sed -i "2s|\t.*|\t$work/genomes/first.fna.gz|" "$work/samples.tsv"

# The direct run: every genome in sheet order, through links named after the samples.
mkdir -p "$work/direct/inputs"
tail -n +2 "$work/samples.tsv" | while IFS=$'\t' read -r name path; do
  ln -s "$path" "$work/direct/inputs/$name"
  echo "$name"
done >"$work/direct/inputs.txt"
(cd "$work/direct/inputs" && "$trelba" --no-reports --file-column --summary ../genomes.tsv \
  -T ../genes.tsv --infile-list ../inputs.txt)

compare() {
  for table in genes genomes; do
    cmp "$work/direct/$table.tsv" "$1/$table.tsv" ||
      { echo "$1/$table.tsv differs from the direct run" >&2; exit 1; }
  done
}
snake() {
  snakemake -s "$root/workflow/Snakefile" --directory "$work" --quiet "$@" \
    >"$work/snakemake.log" 2>&1 || { cat "$work/snakemake.log" >&2; exit 1; }
}

for batch_size in 1 3; do
  started=$(date +%s.%N)
  snake --profile "$root/workflow/profiles/local" --cores 2 \
    --config samples="$work/samples.tsv" outdir="$work/local$batch_size" \
    batch_size=$batch_size trelba="$trelba"
  compare "$work/local$batch_size"
  echo "local, $batch_size genome(s) per job: merged outputs equal the direct run ($(seconds "$started") s)"
done

"$root/tests/slurm/start-cluster.sh" "$cluster"
export SLURM_CONF=$cluster/slurm.conf
started=$(date +%s.%N)
snake --profile "$root/workflow/profiles/slurm" --jobs 4 \
  --config samples="$work/samples.tsv" outdir="$work/slurm2" batch_size=2 trelba="$trelba"
compare "$work/slurm2"
echo "SLURM, 2 genomes per job: merged outputs equal the direct run ($(seconds "$started") s)"
[ -s "$work/slurm2/multiqc/trelba_genomes_mqc.tsv" ]
multiqc --quiet --force --outdir "$work/report" "$work/slurm2/multiqc" >/dev/null 2>&1
[ "$(tail -n +2 "$work/report/multiqc_data/multiqc_general_stats.txt" | wc -l)" = \
  "$(tail -n +2 "$work/samples.tsv" | wc -l)" ]
echo "MultiQC on the workflow's output: every sample in the general statistics"
