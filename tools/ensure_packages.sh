#!/bin/sh
# Installs whichever of the given Debian packages are missing.
#   tools/ensure_packages.sh [--build-deps] package...
# --build-deps installs debian/control's Build-Depends as well (apt reads
# them there). build.sh and the checking scripts call it, so they also work
# on a fresh machine.
set -eu
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
updated=""
apt_get() { # command [package...]
    [ -n "$updated" ] || $sudo apt-get update -q
    updated=yes
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 \
        -y -q --no-install-recommends "$@"
}
if [ "${1:-}" = --build-deps ]; then
    shift
    dpkg-checkbuilddeps >/dev/null 2>&1 || apt_get build-dep ./
fi
missing=""
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
# shellcheck disable=SC2086 # one word per package
apt_get install $missing
