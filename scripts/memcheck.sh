#!/usr/bin/env bash
# Runs the demo and the end-to-end tests under valgrind memcheck, the tests
# on SQLite and on a throwaway PostgreSQL cluster (pg_virtualenv): any
# invalid access or definitely lost block fails the run.
# Usage: memcheck.sh BUILD_DIR
set -euo pipefail
build=${1:?build folder}
home=$(mktemp -d /tmp/zrso-memcheck-XXXXXX)
trap 'rm -rf "$home"' EXIT

memcheck=(valgrind --quiet --error-exitcode=99 --leak-check=full
          --errors-for-leak-kinds=definite --show-leak-kinds=definite
          --track-origins=yes)

echo "memcheck: snaphost demo"
"${memcheck[@]}" "$build/bin/snaphost" --home "$home" demo > "$home/demo.out"
tail -n 1 "$home/demo.out"

echo "memcheck: end-to-end tests"
ZRSO_PLATFORM_DB="$home/platform.db" "${memcheck[@]}" \
  "$build/bin/endtoend_test" --gtest_brief=1 --gtest_filter='-PostgreSQL*'

echo "memcheck: end-to-end tests on PostgreSQL"
pg_virtualenv -t -- env ZRSO_TEST_POSTGRESQL=dbname=postgres "${memcheck[@]}" \
  "$build/bin/endtoend_test" --gtest_brief=1 --gtest_filter='PostgreSQL*'
echo "memcheck: clean"
