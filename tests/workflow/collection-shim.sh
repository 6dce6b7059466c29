#!/usr/bin/env bash
# Stands in for the many-input command line (`--summary`, `--file-column`,
# `--infile-list`) until the program has it, so that the workflow's plumbing (links,
# batches, merging, MultiQC content, SLURM) can run today: it runs the real program once
# per input (`TRELBA -T FILE --no-reports [--gcode N] INPUT`) and puts the `file` column
# and a summary row together itself. Summary numbers other than sequences, codons and the
# average are NA. Not a test of the program.
# Usage: TRELBA=build/Trelba collection-shim.sh [-j N] --no-reports --file-column
#          [--gcode N] --summary FILE -T FILE --infile-list FILE
set -euo pipefail
trelba=${TRELBA:?set TRELBA to the program}
gcode=() summary= table= list=
while [ $# -gt 0 ]; do
  case $1 in
    -j) shift ;;
    --no-reports | --file-column) ;;
    --gcode) gcode=(--gcode "$2"); shift ;;
    --summary) summary=$2; shift ;;
    -T) table=$2; shift ;;
    --infile-list) list=$2; shift ;;
    *) echo "collection-shim.sh: unsupported argument $1" >&2; exit 2 ;;
  esac
  shift
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0 first=1
printf 'file\tstatus\tsequences\tcodons\taverage\tmedian_score\tmedian_excess\tgc\tgc3\tinternal_stop_sequences\tpartial_sequences\tcomment_lines\tinline_headers\tmessage\n' >"$scratch/summary"
: >"$scratch/table"
while IFS= read -r input; do
  if "$trelba" "${gcode[@]}" -T "$scratch/one" --no-reports "$input" 2>"$scratch/err"; then
    [ "$first" = 1 ] && { printf 'file\t'; head -n 1 "$scratch/one"; } >>"$scratch/table"
    first=0
    tail -n +2 "$scratch/one" | awk -v f="$input" '{ print f "\t" $0 }' >>"$scratch/table"
    tail -n +2 "$scratch/one" | awk -F'\t' -v f="$input" '
      { n++; c += $3; if ($4 != "NA" && $4 > 0) { s += $4; p++ } }
      END { printf "%s\tok\t%d\t%d\t%s\tNA\tNA\tNA\tNA\t0\t0\t0\t0\t\n", f, n, c, p ? sprintf("%.6g", s / p) : "NA" }' >>"$scratch/summary"
  else
    status=255
    cat "$scratch/err" >&2
    printf '%s\terror\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\t%s\n' "$input" "$(head -n 1 "$scratch/err")" >>"$scratch/summary"
  fi
done <"$list"
cp "$scratch/summary" "$summary"
cp "$scratch/table" "$table"
exit "$status"
