#!/usr/bin/env bash
# Starts the single-node SLURM cluster, checks that `sbatch --wait` runs a job and that
# the workflow's status script tells success from every kind of failure, and stops the
# cluster again (always, through the EXIT trap). Prints each step's seconds.
# Usage: tests/slurm/check-cluster.sh [STATE_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if [ $# -gt 0 ]; then state=$1; scratch=; else state=$(mktemp -d); scratch=$state; fi
status="$root/workflow/profiles/slurm/status.py"
trap '"$root/tests/slurm/stop-cluster.sh" "$state"; [ -z "$scratch" ] || rm -rf "$scratch"' EXIT
"$root/tests/slurm/start-cluster.sh" "$state"
export SLURM_CONF="$state/slurm.conf"
cd "$state"

started=$(date +%s.%N)
sbatch --wait --quiet --output="$state/trivial.out" --wrap 'echo ran on $(hostname -s)'
grep -qx "ran on $(hostname -s)" "$state/trivial.out"
awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "sbatch --wait of a trivial job: %.1f s\n", b - a }'

# Each case: a job script, and what the status script must say once it has ended.
declare -A want=(
  ['true']=success
  ['exit 3']=failed
  ['kill -9 $$']=failed
  ['sleep 300']=failed  # cancelled below
)
declare -A job=()
for script in "${!want[@]}"; do
  job[$script]=$(sbatch --parsable --output=/dev/null --wrap "$script")
done
[ "$("$status" "${job['sleep 300']}")" = running ]
scancel "${job['sleep 300']}"
failures=0
for script in "${!want[@]}"; do
  for _ in $(seq 100); do
    said=$("$status" "${job[$script]}")
    [ "$said" != running ] && break
    sleep 0.2
  done
  if [ "$said" = "${want[$script]}" ]; then
    echo "status of a job running '$script': $said"
  else
    echo "status of a job running '$script': $said, expected ${want[$script]}" >&2
    failures=$((failures + 1))
  fi
done
said=$("$status" "999999;trelba-ci" 2>/dev/null)
[ "$said" = failed ] || { echo "an unknown job is '$said', expected failed" >&2; failures=$((failures + 1)); }
[ "$failures" = 0 ]
