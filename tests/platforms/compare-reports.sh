#!/usr/bin/env bash
# Compares the reports of two builds of Trelba byte for byte: a reference program (the
# native Linux build) and a program under test started through a command prefix (an
# emulator, wine, an environment), on every file of tests/data/real, the shipped example
# and a copy of a real file under a non-ASCII name, under every genetic code: variants 0
# to 7 as the positional argument and --gcode N for every NCBI table. Every run also
# writes the table (-T), the summary and the codon usage, against a reference set found in
# the input (--reference auto), with a correspondence analysis (--coa codons, rscu or aa
# by turns), to files; one more run of all the inputs together under variant 0 adds the
# analysis of the inputs to the summary. Each program runs inside its own scratch folders with
# relative file names, as a Windows program under wine must be run.
#
#   tests/platforms/compare-reports.sh [--jobs N] [--keep] [--compressed] [--code CODE]...
#     REFERENCE LABEL COMMAND...
#
#   tests/platforms/compare-reports.sh build/Trelba arm64 qemu-aarch64 build-arm/Trelba
#   tests/platforms/compare-reports.sh build/Trelba windows wine64 build-windows/Trelba.exe
#   tests/platforms/compare-reports.sh build/Trelba no-fma \
#     env GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA build/Trelba
#   (tests/platforms/compare-without-fma.sh runs the last after checking that it matters)
#
# A run of the program under test that fails with no message on standard error is made
# once more (emulators now and then end a process at its start that way), and counted in
# the summary; a second failure is a failed run.
#
# --code CODE ("variant N" or "gcode N", repeatable) runs those codes alone instead of all.
# --compressed adds the example compressed with each of gzip, xz, bzip2 and zstd whose
# tool is found, read under the first code, variant 0 unless --code says otherwise (the
# program under test must read every format).
# REFERENCE, and the words of COMMAND that hold a slash, are made absolute where they name
# an existing file (the runs happen in other folders). Prints one summary line; on a mismatch also the first differing report
# and the start of its diff. Exit status 0 when every report matches, 1 on any mismatch
# or failed run, 2 on a bad command line.
set -euo pipefail

usage() {
  echo "Usage: $0 [--jobs N] [--keep] [--compressed] [--code CODE]... REFERENCE LABEL COMMAND..." >&2
  exit 2
}

