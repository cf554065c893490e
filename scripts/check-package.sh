#!/usr/bin/env bash
# Checks the built Debian packages with lintian (an error or a warning fails
# the check unless the package overrides it, with its reason), installs them
# with apt, checks that the debugging symbols of every installed binary are
# there by its build id, runs the installed snaphost's demo, and removes the
# packages again. Needs root.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=${1:?build folder}
packages=("$build"/*.deb)
names=()
for package in "${packages[@]}"; do names+=("$(dpkg-deb -f "$package" Package)"); done
home=$(mktemp -d /tmp/zrso-package-XXXXXX)
trap 'apt-get remove -y -qq "${names[@]}" >/dev/null 2>&1 || true; rm -rf "$home"' EXIT

echo "lintian ${names[*]}"
lintian --allow-root --fail-on error,warning "${packages[@]}"

installable=()
for package in "${packages[@]}"; do installable+=("$(readlink -f "$package")"); done
apt-get install -y -qq "${installable[@]}" >/dev/null
dpkg-query -W -f='installed ${Package} ${Version}\n' "${names[@]}"

for binary in /usr/bin/snaphost $(dpkg -L "${names[@]}" | grep '\.so$'); do
  id=$(readelf --notes "$binary" | sed -n 's/.*Build ID: \([0-9a-f]*\).*/\1/p')
  test -f "/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" ||
    { echo "no debugging symbols for $binary (build id $id)" >&2; exit 1; }
done
echo "debugging symbols found for snaphost, the plug-in and the platform library"

HOME="$home" /usr/bin/snaphost --version
HOME="$home" /usr/bin/snaphost version
HOME="$home" /usr/bin/snaphost demo | tail -n 1
