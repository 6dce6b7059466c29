#!/usr/bin/env bash
# The workflow end to end on the real CDS files of tests/data/real: locally with one
# genome per job and with two, as a module of another workflow taken from git (a
# git+file URL of a repository holding only the workflow, no working tree) with three,
# then through a single-node SLURM cluster started here (and stopped at the end, whatever
# happens) with two; and locally on a collection of 40 small gzipped genomes
# (tests/workflow/make_genomes.py) with gzipped tables, eight genomes per job. Every
# run's merged gene table and genome summary must equal, byte for byte (decompressed),
# one direct run of the program over the same genomes; no batch table may be left, a
# gzipped table must be BGZF, and a job's log must summarise its warnings. Every path has
# a space in it, and the sample sheet begins with a UTF-8 byte-order mark, as
# spreadsheet programs save it. Prints each run's wall seconds (the local and SLURM runs
# with two genomes per job are the same jobs).
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

compare() {  # OUTDIR [DIRECT_DIR [.gz]]: the merged tables against the direct run's
  for table in genes genomes; do
    if [ "${3:-}" = .gz ]; then
      bgzip -t "$1/$table.tsv.gz" && gzip -dc "$1/$table.tsv.gz" >"$scratch/merged.tsv"
    else
      cp "$1/$table.tsv" "$scratch/merged.tsv"
    fi
    cmp "${2:-$work/direct}/$table.tsv" "$scratch/merged.tsv" ||
      { echo "$1/$table.tsv${3:-} differs from the direct run" >&2; exit 1; }
  done
  if ls "$1"/batches/*/genes.tsv* >/dev/null 2>&1; then
    echo "$1: batch tables were left" >&2; exit 1
  fi
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
# HIV-1's whole genome read as one gene warns twice; its job's log says so in a summary.
logs=("$work/local out 1/logs"/b*.log)
! grep -q '^Warning:' "${logs[@]}" && grep -q '^  1 genome: .*(HIV1' "${logs[@]}" ||
  { echo "the jobs' logs do not summarise their warnings:" >&2; cat "${logs[@]}" >&2; exit 1; }

# As a module from git, as the workflow catalog deploys it: the caller's folder and
# Snakefile are elsewhere, and the workflow's files are only in a repository's history,
# so the workflow must read its own scripts, schema and defaults through Snakemake.
repo=$scratch/repository
mkdir -p "$repo" && cp -r "$root/workflow" "$root/config" "$repo/"
git -C "$repo" init -q -b main && git -C "$repo" add workflow config &&
  git -C "$repo" -c user.name=ci -c user.email=ci@localhost commit -q -m workflow &&
  rm -r "$repo/workflow" "$repo/config"
started=$(date +%s.%N)
configure "$scratch/module-trelba.yaml" "$work/module out" 3
{ printf 'trelba_snakefile: "git+file://%s/workflow/Snakefile@main"\ntrelba:\n' "$repo"
  sed 's/^/  /' "$scratch/module-trelba.yaml"; } >"$scratch/module.yaml"
snake -s "$root/tests/workflow/module/Snakefile" --cores 2 --configfile "$scratch/module.yaml"
compare "$work/module out"
echo "as a module from git+file, 3 genomes per job: merged outputs equal the direct run ($(seconds "$started") s)"

# A collection of small gzipped genomes with gzipped tables, against its own direct run.
/usr/bin/python3 "$root/tests/workflow/make_genomes.py" "$work/collection" 40 25 >/dev/null
mkdir -p "$work/collection direct/inputs"
for path in "$work/collection"/*.fna.gz; do
  name=$(basename "$path" .fna.gz)
  ln -s "$path" "$work/collection direct/inputs/$name" && echo "$name"
done >"$work/collection direct/inputs.txt"
(cd "$work/collection direct/inputs" && "$trelba" --no-reports --file-column \
  --summary ../genomes.tsv -T ../genes.tsv --infile-list ../inputs.txt)
started=$(date +%s.%N)
snake -s "$root/workflow/Snakefile" --cores 2 --config input_dir="$work/collection" \
  outdir="$work/collection out" batch_size=8 trelba="$trelba" gzip_tables=True
compare "$work/collection out" "$work/collection direct" .gz
echo "local, 40 gzipped genomes, 8 per job, gzipped tables: merged outputs equal the direct run ($(seconds "$started") s)"

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
batches=$(ls "$work/slurm out 2"/logs/b*.log | wc -l)
[ "$jobs" = "$batches" ] ||
  { echo "$jobs SLURM jobs for $batches batches: a local step was submitted" >&2; exit 1; }
multiqc --quiet --force --outdir "$scratch/report" "$work/slurm out 2/multiqc" >/dev/null 2>&1
[ "$(tail -n +2 "$scratch/report/multiqc_data/multiqc_general_stats.txt" | wc -l)" = \
  "$(tail -n +2 "$work/samples.tsv" | wc -l)" ]
echo "MultiQC on the workflow's output: every sample in the general statistics"