jobs=2
run_timeout=300  # seconds for one run of either program
keep=0
compressed=0
only_codes=()
while [ $# -gt 0 ]; do
  case "$1" in
    --jobs) [ $# -ge 2 ] || usage; jobs=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --compressed) compressed=1; shift ;;
    --code)
      [ $# -ge 2 ] && [[ "$2" =~ ^(variant|gcode)\ [0-9]+$ ]] || usage
      only_codes+=("$2"); shift 2 ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $# -ge 3 ] || usage
[[ "$jobs" =~ ^[1-9][0-9]*$ ]] || usage

absolute() { if [ -e "$1" ]; then realpath -- "$1"; else printf '%s\n' "$1"; fi; }
reference=$(absolute "$1")
label=$2
shift 2
under_test=()
for word in "$@"; do
  if [[ "$word" == */* ]]; then under_test+=("$(absolute "$word")"); else under_test+=("$word"); fi
done

# File names are UTF-8 whatever the caller's locale: wine turns the command line into
# UTF-16 by the locale, and under C or POSIX mangles every non-ASCII name.
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "$0")" && pwd)
inputs=("$here"/../data/real/* "$here"/../../examples/Ecoli_HighlyExpressedGenes.fa)
# A real file again under a name of non-ASCII letters (UTF-8): the name goes through the
# program's command line and its file opening, and a Windows build sees it as UTF-16.
unicode_name='génome_Øst.fa'
unicode_source="$here/../data/real/Mmusculus_p53.cds.fna"
example="$here/../../examples/Ecoli_HighlyExpressedGenes.fa"
compressors=()
if [ "$compressed" = 1 ]; then
  for tool in gzip xz bzip2 zstd; do command -v "$tool" >/dev/null && compressors+=("$tool"); done
fi

# The codes: variants as the second argument, NCBI tables with --gcode.
codes=()
for variant in 0 1 2 3 4 5 6 7; do codes+=("variant $variant"); done
for table in 1 2 3 4 5 6 9 10 11 12 13 14 15 16 21 22 23 24 25 26 27 28 29 30 31 32 33; do
  codes+=("gcode $table")
done
[ ${#only_codes[@]} -eq 0 ] || codes=("${only_codes[@]}")
report_suffixes=(.freq .iik .ok .tsv .summary.tsv .usage.tsv)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/trelba-compare.XXXXXX")
if [ "$keep" = 1 ]; then
  echo "scratch folders kept in $scratch" >&2
else
  trap 'rm -rf -- "$scratch"' EXIT
fi

# One folder per side and code, each holding copies of every input, and the runs: every
# input under every code, the compressed copies under the first code.
names=()
for input in "${inputs[@]}"; do names+=("$(basename -- "$input")"); done
names+=("$unicode_name")
run_codes=()
run_names=()
for code in "${codes[@]}"; do
  for name in "${names[@]}"; do run_codes+=("$code"); run_names+=("$name"); done
done
for side in reference test; do
  for code in "${codes[@]}"; do
    folder="$scratch/$side/${code/ /-}"
    mkdir -p "$folder"
    cp -- "${inputs[@]}" "$folder/"
    cp -- "$unicode_source" "$folder/$unicode_name"
  done
done
# All the inputs in one run (its name ALL): the summary's analysis of the inputs, in the
# first code's folders (variant 0's unless --code says otherwise).
first_folder=${codes[0]/ /-}
run_codes+=("${codes[0]}")
run_names+=("ALL")
for tool in "${compressors[@]}"; do
  name="$(basename -- "$example").$tool"
  "$tool" -c <"$example" >"$scratch/$name"
  for side in reference test; do cp -- "$scratch/$name" "$scratch/$side/$first_folder/"; done
  run_codes+=("${codes[0]}")
  run_names+=("$name")
done

# Runs one program on one file under one code, from inside its folder, and keeps its exit
# status and standard error beside the reports.
run_one() {
  local side=$1 code=$2 name=$3
  local folder="$scratch/$side/${code/ /-}"
  local program=("$reference")
  [ "$side" = test ] && program=("${under_test[@]}")
  local code_arguments=()
  case "$code" in
    variant*) code_arguments=("$name" "${code#variant }") ;;
    gcode*) code_arguments=(--gcode "${code#gcode }" "$name") ;;
  esac
  # The table, the summary and the codon usage, with the indices against a reference set
  # found in the input and a correspondence analysis: every number the program computes.
  local kinds=(codons rscu aa)
  local table_arguments=(-T "$name.tsv" --summary "$name.summary.tsv" --codon-usage
    "$name.usage.tsv" --reference auto --coa "${kinds[${code##* } % 3]}")
  if [ "$name" = ALL ]; then
    code_arguments=(--no-reports --variant 0 -- "${names[@]}")
  fi
  local status=0
  # A run that hangs (an emulator stuck at start) fails after a while instead of holding
  # up CI: timeout's status 124 counts as a failed run.
  (cd "$folder" && timeout "$run_timeout" "${program[@]}" "${table_arguments[@]}" \
    "${code_arguments[@]}" </dev/null >/dev/null 2>"$name.stderr") || status=$?
  # A run of the program under test that fails without a word is the emulator's: the
  # program says why whenever it fails (wine, now and then, ends a process it is starting
  # with status 1 and no message). Such a run is made once more and counted as retried.
  if [ "$side" = test ] && [ "$status" != 0 ] && [ ! -s "$folder/$name.stderr" ]; then
    echo "$status" >"$folder/$name.retried"
    status=0
    (cd "$folder" && timeout "$run_timeout" "${program[@]}" "${table_arguments[@]}" \
      "${code_arguments[@]}" </dev/null >/dev/null 2>"$name.stderr") || status=$?
  fi
  echo "$status" >"$folder/$name.status"
}

# Both programs' runs, $jobs at a time.
runs=0
running=0
for side in reference test; do
  for i in "${!run_codes[@]}"; do
    run_one "$side" "${run_codes[i]}" "${run_names[i]}" &
    runs=$((runs + 1))
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
      wait -n
      running=$((running - 1))
    fi
  done
done
wait

compared=0
mismatches=0
failed_runs=0
retried_runs=0
first_difference=""
for i in "${!run_codes[@]}"; do
  code=${run_codes[i]}
  name=${run_names[i]}
  expected="$scratch/reference/${code/ /-}/$name"
  actual="$scratch/test/${code/ /-}/$name"
  reference_status=$(cat "$expected.status")
  test_status=$(cat "$actual.status")
  [ ! -e "$actual.retried" ] || retried_runs=$((retried_runs + 1))
  if [ "$reference_status" != 0 ] || [ "$test_status" != 0 ]; then
    failed_runs=$((failed_runs + 1))
    if [ -z "$first_difference" ]; then
      first_difference="$code, $name: exit status $reference_status (reference), $test_status ($label)"
      first_difference+=$'\n'"$(head -n 5 "$actual.stderr")"
    fi
    continue
  fi
  for suffix in "${report_suffixes[@]}"; do
    # The run of all inputs writes no reports.
    if [ "$name" = ALL ] && [[ "$suffix" =~ ^\.(freq|iik|ok)$ ]]; then continue; fi
    compared=$((compared + 1))
    if ! cmp -s -- "$expected$suffix" "$actual$suffix"; then
      mismatches=$((mismatches + 1))
      if [ -z "$first_difference" ]; then
        first_difference="$code, $name$suffix: $(cmp -- "$expected$suffix" "$actual$suffix" 2>&1 |
          head -n 1 || true)"
        first_difference+=$'\n'"$(diff -- "$expected$suffix" "$actual$suffix" | head -n 12 || true)"
      fi
    fi
  done
done

summary="$label: $runs runs, $compared files compared, $mismatches mismatches, $failed_runs failed runs"
[ "$retried_runs" = 0 ] || summary+=", $retried_runs run(s) retried after failing without a message"
[ ${#compressors[@]} -eq 0 ] || summary+=" (compressed: ${compressors[*]})"
echo "$summary"
if [ -n "$first_difference" ]; then
  echo "first difference: $first_difference"
  exit 1
fi
