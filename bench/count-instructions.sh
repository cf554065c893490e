#!/usr/bin/env bash
# Instructions per call of the plug-in's entry points and of their platform
# floor, counted by callgrind in one benchmark run: a figure that, unlike
# time, does not move with the machine's load (it leaves out time in the
# kernel, which is most of the floor for long lists).
#
#   bench/count-instructions.sh '^map/shares:10/views:1000/'
#
# A map benchmark calls map and unmap once each (the one undoes the other),
# and their floors once each; a snapshot benchmark calls snapshot once.
set -euo pipefail
filter=${1:?usage: $0 BENCHMARK_FILTER}
bench=${ZRSO_BENCH:-build/default/bin/zrso_bench}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no \
  --toggle-collect='zrso_snapDevices' --toggle-collect='zrso_mapSnaps' \
  --toggle-collect='zrso_unmapSnaps' --toggle-collect='bench::ReplaySnapshot*' \
  --toggle-collect='bench::ReplayMap*' --toggle-collect='bench::ReplayUnmap*' \
  "$bench" --benchmark_filter="$filter" --benchmark_min_time=0.000001 >/dev/null 2>&1
callgrind_annotate --inclusive=yes "$out" 2>/dev/null |
  grep -oE '^ *[0-9,]+ .*(NfsObjectStoreEngine.cpp:zrso_(snapDevices|mapSnaps|unmapSnaps)|PlatformReplay.cpp:bench::Replay(Snapshot|Map|Unmap)\()' |
  awk '{ name = $NF; sub(/.*:(bench::)?/, "", name); sub(/\($/, "", name) } !seen[name]++ { print name, $1 }'
