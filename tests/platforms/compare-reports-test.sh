#!/usr/bin/env bash
# Checks that compare-reports.sh notices what it is for: the native program against a
# copy of itself that spoils one report, or fails, under one genetic code (the two codes
# the cases spoil are the only ones run).
#
#   tests/platforms/compare-reports-test.sh CASE PROGRAM
#
# CASE changed-report: the .iik of every input under --gcode 11 gets one byte more; the
#   comparison must count exactly those 7 reports (one per input) and name one of them.
# CASE failed-run: every run under variant 5 says why and exits with status 3; the
#   comparison must count 7 failed runs and no mismatch.
# CASE silent-once: the first run of each input under variant 5 exits with status 1 and
#   no message, as an emulator's start sometimes does; the comparison must retry those 7
#   runs, say so, and pass.
# (Run with "--spoil CASE PROGRAM ARGUMENTS..." the script is itself the spoiled program.)
set -euo pipefail

if [ "$1" = --spoil ]; then
  case_name=$2
  shift 2
  arguments=" $* "
  input=${!#}
  # $3 is the table's name, one per input: the mark of its first run.
  if [ "$case_name" = silent-once ] && [[ "$arguments" == *" 5 " ]] && [ ! -e "$3.failed-once" ]
  then
    : >"$3.failed-once"
    exit 1
  fi
  "$@"
  case "$case_name" in
    changed-report) [[ "$arguments" == *" --gcode 11 "* ]] && printf 'x' >>"$input.iik" ;;
    failed-run) [[ "$arguments" == *" 5 " ]] && echo "spoiled" >&2 && exit 3 ;;
  esac
  exit 0
fi

case_name=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
status=0
summary=$("$here/compare-reports.sh" --code 'variant 5' --code 'gcode 11' "$program" spoiled \
  "$here/compare-reports-test.sh" --spoil "$case_name" "$program") || status=$?
echo "$summary"

fail() { echo "FAILED: $*" >&2; exit 1; }
expected_status=1
[ "$case_name" != silent-once ] || expected_status=0
[ "$status" = "$expected_status" ] || fail "exit status $status, expected $expected_status"
case "$case_name" in
  changed-report)
    grep -qx 'spoiled: 30 runs, 87 files compared, 7 mismatches, 0 failed runs' <<<"$summary" ||
      fail "wrong count"
    grep -q '^first difference: gcode 11, .*\.iik: ' <<<"$summary" || fail "wrong report named"
    ;;
  failed-run)
    grep -qx 'spoiled: 30 runs, 45 files compared, 0 mismatches, 7 failed runs' <<<"$summary" ||
      fail "wrong count"
    grep -q '^first difference: variant 5, .*: exit status 0 (reference), 3 (spoiled)' <<<"$summary" ||
      fail "wrong run named"
    ;;
  silent-once)
    grep -qx 'spoiled: 30 runs, 87 files compared, 0 mismatches, 0 failed runs, 7 run(s) retried after failing without a message' \
      <<<"$summary" || fail "wrong count"
    ;;
  *) fail "unknown case $case_name" ;;
esac
