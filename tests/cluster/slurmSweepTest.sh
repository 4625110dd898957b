#!/usr/bin/env bash
# The Slurm example for real: a throwaway single-node cluster (munged,
# slurmctld and slurmd with all their files in a temporary folder, ports of
# its own) runs examples/slurm-sweep.sh, a job array of three shards and its
# dependent merge job. One task fails, so the merge job is cancelled without
# merging; the failed task rerun alone and a new merge then give the outputs
# of one whole run. The daemons are stopped by their pids, also when the test
# fails, which it does by itself within two minutes. Skipped (exit status 77)
# when not root or without the packages slurm-wlm and munge.
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
export SLURM_CONF=$tmp/slurm.conf
# Every wait ends by this time, well before CTest's timeout would kill the
# test with the daemons still running.
deadline=$((SECONDS + 120))
# Stops the daemons of the pid files given, all at once.
stopPids() {
  local file pid pids=()
  for file; do
    pid=$(cat "$file" 2>/dev/null) && kill "$pid" 2>/dev/null && pids+=("$pid")
  done
  for _ in $(seq 50); do
    kill -0 "${pids[@]}" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "${pids[@]}" 2>/dev/null || true
}
# Jobs go first: slurmd stopped under a running job leaves its slurmstepd.
teardown() {
  if [ -e "$tmp/slurmctld.pid" ]; then
    timeout 10 scancel --quiet --user=root 2>/dev/null || true
    deadline=$((SECONDS + 5))
    waitFor queueEmpty || true
  fi
  stopPids "$tmp/slurmd.pid" "$tmp/slurmctld.pid" "$tmp/munge/munged.pid"
  rm -rf "$tmp"
}
trap teardown EXIT
trap 'exit 1' HUP INT TERM

# Client commands are given a few seconds each, so that a controller that
# stopped answering cannot hold a wait past the deadline.
nodeIdle() { [ "$(timeout 5 sinfo -h -o %t 2>/dev/null)" = idle ]; }
queueEmpty() {
  local jobs
  jobs=$(timeout 5 squeue -h -o %i 2>/dev/null) && [ -z "$jobs" ]
}
jobState() { timeout 5 scontrol show job "$1" | sed -n 's/.*JobState=\([A-Z_]*\).*/\1/p' || true; }
waitFor() {
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
fail() {
  echo "$*"
  tail -n 20 "$tmp"/work/rootweaver-*.out "$tmp/slurmctld.log" "$tmp/slurmd.log" 2>/dev/null || true
  exit 1
}

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
/usr/sbin/slurmctld -f "$SLURM_CONF" || skip "slurmctld did not start"
/usr/sbin/slurmd -f "$SLURM_CONF" -N "$host" || skip "slurmd did not start"
waitFor nodeIdle || fail "the node is not idle: $(sinfo 2>&1)"

cd "$tmp/work"
runWholeSweep "$program" "$source"
# The program as the tasks see it: task 1 fails the first time it runs.
cat > "$tmp/rootweaver" <<WRAPPER
#!/bin/bash
if [ "\${SLURM_ARRAY_TASK_ID:-}" = 1 ] && mkdir "$tmp/failed" 2>/dev/null; then exit 1; fi
exec "$program" "\$@"
WRAPPER
chmod 755 "$tmp/rootweaver"

# Runs the example, with the options given before its arguments, as a three
# shard array, and waits until its jobs have left the queue.
sweep() {
  read -r array merge < <(ROOTWEAVER=$tmp/rootweaver bash "$source/examples/slurm-sweep.sh" \
    "$@" six.blam sharded --array=0-2 --cpus-per-task=1) || fail "the example submitted nothing"
  echo "array job $array, merge job $merge"
  waitFor queueEmpty || fail "jobs still queued: $(squeue 2>&1)"
}

sweep
state=$(jobState "$merge")
[ "$state" = CANCELLED ] || fail "the merge job after a failed task ended ${state:-nowhere}"
[ ! -e "rootweaver-merge-$merge.out" ] || fail "the merge job ran after a failed task"
shards=$(ls sharded/.rootweaver-shards 2>/dev/null | paste -sd ' ' || true)
[ "$shards" = "shard-0-of-3 shard-2-of-3" ] || fail "shards left after task 1 failed: $shards"

sweep --rerun 1
tasks=$(timeout 5 scontrol show job "$array" | grep -o 'ArrayTaskId=[^ ]*' | paste -sd ' ' || true)
[ "$tasks" = ArrayTaskId=1 ] || fail "the rerun ran other tasks than task 1: $tasks"
state=$(jobState "$merge")
[ "$state" = COMPLETED ] || fail "the merge job after the rerun ended ${state:-nowhere}"
[ ! -e sharded/.rootweaver-shards ]
sameOutputs whole sharded
echo "the merged outputs of the Slurm job array, its failed task rerun, are those of the whole run"
