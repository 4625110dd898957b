#!/usr/bin/env bash
# The Slurm example for real: a throwaway single-node cluster (munged,
# slurmctld and slurmd with all their files in a temporary folder, ports of
# its own) runs examples/slurm-sweep.sh, a job array of three shards and its
# dependent merge job; the merged outputs are those of one whole run. The
# daemons are stopped by their pids, also when the test fails. Skipped (exit
# status 77) when not root or without the packages slurm-wlm and munge.
#
# Usage: slurmSweepTest.sh PROGRAM SOURCE_DIR
set -euo pipefail

program=$1
source=$2
. "$source/tests/cluster/sweepSupport.sh"

[ "$(id -u)" -eq 0 ] || skip "starting munged, slurmctld and slurmd needs root"
for command in /usr/sbin/munged /usr/sbin/slurmctld /usr/sbin/slurmd sbatch squeue sinfo scontrol \
  scancel runuser; do
  command -v "$command" >/dev/null || skip "$command is missing (packages slurm-wlm and munge)"
done
id munge >/dev/null 2>&1 || skip "there is no munge user (package munge)"

tmp=$(mktemp -d /tmp/rootweaver-slurm.XXXXXX)
chmod 755 "$tmp"
stopPid() {
  local pid
  pid=$(cat "$1" 2>/dev/null) && kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}
teardown() {
  scancel --quiet --full "${array:-0}" "${merge:-0}" 2>/dev/null || true
  for pids in slurmd.pid slurmctld.pid munge/munged.pid; do stopPid "$tmp/$pids"; done
  rm -rf "$tmp"
}
trap teardown EXIT

# A port nothing listens on, from a range of its own.
freePort() {
  local port
  for _ in $(seq 100); do
    port=$((20000 + RANDOM % 30000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
  skip "no free port found"
}

# munge: a key of 1024 random bytes read by the munge user only.
mkdir "$tmp/munge"
head -c 1024 /dev/urandom > "$tmp/munge/munge.key"
chown -R munge:munge "$tmp/munge"
chmod 400 "$tmp/munge/munge.key"
socket=$tmp/munge/munge.socket
runuser -u munge -- /usr/sbin/munged --key-file="$tmp/munge/munge.key" --socket="$socket" \
  --pid-file="$tmp/munge/munged.pid" --log-file="$tmp/munge/munged.log" \
  --seed-file="$tmp/munge/munged.seed" || skip "munged did not start: $(cat "$tmp/munge/munged.log")"

host=$(hostname -s)
controllerPort=$(freePort)
nodePort=$(freePort)
while [ "$nodePort" = "$controllerPort" ]; do nodePort=$(freePort); done
memory=$(awk '/MemTotal/ { print int($2 / 1024 / 2) }' /proc/meminfo)
mkdir "$tmp/state" "$tmp/spool" "$tmp/work"
cat > "$tmp/slurm.conf" <<CONF
ClusterName=rootweavertest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$controllerPort
SlurmdPort=$nodePort
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
MpiDefault=none
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SlurmUser=root
SlurmdUser=root
StateSaveLocation=$tmp/state
SlurmdSpoolDir=$tmp/spool
SlurmctldPidFile=$tmp/slurmctld.pid
SlurmdPidFile=$tmp/slurmd.pid
SlurmctldLogFile=$tmp/slurmctld.log
SlurmdLogFile=$tmp/slurmd.log
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) RealMemory=$memory State=UNKNOWN
PartitionName=main Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF=$tmp/slurm.conf
/usr/sbin/slurmctld -f "$SLURM_CONF" || skip "slurmctld did not start"
/usr/sbin/slurmd -f "$SLURM_CONF" -N "$host" || skip "slurmd did not start"
for _ in $(seq 100); do
  [ "$(sinfo -h -o %t 2>/dev/null)" = idle ] && break
  sleep 0.2
done
[ "$(sinfo -h -o %t)" = idle ] || { tail "$tmp/slurmctld.log" "$tmp/slurmd.log"; exit 1; }

cd "$tmp/work"
runWholeSweep "$program" "$source"
read -r array merge < <(ROOTWEAVER=$program bash "$source/examples/slurm-sweep.sh" \
  six.blam sharded --array=0-2 --cpus-per-task=1)
echo "array job $array, merge job $merge"
state=
for _ in $(seq 600); do
  state=$(scontrol show job "$merge" | sed -n 's/.*JobState=\([A-Z_]*\).*/\1/p')
  case $state in COMPLETED | FAILED | CANCELLED | TIMEOUT | NODE_FAIL | OUT_OF_MEMORY) break ;; esac
  sleep 0.2
done
if [ "$state" != COMPLETED ]; then
  echo "the merge job ended ${state:-nowhere}"
  tail -n 20 rootweaver-*.out "$tmp/slurmctld.log" "$tmp/slurmd.log" || true
  exit 1
fi
[ ! -e sharded/.rootweaver-shards ]
sameOutputs whole sharded
echo "the merged outputs of the Slurm job array are those of the whole run"
