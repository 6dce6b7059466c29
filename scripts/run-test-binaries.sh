#!/usr/bin/env bash
# Runs GoogleTest binaries whole, each test binary as SHARDS processes at once (GoogleTest's
# own sharding: every test runs in exactly one of them). One process per shard instead of
# ctest's one per test: under the sanitizers a process's start costs more than most tests.
# Each shard's output goes to a log beside its binary; a failing shard's log is printed.
#
#   scripts/run-test-binaries.sh SHARDS BINARY...
#   scripts/run-test-binaries.sh 2 build/tests/trelba_unit_tests build/tests/trelba_cli_tests
set -euo pipefail
[ $# -ge 2 ] && [[ "$1" =~ ^[1-9][0-9]*$ ]] ||
  { echo "Usage: $0 SHARDS BINARY..." >&2; exit 2; }
shards=$1
shift

failed=0
for binary in "$@"; do
  pids=()
  logs=()
  for ((index = 0; index < shards; index++)); do
    log="$binary.shard-$index.log"
    GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$index "$binary" --gtest_brief=1 >"$log" 2>&1 &
    pids+=($!)
    logs+=("$log")
  done
  for index in "${!pids[@]}"; do
    if wait "${pids[index]}"; then
      echo "$(basename -- "$binary") shard $((index + 1))/$shards: $(grep -a -m1 '^\[==========\].*ran' "${logs[index]}" || echo 'ran')"
    else
      echo "$(basename -- "$binary") shard $((index + 1))/$shards failed:"
      cat -- "${logs[index]}"
      failed=1
    fi
  done
done
exit "$failed"
