#!/bin/sh
# Set up, build, and then open the calculator or run every test.
#   ./build.sh run    install what is missing, build, open the calculator
#   ./build.sh test   install what is missing, build, run the whole test suite
#   ./build.sh deb    build the Debian package into build/deb (tools/build_deb.sh)
# Works on a fresh Debian 12 or 13 machine, as root or with sudo.
set -eu
cd "$(dirname "$0")"

what=${1:-}
build_dir=${CORVATTA_BUILD_DIR:-build}

# Toolchain, Qt 6, the dialog font, and the tools the tests drive: a virtual
# X server, the MinGW resource compiler, desktop-file and AppStream
# validators.
packages="cmake make g++ qt6-base-dev libx11-dev fonts-liberation2 xvfb xauth
    binutils-mingw-w64-x86-64 desktop-file-utils appstream"

install_missing() {
    # shellcheck disable=SC2086 # one word per package
    tools/ensure_packages.sh $packages
}

build() {
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CORVATTA_CMAKE_ARGS:-}
    cmake --build "$build_dir" -j "$(nproc)"
}

case "$what" in
run)
    install_missing
    build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo
        echo "Built $build_dir/app/corvatta, but this machine has no display to open it on."
        echo "Run it from a desktop session, or on a virtual display with:"
        echo "    xvfb-run -a $build_dir/app/corvatta"
        exit 1
    fi
    exec "$build_dir/app/corvatta"
    ;;
test)
    install_missing
    build
    cd "$build_dir"
    ctest --output-on-failure -j "$(nproc)"
    ;;
deb)
    exec tools/build_deb.sh "$build_dir/deb"
    ;;
*)
    echo "usage: $0 run|test|deb" >&2
    exit 2
    ;;
esac
