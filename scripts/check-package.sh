#!/usr/bin/env bash
# Installs the built Debian package with apt, runs the installed snaphost's
# demo, and removes the package again. Needs root.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=${1:?build folder}
package=$(ls "$build"/*.deb | head -n 1)
name=$(dpkg-deb -f "$package" Package)
home=$(mktemp -d /tmp/zrso-package-XXXXXX)
trap 'apt-get remove -y -qq "$name" >/dev/null 2>&1 || true; rm -rf "$home"' EXIT

apt-get install -y -qq "$(readlink -f "$package")" >/dev/null
echo "installed $(dpkg-query -W -f='${Package} ${Version}' "$name")"
HOME="$home" /usr/bin/snaphost version
HOME="$home" /usr/bin/snaphost demo | tail -n 1
