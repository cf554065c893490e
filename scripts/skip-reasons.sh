#!/usr/bin/env bash
# Prints why each test of the last ctest run in BUILD_DIR was skipped, which
# ctest's summary does not say: a runner's "SKIPPED: reason" line, or
# GoogleTest's line after "Skipped".
# Usage: skip-reasons.sh BUILD_DIR
log=${1:?build folder}/Testing/Temporary/LastTest.log
[ -f "$log" ] || exit 0
awk '
  /^[0-9]+\/[0-9]+ Test: / { name = $3 }
  /^SKIPPED: / { print "skipped " name ": " substr($0, 10) }
  /: Skipped$/ { if ((getline reason) > 0) print "skipped " name ": " reason }
' "$log"
