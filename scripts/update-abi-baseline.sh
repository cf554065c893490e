#!/usr/bin/env bash
# Remakes tests/engine/plugin-abi.xml, the binary interface that the ctest
# entry plugin_abi holds the built plug-in to, from the plug-in of a
# RelWithDebInfo build (the default preset). Run it after a deliberate
# change to an entry point or to a type one of them reaches, and commit the
# new baseline with that change.
# The baseline keeps neither locations nor paths, so moving code or building
# in another checkout leaves it unchanged.
# Usage: update-abi-baseline.sh [BUILD_DIR]   (default build/default)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/default}"
build_type="$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")"
if [ "$build_type" != RelWithDebInfo ]; then
  echo "update-abi-baseline.sh: $build is a [$build_type] build, not RelWithDebInfo" >&2
  exit 2
fi
abidw --no-corpus-path --no-show-locs --no-comp-dir-path --no-elf-needed --drop-private-types \
      --out-file "$root/tests/engine/plugin-abi.xml" "$build/lib/libNfsObjectStoreEngine.so"
