#!/bin/sh
# Installs the Debian package in a fresh minimal Debian root, starts the
# program under a virtual X server, removes the package again and checks
# that nothing of it is left behind.
#   tools/check_deb_install.sh [corvatta_*.deb]   (default: the one in build/deb)
# The root is this machine's release, made with debootstrap --variant=minbase
# in build/chroots/install. Needs root; installs debootstrap if missing.
set -eu
deb=""
[ $# -gt 0 ] && deb=$(realpath -m "$1")
cd "$(dirname "$0")/.."
. tools/chroot_lib.sh

[ -n "$deb" ] || deb=$(ls build/deb/corvatta_*.deb 2>/dev/null || echo build/deb/corvatta_*.deb)
[ -f "$deb" ] || { echo "no package $deb; build it with ./build.sh deb" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "$0: needs root (chroot, mount)" >&2; exit 1; }
tools/ensure_packages.sh debootstrap

root=$(realpath -m build/chroots/install)
chroot_create "$(. /etc/os-release && echo "$VERSION_CODENAME")" "$root"
chroot_mount "$root"
cp "$deb" "$root/tmp/"
deb_name=$(basename "$deb")

# Everything outside apt's and dpkg's own records, caches and logs.
list_files() {
    in_chroot "$root" find / -xdev \( -path /var/lib/apt -o -path /var/lib/dpkg \
        -o -path /var/cache -o -path /var/log -o -path /tmp -o -path /root \
        -o -path /run \) -prune -o -print | sort
}

in_chroot "$root" apt-get update -q
# The check's own tools: a virtual X server, and xwininfo to see the window.
in_chroot "$root" apt-get install -y -q --no-install-recommends xvfb xauth x11-utils
list_files >"$root.before"

# Without Recommends: the package's Depends alone must be enough to run it.
echo "==== apt-get install ./$deb_name"
in_chroot "$root" apt-get install -y -q --no-install-recommends "/tmp/$deb_name"

echo "==== corvatta under Xvfb"
in_chroot "$root" xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    mkdir -p /tmp/home
    HOME=/tmp/home corvatta &
    pid=$!
    for _ in $(seq 100); do
        if xwininfo -name Corvatta 2>/dev/null | grep -q "Map State: IsViewable"; then
            echo "the Corvatta window is mapped"
            kill "$pid"
            exit 0
        fi
        kill -0 "$pid" 2>/dev/null || { echo "corvatta exited without a window"; exit 1; }
        sleep 0.2
    done
    echo "no Corvatta window after 20 s"
    kill "$pid"
    exit 1'

echo "==== apt-get remove --purge corvatta"
in_chroot "$root" dpkg -L corvatta >"$root.files"
in_chroot "$root" apt-get remove --purge -y -q corvatta
left=""
while read -r path; do
    # Folders may stay when another package owns them or files remain in them.
    if [ -d "$root$path" ] && [ ! -L "$root$path" ]; then
        [ -z "$(ls -A "$root$path")" ] || continue
        in_chroot "$root" dpkg -S "$path" >/dev/null 2>&1 && continue
    fi
    if [ -e "$root$path" ] || [ -L "$root$path" ]; then
        left="$left
    $path"
    fi
done <"$root.files"
if [ -n "$left" ]; then
    echo "left behind by apt-get remove --purge corvatta:$left"
    exit 1
fi
if in_chroot "$root" dpkg -s corvatta >/dev/null 2>&1; then
    echo "dpkg still knows corvatta after the purge"
    exit 1
fi

# Then the dependencies it pulled in. apt may keep some of them (one that
# also satisfies another package's alternatives, like a font); their files
# belong to them. Any other file that was not there before is left over.
in_chroot "$root" apt-get autoremove --purge -y -q
list_files >"$root.after"
comm -13 "$root.before" "$root.after" >"$root.new"
in_chroot "$root" sh -c 'while read -r path; do
    dpkg -S "$path" >/dev/null 2>&1 || echo "    $path"
done' <"$root.new" >"$root.orphans"
if [ -s "$root.orphans" ]; then
    echo "files nobody owns, left behind after the purge and autoremove:"
    cat "$root.orphans"
    exit 1
fi
echo "installed, started and removed cleanly: nothing left behind"
