#!/usr/bin/env bash
# Compares the built plug-in's binary interface (its entry points, their
# signatures and every type they reach, argument records included) with the
# committed baseline. Any difference fails, an added function included: the
# interface is the plug-in's contract with every host that loads it.
# scripts/update-abi-baseline.sh remakes the baseline after a deliberate
# change. Exits with 77, which ctest reports as skipped, where abidiff
# (abigail-tools) is missing.
# Usage: check-plugin-abi.sh BASELINE PLUGIN
set -u

if ! command -v abidiff >/dev/null; then
  echo "SKIPPED: abidiff not found (Debian package abigail-tools)"
  exit 77
fi
abidiff --no-show-locs --fail-no-debug-info "$1" "$2"
status=$?
# abidiff's status is a bit field: 1 error, 2 usage error, 4 ABI change,
# 8 incompatible ABI change.
if [ $status -ne 0 ]; then
  echo "The plug-in's binary interface differs from $1 (abidiff status $status);" \
       "after a deliberate change run scripts/update-abi-baseline.sh"
  exit 1
fi
echo "The plug-in's binary interface matches $1"
