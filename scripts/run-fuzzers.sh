#!/usr/bin/env bash
# Runs every built fuzz target for a bounded time on its seed corpus.
# Usage: run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]
# Inputs that grow coverage are merged into the seed corpus fuzz/corpus/<name>
# (libFuzzer's -merge keeps only those that add coverage), so the corpus grows
# with what the fuzzers find; commit it.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)

shopt -s nullglob
targets=("$build"/bin/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/bin"; exit 0; }
for target in "${targets[@]}"; do
  name=$(basename "$target"); name=${name#fuzz_}
  seeds="$root/fuzz/corpus/$name"
  found="$build/corpus-new/$name"
  mkdir -p "$found" "$seeds"
  echo "fuzzing $name for ${seconds}s"
  ZRSO_PLATFORM_DB="$build/fuzz-platform-$name.db" \
    "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
    "$found" "$seeds" 2>&1 | tail -n 12
  before=$(ls "$seeds" | wc -l)
  ZRSO_PLATFORM_DB="$build/fuzz-platform-$name.db" \
    "$target" -merge=1 "$seeds" "$found" > /dev/null 2>&1
  echo "seed corpus $name: $before -> $(ls "$seeds" | wc -l) inputs"
  rm -rf "$found"
done
