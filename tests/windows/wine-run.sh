#!/bin/sh
# Runs a Windows program under Wine, as CTest's emulator for the Windows
# build: in the build folder's own prefix (made by wine-prefix.sh), with a
# time limit, so that a hang fails the test instead of stalling it.
#   tests/windows/wine-run.sh PROGRAM.exe [ARGUMENT...]
set -eu
: "${WINEPREFIX:=$PWD/wineprefix}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
exec timeout -k 5 "${CORVATTA_WINE_TIMEOUT:-60}" wine "$@"
