#!/bin/sh
# Set up, build, and then open the calculator or run every test.
#   ./build.sh run      install what is missing, build, open the calculator
#   ./build.sh test     install what is missing, build all, run every test
#                       (the Windows build's under Wine, the web page's in
#                       headless Chromium)
#   ./build.sh windows  install what is missing, cross-compile Corvatta.exe
#   ./build.sh web      install what is missing, compile the web page into
#                       build-web/site/ (WebAssembly, with Emscripten)
#   ./build.sh deb      build the Debian package into build/deb (tools/build_deb.sh)
# Works on a fresh Debian 12 or 13 machine, as root or with sudo.
set -eu
cd "$(dirname "$0")"

what=${1:-}
build_dir=${CORVATTA_BUILD_DIR:-build}
windows_dir=$build_dir-windows

# Toolchain, Qt 6, the dialog font, and the tools the tests drive: a virtual
# X server, the MinGW resource compiler, desktop-file and AppStream
# validators.
packages="cmake make g++ qt6-base-dev libx11-dev fonts-liberation2 xvfb xauth
    binutils-mingw-w64-x86-64 desktop-file-utils appstream"
# For the tests only: the Wayland desktops weston and mutter with XWayland,
# Qt's Wayland platform (without it the check that the window opens through
# XWayland could never fail), xdotool and X's window tools (x11-apps for
# xwd, which reads what a window shows).
wayland_test_packages="weston mutter xwayland qt6-wayland xdotool x11-utils x11-apps dbus-daemon"

# The Windows build: the MinGW-w64 cross-compiler, and Wine with Windows'
# fonts for its tests.
windows_packages="cmake make g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64"
windows_test_packages="wine wine64 fonts-wine xvfb xauth"

# The web build: Emscripten (its optimiser runs under Node and needs acorn),
# and for its tests three browsers: Chromium through chromium-driver,
# WebKitGTK's MiniBrowser through webkit2gtk-driver under Xvfb (with the
# locale sources it builds its languages from), and Firefox ESR through the
# WebDriver BiDi it speaks itself, over python3-websocket.
web_packages="cmake make emscripten node-acorn"
web_test_packages="chromium chromium-driver webkit2gtk-driver xvfb locales firefox-esr python3-websocket fonts-liberation2"
web_dir=$build_dir-web

install_missing() {
    # shellcheck disable=SC2086 # one word per package
    tools/ensure_packages.sh "$@"
}

build() {
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" ${CORVATTA_CMAKE_ARGS:-}
    cmake --build "$build_dir" -j "$(nproc)"
}

build_windows() {
    cmake -S . -B "$windows_dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
        -DCMAKE_BUILD_TYPE=MinSizeRel "$@" ${CORVATTA_CMAKE_ARGS:-}
    cmake --build "$windows_dir" -j "$(nproc)"
    echo "Built $windows_dir/app/Corvatta.exe ($(stat -c %s "$windows_dir/app/Corvatta.exe") bytes)"
}

build_web() {
    # Debian's em++ finds acorn among Debian's own Node modules only, which
    # a Node from elsewhere does not search.
    NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    export NODE_PATH
    emcmake cmake -S . -B "$web_dir" -DCMAKE_BUILD_TYPE=MinSizeRel "$@" ${CORVATTA_CMAKE_ARGS:-}
    cmake --build "$web_dir" -j "$(nproc)"
    echo "Built $web_dir/site/ ($(du -sb "$web_dir/site" | cut -f1) bytes)"
}

case "$what" in
run)
    # shellcheck disable=SC2086
    install_missing $packages
    # The program alone: the tests need more than it does.
    build -DBUILD_TESTING=OFF
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
    # CORVATTA_WINDOWS_TESTS=off leaves the Windows build out (the sanitizer
    # build does, having nothing to add to it).
    windows=${CORVATTA_WINDOWS_TESTS:-on}
    [ "$windows" = off ] || packages="$packages $windows_packages $windows_test_packages"
    # CORVATTA_WEB_TESTS=off likewise leaves the web page out.
    web=${CORVATTA_WEB_TESTS:-on}
    [ "$web" = off ] || packages="$packages $web_packages $web_test_packages"
    packages="$packages $wayland_test_packages"
    # shellcheck disable=SC2086
    install_missing $packages
    build -DBUILD_TESTING=ON
    [ "$windows" = off ] || build_windows -DBUILD_TESTING=ON
    [ "$web" = off ] || build_web -DBUILD_TESTING=ON
    # Every suite runs, even when one before it fails.
    status=0
    (cd "$build_dir" && ctest --output-on-failure -j "$(nproc)") || status=1
    if [ "$windows" != off ]; then
        echo
        echo "Windows build, under Wine:"
        (cd "$windows_dir" && ctest --output-on-failure) || status=1
    fi
    if [ "$web" != off ]; then
        echo
        echo "Web page, in headless Chromium:"
        # Each test has its own browser and server: they can run side by side.
        (cd "$web_dir" && ctest --output-on-failure -j "$(nproc)") || status=1
    fi
    exit $status
    ;;
windows)
    # shellcheck disable=SC2086
    install_missing $windows_packages
    build_windows -DBUILD_TESTING=OFF
    ;;
web)
    # shellcheck disable=SC2086
    install_missing $web_packages
    build_web -DBUILD_TESTING=OFF
    ;;
deb)
    exec tools/build_deb.sh "$build_dir/deb"
    ;;
*)
    echo "usage: $0 run|test|windows|web|deb" >&2
    exit 2
    ;;
esac
