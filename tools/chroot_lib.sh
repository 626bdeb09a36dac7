# shellcheck shell=sh
# Helpers for the checks that run in a throwaway Debian root; sourced by
# tools/check_deb_install.sh and tools/check_debian13.sh. Needs root.
#
#   chroot_create SUITE DIR   a fresh minbase root of SUITE at DIR, fetched from
#                             the Debian mirror this machine's apt uses
#                             (or $CORVATTA_DEBIAN_MIRROR)
#   chroot_mount DIR          mounts /proc, /sys, /dev and /dev/pts in it; an
#                             EXIT trap stops what still runs in it and
#                             unmounts them again
#   in_chroot DIR COMMAND...  runs COMMAND as root in it, with a clean
#                             environment
#
# Roots live under build/chroots/, which git ignores.

chroot_mirror() {
    if [ -n "${CORVATTA_DEBIAN_MIRROR:-}" ]; then
        echo "$CORVATTA_DEBIAN_MIRROR"
        return
    fi
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    for attempt in first second; do
        # The repository that serves this release's own suite.
        mirror=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $codename" \
            'Origin: Debian' 'Created-By: Packages' 2>/dev/null | head -n 1)
        if [ -n "$mirror" ]; then
            echo "$mirror"
            return
        fi
        [ "$attempt" = second ] || apt-get update -q >&2
    done
    echo "no Debian mirror for $codename in the apt configuration;" \
        "set CORVATTA_DEBIAN_MIRROR" >&2
    return 1
}

# Mount points under DIR, deepest first.
chroot_mounts_under() {
    awk -v dir="$1" 'index($2 "/", dir "/") == 1 { print $2 }' /proc/mounts | sort -r
}

chroot_unmount() {
    root=$1
    # Whatever still runs inside (an X server, the program) holds the mounts.
    for proc_root in /proc/[0-9]*/root; do
        [ "$(readlink "$proc_root" 2>/dev/null)" = "$root" ] || continue
        pid=${proc_root#/proc/}
        kill -KILL "${pid%/root}" 2>/dev/null || true
    done
    for mount_point in $(chroot_mounts_under "$root"); do
        umount "$mount_point" 2>/dev/null || umount -l "$mount_point"
    done
}

chroot_create() {
    suite=$1
    root=$(realpath -m "$2")
    mirror=$(chroot_mirror)
    chroot_unmount "$root"
    if [ -n "$(chroot_mounts_under "$root")" ]; then
        echo "$root: still has mounts, not removing it" >&2
        return 1
    fi
    rm -rf --one-file-system "$root"
    mkdir -p "$(dirname "$root")"
    echo "debootstrap --variant=minbase $suite $root $mirror"
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
        tail -n 20 "$root.debootstrap.log" >&2
        return 1
    }
}

chroot_mount() {
    root=$(realpath "$1")
    chroot_root=$root
    trap 'chroot_unmount "$chroot_root"' EXIT
    trap 'exit 130' INT TERM
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    # Nothing mounted below the root's /dev may reach the machine's own.
    mount --make-rslave "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
}

in_chroot() {
    root=$1
    shift
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive "$@"
}
