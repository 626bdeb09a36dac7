#!/bin/sh
# Takes a screenshot of Corvatta.exe's window under Wine on a virtual X
# server, title bar and frame included.
#   tools/screenshot-windows.sh [windows-build-dir] [output.png] [dpi]
# The dpi is the screen's resolution Wine gives Windows programs: 96 (the
# default) is 100 %, 144 is 150 %, 192 is 200 %.
# Needs wine, fonts-wine, xvfb, xauth and imagemagick; makes a throwaway
# Wine prefix in the build folder.
set -eu
build=${1:-build-windows}
out=${2:-docs/screenshot-windows.png}
dpi=${3:-96}
prefix=$PWD/$build/screenshot-prefix
tests/windows/wine-prefix.sh "$prefix"
WINEPREFIX=$prefix timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
WINEPREFIX=$prefix timeout 30 wineserver -w
WINEPREFIX=$prefix exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" sh -eu -c '
    timeout 30 wine "$0/app/Corvatta.exe" &
    sleep 5
    # Nothing but the window on a black screen: trim the black away.
    import -window root -trim +repage "$1"
    wineserver -k
' "$build" "$out"
