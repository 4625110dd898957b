#!/bin/bash
# A Rootweaver sweep on a few machines with GNU parallel: N shards at once,
# one a machine, then the merge.
#
#   ROOTWEAVER_HOSTS=node1,node2,node3 bash parallel-sweep.sh SCRIPT.blam OUTPUT_DIR [N]
#
# ROOTWEAVER_HOSTS is parallel's -S list (":" is this machine, the default);
# the machines reach each other by ssh and share the working directory and
# OUTPUT_DIR. N is 3 unless given. The heart of it is this one line:
set -euo pipefail
shards=${3:-3}
parallel -S "${ROOTWEAVER_HOSTS:-:}" --workdir . "${ROOTWEAVER:-rootweaver}" --batch "$1" --shard {}/"$shards" --output-dir "$2" ::: $(seq 0 $((shards - 1))) && "${ROOTWEAVER:-rootweaver}" --merge "$2"
