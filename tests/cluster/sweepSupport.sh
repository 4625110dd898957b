# Helpers of the sweep tests, sourced by them.

# Writes six.blam here: the sweep of the engine's sweep tests, whose jittered
# pictures in random colours can be split into shards once a first line sets
# _seed.
copySeededSweep() {
  { echo "_seed = 7"; cat "$1/tests/blam/sweeps/six.blam"; } > six.blam
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
  local work
  work=$(mktemp -d)
  maskedCopy "$1" "$work/a"
  maskedCopy "$2" "$work/b"
  local status=0
  diff -r "$work/a" "$work/b" || status=1
  rm -rf "$work"
  return $status
}
