# Helpers of the sweep tests, sourced by them.

# Writes six.blam here, the engine tests' sweep with _seed set so that it
# can run as shards, and runs it whole into whole/ by the program ($1) of the
# source tree ($2).
runWholeSweep() {
  { echo "_seed = 7"; cat "$2/tests/blam/sweeps/six.blam"; } > six.blam
  "$1" --batch six.blam --output-dir whole > whole.out
}

skip() {
  echo "SKIPPED: $*"
  exit 77
}

# Copies the directory to a new one with the measured times masked: a data
# block's Took line and the seconds column of a statistics CSV file.
maskedCopy() {
  local from=$1 to=$2
  cp -r "$from" "$to"
  find "$to" -name '*.txt' -exec sed -i -E 's/^(Took: \t\t)[^ ]*/\1#/' {} +
  find "$to" -name '*-stats.csv' | while read -r csv; do
    awk -F, -v OFS=, 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == "seconds") c = i }
                      NR > 1 && c { $c = "#" } { print }' "$csv" > "$csv.masked"
    mv "$csv.masked" "$csv"
  done
}

# Whether two output directories hold the same files, byte for byte apart
# from the measured times; the differences on standard output when not.
sameOutputs() {
  local work status=0
  work=$(mktemp -d)
  maskedCopy "$1" "$work/a"
  maskedCopy "$2" "$work/b"
  diff -r "$work/a" "$work/b" || status=1
  rm -rf "$work"
  return $status
}
