#!/usr/bin/env bash
# Runs workflow/trelba.cwl under cwltool on the shipped example with the given program
# first on PATH, and checks its table against a direct run `Trelba -T ... --no-reports`.
# Usage: tests/workflow/check-cwl.sh [TRELBA]   (default build/Trelba)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
program=$(realpath "${1:-$root/build/Trelba}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/out"
ln -s "$program" "$work/bin/Trelba"
example=$root/examples/Ecoli_HighlyExpressedGenes.fa
cat >"$work/job.yaml" <<JOB
cds:
  - class: File
    path: $example
gcode: 11
JOB
PATH="$work/bin:$PATH" cwltool --quiet --no-container --outdir "$work/out" \
  "$root/workflow/trelba.cwl" "$work/job.yaml" >"$work/result.json"
"$program" --gcode 11 -T "$work/direct.tsv" --no-reports "$example"
cmp "$work/out/genes.tsv" "$work/direct.tsv"
echo "cwltool: workflow/trelba.cwl's table equals a direct run ($(($(wc -l <"$work/direct.tsv") - 1)) genes)"
