#!/usr/bin/env bash
# Installs the Debian packages that the given purposes need:
#   build     the plug-in, the local platform and snaphost (make demo)
#   test      the test suite (make test)
#   fuzz      the libFuzzer targets (make fuzz)
#   memcheck  valgrind (make memcheck)
#   bench     the benchmark, which builds on the tests' packages (make bench)
#   package   the Debian package (make package)
#   lint      the package's check with lintian (make check-package)
# Run as root it installs what is missing. Run as another user it only
# checks, and when something is missing it stops with the command to run as
# root.
# Usage: install-deps.sh PURPOSE...
set -euo pipefail

# The packages of the given purposes.
packages_of() {
  local purpose
  for purpose in "$@"; do
    case "$purpose" in
      build) echo build-essential cmake ninja-build pkg-config \
                  libsqlite3-dev libpq-dev libpugixml-dev nlohmann-json3-dev libcli11-dev uuid-dev ;;
      # The PostgreSQL server and pg_virtualenv, which makes the throwaway
      # cluster the PostgreSQL tests run on; abidiff (abigail-tools), which
      # holds the plug-in to its binary interface.
      test) echo libgtest-dev libgmock-dev libnss-wrapper postgresql postgresql-common \
                 abigail-tools ;;
      fuzz) echo clang libclang-rt-14-dev ;;
      memcheck) echo valgrind ;;
      bench) echo libbenchmark-dev ;;
      package) echo dpkg-dev file binutils help2man ;;
      lint) echo lintian ;;
      *) echo "install-deps.sh: unknown purpose [$purpose]" \
              "(build, test, fuzz, memcheck, bench, package or lint)" >&2
         return 2 ;;
    esac
  done
}

# Those of `packages_of PURPOSE...` that are not installed.
missing_of() {
  local p listed
  listed=$(packages_of "$@") || exit 2
  for p in $listed; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

packages_of "$@" > /dev/null || exit 2
mapfile -t missing < <(missing_of "$@")
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  # One trip to root for both everyday commands: what make demo and make
  # test need is named with what this command needs.
  mapfile -t also < <(missing_of build test | grep -vxF -f <(printf '%s\n' "${missing[@]}"))
  install="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}${also[*]:+ ${also[*]}}"
  cat >&2 <<TEXT
These Debian packages are missing: ${missing[*]}
Install them as root${also[*]:+, with ${also[*]}, which make demo and make test need too}, then
run make again as yourself:
  su -c '$install'
or, where sudo is set up:
  sudo sh -c '$install'
TEXT
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
