#!/bin/sh
# Makes a fresh Wine prefix for the Windows tests.
#   tests/windows/wine-prefix.sh PREFIX
# The prefix is set up for running unattended without a window manager:
# Windows' own fonts, no 2-second stall on every closing window, and no
# crash dialog that would wait for ever.
set -eu
prefix=$1
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 120 wineboot -i >/dev/null 2>&1
timeout 30 wineserver -w
# Debian's Wine puts no fonts into a new prefix; without them every font
# would be Liberation Sans.
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
reg() { timeout 60 wine reg add "$@" /f >/dev/null 2>&1; }
# As on Windows, the dialog font "MS Shell Dlg" is the MS Sans Serif design
# (Windows maps it to Microsoft Sans Serif, which Wine lacks); Wine's own
# default, Tahoma, is wider and is not what Windows users see.
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "MS Shell Dlg" /d "MS Sans Serif"
# Windows that are not managed by a window manager close at once.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
# A crashing test fails; no dialog waits for someone to close it.
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
timeout 30 wineserver -w
