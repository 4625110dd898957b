#!/usr/bin/env bash
# The GNU parallel example for real: examples/parallel-sweep.sh runs three
# shards side by side on this machine and merges them, and the outputs are
# compared with one whole run, byte for byte apart from the measured times.
# Skipped (exit status 77) without GNU parallel (Debian package parallel,
# which scripts/install-deps installs).
#
# Usage: parallelSweepTest.sh PROGRAM SOURCE_DIR
set -euo pipefail

program=$1
source=$2
. "$source/tests/cluster/sweepSupport.sh"

if ! parallel --version 2>/dev/null | grep -q "GNU parallel"; then
  echo "SKIPPED: GNU parallel is missing (package parallel)"
  exit 77
fi

work=$(mktemp -d /tmp/rootweaver-parallel.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
copySeededSweep "$source"
"$program" --batch six.blam --output-dir whole > whole.out
ROOTWEAVER=$program bash "$source/examples/parallel-sweep.sh" six.blam sharded 3 > merge.out
[ ! -e sharded/.rootweaver-shards ]
sameOutputs whole sharded
echo "the merged outputs of GNU parallel's shards are those of the whole run"
