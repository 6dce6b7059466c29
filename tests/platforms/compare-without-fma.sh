#!/usr/bin/env bash
# Compares the reports of the native program PROGRAM with those of the same program on
# glibc's other x86-64 maths path: GLIBC_TUNABLES hides AVX2 and FMA from glibc, whose
# log() then runs its SSE2 code, which rounds some arguments differently from the FMA
# code (and the same as musl's log). A probe first checks that the tunables change some
# logarithm on this machine: where they do not (no FMA in the processor, or a glibc that
# knows other names), there is no second path to compare and the script says so.
#
#   tests/platforms/compare-without-fma.sh PROGRAM [compare-reports.sh options]
set -euo pipefail
[ $# -ge 1 ] || { echo "Usage: $0 PROGRAM [compare-reports.sh options]" >&2; exit 2; }
program=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
tunables=glibc.cpu.hwcaps=-AVX2,-FMA  # the names of glibc 2.33 and later

probe_folder=$(mktemp -d)
trap 'rm -rf -- "$probe_folder"' EXIT
g++ -std=c++20 -O2 -ffp-contract=off -o "$probe_folder/log_probe" "$here/log_probe.cpp"
usual=$("$probe_folder/log_probe")
without_fma=$(GLIBC_TUNABLES=$tunables "$probe_folder/log_probe")
if [ "$usual" = "$without_fma" ]; then
  echo "glibc-no-fma: not compared: GLIBC_TUNABLES=$tunables changes no logarithm on this machine"
  exit 0
fi
"$here/compare-reports.sh" "$@" "$program" glibc-no-fma env GLIBC_TUNABLES="$tunables" "$program"
