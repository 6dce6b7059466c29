#!/usr/bin/env bash
# workflow/trelba.cwl under cwltool (--validate, then runs without containers, the given
# program first on PATH): three inputs, one of them gzip-compressed, from three folders,
# run twice in fresh folders, once from a job file (the files with their EDAM format) and
# once as README shows it, the files on the command line (--cds a.fa --cds b.fa); the gene
# table and the summary of both runs must have the same bytes (inputs named by base name,
# not by cwltool's staging folder), and equal a direct run over the same files.
# Usage: tests/workflow/check-cwl.sh [TRELBA]   (default build/Trelba)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
program=$(realpath "${1:-$root/build/Trelba}")
tool=$root/workflow/trelba.cwl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cwltool --quiet --validate "$tool" >/dev/null
mkdir -p "$work/bin" "$work/a" "$work/b" "$work/c" "$work/direct"
ln -s "$program" "$work/bin/Trelba"
cp "$root/examples/Ecoli_HighlyExpressedGenes.fa" "$work/a/ecoli.fa"
gzip -9nc "$root/tests/data/real/Ypestis_pPCP1_NC_005816.ffn" >"$work/b/ypestis.ffn.gz"
cp "$root/tests/data/real/Carsonella_ruddii_DC.prodigal.cds.fna" "$work/c/carsonella.fna"
{ echo "cds:"
  for path in a/ecoli.fa b/ypestis.ffn.gz c/carsonella.fna; do
    printf '  - class: File\n    path: %s\n    format: http://edamontology.org/format_1929\n' "$work/$path"
  done
  echo "gcode: 11"; } >"$work/job.yaml"
run() {  # RUN ARGUMENTS...
  PATH="$work/bin:$PATH" cwltool --quiet --no-container --outdir "$work/out$1" \
    --tmpdir-prefix "$work/tmp$1/" --tmp-outdir-prefix "$work/stage$1/" \
    "$tool" "${@:2}" >"$work/result$1.json"
}
run 1 "$work/job.yaml"
(cd "$work" && run 2 --cds a/ecoli.fa --cds b/ypestis.ffn.gz --cds c/carsonella.fna --gcode 11)
cp "$work/a/ecoli.fa" "$work/b/ypestis.ffn.gz" "$work/c/carsonella.fna" "$work/direct/"
(cd "$work/direct" && "$program" -j 1 --no-reports --file-column --gcode 11 -T genes.tsv \
  --summary genomes.tsv ecoli.fa ypestis.ffn.gz carsonella.fna)
for table in genes genomes; do
  cmp "$work/out1/$table.tsv" "$work/out2/$table.tsv"
  cmp "$work/out1/$table.tsv" "$work/direct/$table.tsv"
done
echo "cwltool: a job file and files on the command line give the same table and summary, equal to a direct run ($(($(wc -l <"$work/direct/genes.tsv") - 1)) genes)"
