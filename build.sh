#!/bin/sh
# shellcheck disable=SC2034 # the package lists are read by name, through eval
# Installs what is missing, then builds with the presets in CMakePresets.json.
#   ./build.sh run             build the calculator and open it
#   ./build.sh test            build and run every suite: Linux, Windows under
#                              Wine, the web page in Chromium, WebKitGTK and
#                              Firefox ESR; each runs even if one before fails
#   ./build.sh test PRESET...  the same for the named workflow presets (linux,
#                              windows, web, asan, fuzz, tidy)
#   ./build.sh windows         cross-compile build-windows/app/Corvatta.exe
#   ./build.sh web             compile the web page into build-web/site/
#   ./build.sh deb             build the Debian package into build/deb
# Works on a fresh Debian 12 or 13 machine, as root or with sudo.
set -eu
cd "$(dirname "$0")"

# The Linux build and its tests need debian/control's Build-Depends (apt reads
# them there); the presets need Ninja. Beyond that, per preset:
#   linux    the Wayland desktops weston and mutter with XWayland, Qt's Wayland
#            platform (without it the check that the window opens through
#            XWayland could never fail), xdotool and X's window tools (x11-apps
#            for xwd, which reads what a window shows)
#   windows  the MinGW-w64 cross-compiler; Wine with Windows' fonts
#   web      Emscripten (its optimiser runs under Node and needs acorn); three
#            browsers: Chromium through chromium-driver, WebKitGTK's MiniBrowser
#            through webkit2gtk-driver (with the locale sources it builds its
#            languages from), and Firefox ESR through the WebDriver BiDi it
#            speaks itself, over python3-websocket
#   asan     the linux preset's
#   fuzz     Clang and its libFuzzer
#   tidy     clang-tidy
linux_build=""
linux_test="weston mutter xwayland qt6-wayland xdotool x11-utils x11-apps dbus-daemon"
windows_build="g++-mingw-w64-x86-64-win32"
windows_test="wine wine64 fonts-wine"
web_build="emscripten node-acorn"
web_test="chromium chromium-driver webkit2gtk-driver locales firefox-esr python3-websocket"
asan_build="" asan_test=$linux_test
fuzz_build="clang-14 libclang-rt-14-dev" fuzz_test=""
tidy_build="clang-tidy-14" tidy_test=""

install_missing() { # preset... ; then "test" to add the presets' test packages
    packages="ninja-build"
    for preset in $presets; do
        eval "packages=\"\$packages \$${preset}_build\""
        [ "$what" != test ] || eval "packages=\"\$packages \$${preset}_test\""
    done
    # shellcheck disable=SC2086 # one word per package
    tools/ensure_packages.sh --build-deps $packages
}

# Ninja and CTest use every CPU unless told otherwise.
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
export CMAKE_BUILD_PARALLEL_LEVEL CTEST_PARALLEL_LEVEL

what=${1:-}
[ $# -eq 0 ] || shift
case "$what" in
run)
    presets=linux
    install_missing
    # The program alone: the tests need more than it does.
    cmake --preset linux -DBUILD_TESTING=OFF
    cmake --build --preset linux
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo
        echo "Built build/app/corvatta, but this machine has no display to open it on."
        echo "Run it from a desktop session, or on a virtual display with:"
        echo "    xvfb-run -a build/app/corvatta"
        exit 1
    fi
    exec build/app/corvatta
    ;;
test)
    presets=${*:-linux windows web}
    install_missing
    status=0
    for preset in $presets; do
        echo
        echo "==== $preset: cmake --workflow --preset $preset"
        cmake --workflow --preset "$preset" || status=1
    done
    exit $status
    ;;
windows | web)
    presets=$what
    install_missing
    cmake --preset "$what" -DBUILD_TESTING=OFF
    cmake --build --preset "$what"
    ;;
deb)
    exec tools/build_deb.sh build/deb
    ;;
*)
    echo "usage: $0 run | test [PRESET...] | windows | web | deb" >&2
    exit 2
    ;;
esac
