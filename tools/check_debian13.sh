#!/bin/sh
# The README's test command (./build.sh test) on a fresh Debian 13 (trixie):
# a minimal root made with debootstrap in build/chroots/trixie, from the
# Debian mirror this machine's apt uses (or $CORVATTA_DEBIAN_MIRROR), holding
# a clean checkout of HEAD (git archive). Needs root.
set -eu
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "$0: needs root (chroot, mount)" >&2; exit 1; }
tools/ensure_packages.sh debootstrap git
root=$(realpath -m build/chroots/trixie)

# Whatever still runs inside (an X server, a browser) holds the mounts.
unmount() {
    for proc_root in /proc/[0-9]*/root; do
        [ "$(readlink "$proc_root" 2>/dev/null)" = "$root" ] || continue
        pid=${proc_root#/proc/}
        kill -KILL "${pid%/root}" 2>/dev/null || true
    done
    awk -v dir="$root" 'index($2 "/", dir "/") == 1 { print $2 }' /proc/mounts | sort -r |
        while read -r mount_point; do umount "$mount_point" || umount -l "$mount_point"; done
}
unmount
rm -rf --one-file-system "$root"
mkdir -p "$root"
[ -n "${CORVATTA_DEBIAN_MIRROR:-}" ] || apt-get update -q >/dev/null
mirror=${CORVATTA_DEBIAN_MIRROR:-$(apt-get indextargets --format '$(REPO_URI)' \
    'Origin: Debian' 'Created-By: Packages' 'Label: Debian' | head -n 1)}
echo "debootstrap --variant=minbase trixie $root $mirror"
debootstrap --variant=minbase trixie "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -n 20 "$root.debootstrap.log" >&2; exit 1; }

trap unmount EXIT
trap 'exit 130' INT TERM
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
# Nothing mounted below the root's /dev may reach the machine's own.
mount --make-rslave "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mkdir "$root/root/corvatta"
git archive HEAD | tar -xf - -C "$root/root/corvatta"
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin sh -c \
    '. /etc/os-release && echo "==== $PRETTY_NAME: ./build.sh test" && cd /root/corvatta && ./build.sh test'
