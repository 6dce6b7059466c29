#!/usr/bin/env bash
# The workflow end to end on the real CDS files of tests/data/real: locally with one
# genome per job and with two, as a module of another workflow with three, then through
# a single-node SLURM cluster started here (and stopped at the end, whatever happens)
# with two; every run's merged gene table and genome summary must equal, byte for byte,
# one direct run of the program over all genomes. Every path has a space in it, and the
# sample sheet begins with a UTF-8 byte-order mark, as spreadsheet programs save it.
# Prints each run's wall seconds (the local and SLURM runs with two genomes per job are
# the same jobs).
# Usage: tests/workflow/run-workflow.sh [TRELBA]   (default build/Trelba)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
trelba=$(realpath "${1:-$root/build/Trelba}")
scratch=$(mktemp -d)
work="$scratch/work dir"
cluster=$scratch/slurm
trap '"$root/tests/slurm/stop-cluster.sh" "$cluster"; rm -rf "$scratch"' EXIT
seconds() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# The sample sheet: every real CDS file (through a folder with a space), one
# gzip-compressed, in a fixed order, each with a reference set found in itself.
mkdir -p "$work/gen omes"
printf '\xef\xbb\xbfsample\tpath\treference\n' >"$work/samples.tsv"
for path in "$root"/tests/data/real/*.f*; do
  name=$(basename "${path%.*}" | tr -c 'A-Za-z0-9._+\n-' _)
  ln -s "$path" "$work/gen omes/$name copy.fna"
  printf '%s\t%s\tauto\n' "$name" "gen omes/$name copy.fna" >>"$work/samples.tsv"
done
first=$(sed -n 2p "$work/samples.tsv" | cut -f2)
gzip -9nc "$work/$first" >"$work/gen omes/first.fna.gz"
sed -i "2s|\t[^\t]*\t|\tgen omes/first.fna.gz\t|" "$work/samples.tsv"

# The direct run: every genome in sheet order, through links named after the samples.
mkdir -p "$work/direct/inputs"
tail -n +2 "$work/samples.tsv" | while IFS=$'\t' read -r name path _; do
  ln -s "$work/$path" "$work/direct/inputs/$name"
  echo "$name"
done >"$work/direct/inputs.txt"
(cd "$work/direct/inputs" && "$trelba" --no-reports --file-column --summary ../genomes.tsv \
  -T ../genes.tsv --reference auto --infile-list ../inputs.txt)

compare() {
  for table in genes genomes; do
    cmp "$work/direct/$table.tsv" "$1/$table.tsv" ||
      { echo "$1/$table.tsv differs from the direct run" >&2; exit 1; }
  done
}
snake() {
  snakemake --directory "$work" --quiet "$@" >"$scratch/snakemake.log" 2>&1 ||
    { cat "$scratch/snakemake.log" >&2; exit 1; }
}
configure() {  # FILE OUTDIR BATCH_SIZE: the workflow's configuration, as YAML
  printf 'samples: "%s"\noutdir: "%s"\nbatch_size: %s\ntrelba: "%s"\n' \
    "$work/samples.tsv" "$2" "$3" "$trelba" >"$1"
}

for batch_size in 1 2; do
  started=$(date +%s.%N)
  configure "$scratch/local$batch_size.yaml" "$work/local out $batch_size" $batch_size
  snake -s "$root/workflow/Snakefile" --profile "$root/workflow/profiles/local" --cores 2 \
    --configfile "$scratch/local$batch_size.yaml"
  compare "$work/local out $batch_size"
  echo "local, $batch_size genome(s) per job: merged outputs equal the direct run ($(seconds "$started") s)"
done

# As a module: the caller's folder and Snakefile are elsewhere; the workflow must find
# its own scripts, schema and defaults.
started=$(date +%s.%N)
configure "$scratch/module-trelba.yaml" "$work/module out" 3
{ printf 'trelba_snakefile: "%s"\ntrelba:\n' "$root/workflow/Snakefile"
  sed 's/^/  /' "$scratch/module-trelba.yaml"; } >"$scratch/module.yaml"
snake -s "$root/tests/workflow/module/Snakefile" --cores 2 --configfile "$scratch/module.yaml"
compare "$work/module out"
echo "as a module, 3 genomes per job: merged outputs equal the direct run ($(seconds "$started") s)"

"$root/tests/slurm/start-cluster.sh" "$cluster"
export SLURM_CONF=$cluster/slurm.conf
started=$(date +%s.%N)
configure "$scratch/slurm.yaml" "$work/slurm out 2" 2
snake -s "$root/workflow/Snakefile" --profile "$root/workflow/profiles/slurm" --jobs 4 \
  --configfile "$scratch/slurm.yaml"
compare "$work/slurm out 2"
echo "SLURM, 2 genomes per job: merged outputs equal the direct run ($(seconds "$started") s)"
# Only the batches went to the cluster: the merging and formatting steps are local.
jobs=$(ls "$work/slurm-logs" | wc -l)
batches=$(ls -d "$work/slurm out 2"/batches/b* | wc -l)
[ "$jobs" = "$batches" ] ||
  { echo "$jobs SLURM jobs for $batches batches: a local step was submitted" >&2; exit 1; }
multiqc --quiet --force --outdir "$scratch/report" "$work/slurm out 2/multiqc" >/dev/null 2>&1
[ "$(tail -n +2 "$scratch/report/multiqc_data/multiqc_general_stats.txt" | wc -l)" = \
  "$(tail -n +2 "$work/samples.tsv" | wc -l)" ]
echo "MultiQC on the workflow's output: every sample in the general statistics"
