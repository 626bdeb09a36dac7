#!/bin/sh
# The README's test command (./build.sh test) on a fresh Debian 13 (trixie):
# a minimal root made with debootstrap --variant=minbase in
# build/chroots/trixie, holding a clean checkout of HEAD (git archive).
#   tools/check_debian13.sh
# Needs root; installs debootstrap if missing.
set -eu
cd "$(dirname "$0")/.."
. tools/chroot_lib.sh
[ "$(id -u)" -eq 0 ] || { echo "$0: needs root (chroot, mount)" >&2; exit 1; }
tools/ensure_packages.sh debootstrap git

root=$(realpath -m build/chroots/trixie)
chroot_create trixie "$root"
chroot_mount "$root"
mkdir "$root/root/corvatta"
git archive HEAD | tar -xf - -C "$root/root/corvatta"
in_chroot "$root" sh -c '. /etc/os-release && echo "==== $PRETTY_NAME: ./build.sh test"'
in_chroot "$root" sh -c 'cd /root/corvatta && ./build.sh test'
