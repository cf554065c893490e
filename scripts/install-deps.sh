#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Run as root it installs what is missing; otherwise it only reports.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config binutils
  libsqlite3-dev libpugixml-dev libcli11-dev uuid-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libnss-wrapper clang libclang-rt-14-dev valgrind
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing Debian packages (run as root to install): ${missing[*]}" >&2
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
