#!/usr/bin/env bash
# The GNU parallel example for real: examples/parallel-sweep.sh runs three
# shards side by side and merges them into the outputs of one whole run.
# Skipped (exit status 77) without GNU parallel (package parallel).
#
# Usage: parallelSweepTest.sh PROGRAM SOURCE_DIR
set -euo pipefail

program=$1
source=$2
. "$source/tests/cluster/sweepSupport.sh"

parallel --version 2>/dev/null | grep -q "GNU parallel" || skip "GNU parallel is missing"

work=$(mktemp -d /tmp/rootweaver-parallel.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
runWholeSweep "$program" "$source"
ROOTWEAVER=$program bash "$source/examples/parallel-sweep.sh" six.blam sharded 3 > merge.out
[ ! -e sharded/.rootweaver-shards ]
sameOutputs whole sharded
echo "the merged outputs of GNU parallel's shards are those of the whole run"
