#!/usr/bin/env bash
# Runs the tests named PostgreSQL... of each given test program, all on one
# throwaway PostgreSQL cluster that pg_virtualenv (Debian's
# postgresql-common) makes and removes again. The tests find it through
# ZRSO_TEST_POSTGRESQL and libpq's PG* variables, which pg_virtualenv sets.
# Exits with 77, which ctest reports as skipped, and the reason when no
# cluster can be made.
# Usage: run-on-postgresql.sh TEST_PROGRAM...
set -u

skip() {
  echo "SKIPPED: $*"
  exit 77
}

command -v pg_virtualenv >/dev/null ||
  skip "pg_virtualenv is not installed (Debian package postgresql-common: scripts/install-deps.sh test)"
ls /usr/lib/postgresql/*/bin/pg_ctl >/dev/null 2>&1 ||
  skip "no PostgreSQL server is installed (Debian package postgresql: scripts/install-deps.sh test)"

started=$(mktemp)
trap 'rm -f "$started"' EXIT
# -t: the cluster in a temporary folder even for root, so that the runs of
# several checkouts at once do not meet.
pg_virtualenv -t -- bash -c '
  echo started >"$0"
  export ZRSO_TEST_POSTGRESQL="dbname=postgres"
  status=0
  for program in "$@"; do
    "$program" --gtest_filter="PostgreSQL*" || status=1
  done
  exit $status' "$started" "$@"
status=$?
[ -s "$started" ] || skip "pg_virtualenv could not start a PostgreSQL cluster (exit code $status, output above)"
exit $status
