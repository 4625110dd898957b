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
# --array=0-31 --cpus-per-task=16 (the array's indices must run from 0).
# Set ROOTWEAVER to the program's path when it is not on the nodes' PATH.
#
#SBATCH --job-name=rootweaver-sweep
#SBATCH --array=0-7
#SBATCH --cpus-per-task=4
#SBATCH --output=rootweaver-sweep-%A_%a.out
set -euo pipefail

rootweaver=${ROOTWEAVER:-rootweaver}
script=$1
output=$2
shift 2

if [ -n "${SLURM_ARRAY_TASK_ID:-}" ]; then
  # A task of the array: its shard, on the CPUs Slurm granted the task.
  exec "$rootweaver" --batch "$script" \
    --shard "$SLURM_ARRAY_TASK_ID/$SLURM_ARRAY_TASK_COUNT" \
    --threads "${SLURM_CPUS_PER_TASK:-1}" --output-dir "$output"
fi

array=$(sbatch --parsable "$@" "$0" "$script" "$output")
array=${array%%;*}
merge=$(sbatch --parsable --job-name=rootweaver-merge --dependency=afterok:"$array" \
  --output=rootweaver-merge-%j.out --wrap="$(printf '%q ' "$rootweaver" --merge "$output")")
echo "$array ${merge%%;*}"
