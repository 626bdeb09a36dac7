#!/bin/sh
# Runs a Windows program under Wine with the screen set to another
# resolution, then sets it back to 96 dpi whatever happened.
#   tests/windows/at-dpi.sh DPI PROGRAM.exe [ARGUMENT...]
set -eu
dpi=$1
shift
here=$(dirname "$0")
logpixels() {
    "$here/wine-run.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$1" /f >/dev/null 2>&1
    timeout 30 wineserver -w
}
trap 'logpixels 96' EXIT
logpixels "$dpi"
"$here/wine-run.sh" "$@"
