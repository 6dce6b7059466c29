#!/usr/bin/env bash
# Stops the single-node cluster that start-cluster.sh started in STATE_DIR: cancels its
# jobs, then ends slurmd, slurmctld and munged by the process ids in their pid files
# (nothing else), and waits until they are gone. Safe to run when the start failed half
# way, or twice.
# Usage: tests/slurm/stop-cluster.sh STATE_DIR
set -uo pipefail
state=${1:?usage: stop-cluster.sh STATE_DIR}
[ -d "$state" ] || exit 0
if [ -f "$state/slurm.conf" ] && [ -f "$state/slurmctld.pid" ]; then
  SLURM_CONF="$state/slurm.conf" scancel --quiet --user=root 2>/dev/null || true
fi
for pid_file in "$state/slurmd.pid" "$state/slurmctld.pid" "$state/munge/munged.pid"; do
  [ -f "$pid_file" ] || continue
  pid=$(cat "$pid_file")
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
  fi
  rm -f "$pid_file"
done
exit 0
