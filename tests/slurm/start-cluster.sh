#!/usr/bin/env bash
# Starts a single-node SLURM cluster on this machine (munged, slurmctld, slurmd, all as
# root, all state under one folder) and waits until the node takes jobs. Prints the
# seconds it took. Stop it with stop-cluster.sh (the same folder); a failed start stops
# what it started. Clients find the cluster through SLURM_CONF=STATE/slurm.conf
# (`source STATE/env`).
# Usage: tests/slurm/start-cluster.sh STATE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
state=${1:?usage: start-cluster.sh STATE_DIR}
mkdir -p "$state"
state=$(cd "$state" && pwd)
started=$(date +%s.%N)
trap '"$here/stop-cluster.sh" "$state"' ERR

mkdir -p "$state/munge" "$state/ctld" "$state/spool"
chmod 700 "$state/munge"
# A key of this cluster's own: nothing of the machine's munge set-up is used or changed.
[ -f "$state/munge/munge.key" ] || mungekey --create --keyfile="$state/munge/munge.key"
munged --force --socket="$state/munge/munge.socket" --key-file="$state/munge/munge.key" \
  --pid-file="$state/munge/munged.pid" --log-file="$state/munge/munged.log" \
  --seed-file="$state/munge/munged.seed"
munge --socket="$state/munge/munge.socket" -n | unmunge --socket="$state/munge/munge.socket" >/dev/null

host=$(hostname -s)
cpus=$(nproc)
memory=$(awk '/^MemTotal:/ { print int($2 / 1024 / 2) }' /proc/meminfo)
# Ports away from SLURM's defaults, so that a cluster the machine runs itself is not met.
sed -e "s|@HOST@|$host|g" -e "s|@STATE@|$state|g" -e "s|@CPUS@|$cpus|g" \
  -e "s|@MEMORY@|$memory|g" -e "s|@CTLD_PORT@|${TRELBA_SLURMCTLD_PORT:-16817}|g" \
  -e "s|@SLURMD_PORT@|${TRELBA_SLURMD_PORT:-16818}|g" \
  "$here/slurm.conf.in" >"$state/slurm.conf"
echo "export SLURM_CONF=$state/slurm.conf" >"$state/env"
export SLURM_CONF="$state/slurm.conf"

slurmctld -i -f "$SLURM_CONF"
slurmd -f "$SLURM_CONF" -N "$host"

# Ready when the node is idle (takes jobs); at most 60 s.
for _ in $(seq 600); do
  node_state=$(sinfo -h -n "$host" -o %T 2>/dev/null || true)
  [ "$node_state" = idle ] && break
  sleep 0.1
done
if [ "$node_state" != idle ]; then
  echo "the SLURM node did not come up (state '${node_state:-none}'); logs in $state" >&2
  tail -n 5 "$state"/*.log >&2 || true
  false
fi
trap - ERR
awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "SLURM cluster up in %.1f s\n", b - a }'
