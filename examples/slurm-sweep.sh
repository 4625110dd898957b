#!/bin/bash
# A Rootweaver sweep on a Slurm cluster: a job array whose tasks each compute
# one shard of a script, and a job that merges their work once every task
# has ended well.
#
# On the login node, from the directory the jobs should work in:
#
#   bash slurm-sweep.sh SCRIPT.blam OUTPUT_DIR [sbatch options]
#
# submits this file as the array (its tasks run the shards, task K of N
# computing runs K+1, K+1+N, ...) and then the merge, which waits for the
# whole array (--dependency=afterok), and prints the two job ids. The output
# directory must be on a file system that every node sees; the merged files
# land there as one whole run would write them. Options after the output
# directory go to the array and override the lines below, for instance
# --array=0-31 --cpus-per-task=16. The array is 0-M (or 0-M%L, to run at
# most L tasks at once), and its M + 1 tasks are the N shards.
# Set ROOTWEAVER to the program's path when it is not on the nodes' PATH.
#
# When a task fails, the merge job is cancelled rather than left waiting, and
# the other tasks' work stays in OUTPUT_DIR. Run the same line again with
# --rerun and the failed task's index in front, for task 5 of the sweep above
#
#   bash slurm-sweep.sh --rerun 5 SCRIPT.blam OUTPUT_DIR --array=0-31 --cpus-per-task=16
#
# to submit that task alone, as shard 5 of the same 32, and a new merge that
# waits for it. --rerun 5,9 reruns two tasks.
#
#SBATCH --job-name=rootweaver-sweep
#SBATCH --array=0-7
#SBATCH --cpus-per-task=4
#SBATCH --output=rootweaver-sweep-%A_%a.out
set -euo pipefail

rootweaver=${ROOTWEAVER:-rootweaver}

if [ -n "${SLURM_ARRAY_TASK_ID:-}" ]; then
  # A task of the array, given SCRIPT OUTPUT_DIR N by the submission below: a
  # rerun's array holds only the tasks rerun, so its task count is not N.
  if [ $# -ne 3 ]; then
    echo "slurm-sweep.sh: submit it with bash slurm-sweep.sh, not sbatch" >&2
    exit 2
  fi
  exec "$rootweaver" --batch "$1" --shard "$SLURM_ARRAY_TASK_ID/$3" \
    --threads "${SLURM_CPUS_PER_TASK:-1}" --output-dir "$2"
fi

usage() {
  echo "usage: bash slurm-sweep.sh [--rerun K[,K...]] SCRIPT.blam OUTPUT_DIR [sbatch options]" >&2
  exit 2
}
rerun=
if [ "${1:-}" = --rerun ]; then
  [ $# -ge 2 ] || usage
  rerun=$2
  shift 2
fi
[ $# -ge 2 ] || usage
script=$1
output=$2
shift 2

# The array is taken out of the options (0-7, as above, when they give none)
# and given to sbatch again, so that the tasks run are those N counts.
array=0-7
options=()
while [ $# -gt 0 ]; do
  case $1 in
    --array=*) array=${1#--array=} ;;
    --array | -a) [ $# -ge 2 ] || usage; array=$2; shift ;;
    -a*) array=${1#-a} ;;
    *) options+=("$1") ;;
  esac
  shift
done
if [[ ! $array =~ ^0-([0-9]+)(%[0-9]+)?$ ]]; then
  echo "slurm-sweep.sh: the array must be 0-M or 0-M%L, not $array" >&2
  exit 2
fi
shards=$((10#${BASH_REMATCH[1]} + 1))
if [ -n "$rerun" ]; then
  [[ $rerun =~ ^[0-9]+(,[0-9]+)*$ ]] || usage
  for task in ${rerun//,/ }; do
    if [ $((10#$task)) -ge "$shards" ]; then
      echo "slurm-sweep.sh: there is no task $task in the array $array" >&2
      exit 2
    fi
  done
  array=$rerun
fi

# ${options[@]+...}: bash before 4.4 takes an empty array for an unset one.
array=$(sbatch --parsable ${options[@]+"${options[@]}"} --array="$array" "$0" "$script" "$output" \
  "$shards")
array=${array%%;*}
merge=$(sbatch --parsable --job-name=rootweaver-merge --dependency=afterok:"$array" \
  --kill-on-invalid-dep=yes --output=rootweaver-merge-%j.out \
  --wrap="$(printf '%q ' "$rootweaver" --merge "$output")")
echo "$array ${merge%%;*}"
