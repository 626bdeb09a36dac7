#!/bin/sh
# Takes a screenshot of Corvatta.exe's window under Wine on a virtual X
# server, title bar and frame included.
#   tools/screenshot-windows.sh [windows-build-dir] [output.png]
# Needs wine, fonts-wine, xvfb, xauth and imagemagick; makes a throwaway
# Wine prefix in the build folder.
set -eu
build=${1:-build-windows}
out=${2:-docs/screenshot-windows.png}
prefix=$PWD/$build/screenshot-prefix
tests/windows/wine-prefix.sh "$prefix"
WINEPREFIX=$prefix exec xvfb-run -a -s "-screen 0 640x600x24 -dpi 96" sh -eu -c '
    timeout 30 wine "$0/app/Corvatta.exe" &
    sleep 5
    # Nothing but the window on a black screen: trim the black away.
    import -window root -trim +repage "$1"
    wineserver -k
' "$build" "$out"
