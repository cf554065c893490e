#!/usr/bin/env bash
# Installs the Debian packages that the given purposes need:
#   build     the plug-in, the local platform and snaphost (make demo)
#   test      the test suite (make test)
#   fuzz      the libFuzzer targets (make fuzz)
#   memcheck  valgrind (make memcheck)
#   bench     the benchmark, which builds on the tests' packages (make bench)
#   package   the Debian package and its check (make package, make check-package)
# Run as root it installs what is missing. Run as another user it only
# checks, and when something is missing it stops with the command to run as
# root.
# Usage: install-deps.sh PURPOSE...
set -euo pipefail

packages=()
for purpose in "$@"; do
  case "$purpose" in
    build) packages+=(build-essential cmake ninja-build pkg-config
                      libsqlite3-dev libpq-dev libpugixml-dev libcli11-dev uuid-dev) ;;
    # The PostgreSQL server and pg_virtualenv, which makes the throwaway
    # cluster the PostgreSQL tests run on; abidiff (abigail-tools), which
    # holds the plug-in to its binary interface.
    test) packages+=(libgtest-dev libgmock-dev libnss-wrapper postgresql postgresql-common
                     abigail-tools) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    memcheck) packages+=(valgrind) ;;
    bench) packages+=(libbenchmark-dev) ;;
    package) packages+=(dpkg-dev file binutils help2man lintian) ;;
    *) echo "install-deps.sh: unknown purpose [$purpose]" \
            "(build, test, fuzz, memcheck, bench or package)" >&2
       exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

install="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  cat >&2 <<TEXT
These Debian packages are missing: ${missing[*]}
Install them as root, then run make again as yourself:
  su -c '$install'
or, where sudo is set up:
  sudo sh -c '$install'
TEXT
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
