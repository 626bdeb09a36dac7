#!/bin/sh
# Installs whichever of the given Debian packages are missing.
#   tools/ensure_packages.sh package...
# build.sh and the checking scripts call it, so they also work on a fresh
# machine.
set -eu
missing=""
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends $missing
