#!/usr/bin/env bash
# Runs every built fuzz target for a bounded time on its seed corpus.
# Usage: run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]
# Inputs that grow coverage are merged into the seed corpus fuzz/corpus/<name>
# (libFuzzer's -merge keeps only those that add coverage), so the corpus grows
# with what the fuzzers find; commit it. Ends with each target's inputs per
# second; the targets that need a platform run on one in memory.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)

shopt -s nullglob
targets=("$build"/bin/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/bin"; exit 0; }
report="$build/fuzz-speed.txt"
: > "$report"
for target in "${targets[@]}"; do
  name=$(basename "$target"); name=${name#fuzz_}
  seeds="$root/fuzz/corpus/$name"
  found="$build/corpus-new/$name"
  log="$build/fuzz-$name.log"
  mkdir -p "$found" "$seeds"
  echo "fuzzing $name for ${seconds}s"
  # A crash, a sanitizer report or a broken property fails the run.
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
    "$found" "$seeds" > "$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  printf '%-16s %10s inputs  %7s inputs/s\n' "$name" "$runs" "$speed" | tee -a "$report"
  before=$(ls "$seeds" | wc -l)
  "$target" -merge=1 "$seeds" "$found" > /dev/null 2>&1
  echo "seed corpus $name: $before -> $(ls "$seeds" | wc -l) inputs"
  rm -rf "$found"
done
echo "inputs per second of each target (also in $report):"
cat "$report"
