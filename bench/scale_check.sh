#!/usr/bin/env bash
# Scale check, outside the normal test suite: 1,000,000 sequences and a 2 GB input, with
# peak memory that must not grow and the final report lines checked.
#
# usage: bench/scale_check.sh [BUILD_DIR] [WORK_DIR]   (needs about 9 GB of free disk)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=${2:-/tmp/trelba-scale}
mkdir -p "$work"
cd "$work"

check() {  # FILE SEQUENCES
  local file=$1 n=$2 label
  rm -f "$file".iik "$file".ok "$file".freq
  read -r seconds kib < <("$build/bench/measure" "$build/Trelba" "$file")
  printf '%-22s %12d sequences %8.1f MB %7.2f s %6.1f MB peak RSS\n' \
    "$file" "$n" "$(($(stat -c %s "$file") / 1000000))" "$seconds" "$((kib / 1024))"
  label=$(printf '%07d' "$n")
  [ "$(tail -c 200 "$file".freq | tail -n 3 | head -n 1 | cut -c1-16)" = "sequence#$label" ] ||
    { echo "FAIL: last count block of $file is not sequence $label"; exit 1; }
  [ "$(wc -l < "$file".iik)" -eq $((22 * n)) ] || { echo "FAIL: $file.iik line count"; exit 1; }
  tail -n 1 "$file".ok | grep -Eq '^average = 0\.[0-9]+$' || { echo "FAIL: $file.ok average"; exit 1; }
  [ "$kib" -le 16384 ] || { echo "FAIL: peak RSS $kib KiB over 16 MiB"; exit 1; }
  rm -f "$file".iik "$file".ok "$file".freq
}

[ -f million.fa ] || "$build/bench/make_fasta" million.fa 1000000 999 7
check million.fa 1000000
[ -f two_gb.fa ] || "$build/bench/make_fasta" two_gb.fa 2100000 999 8
check two_gb.fa 2100000
echo "scale check passed"
