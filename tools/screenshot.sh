#!/bin/sh
# Takes a screenshot of the real window's client area on a virtual X server.
#   tools/screenshot.sh [build-dir] [output.png]
# Needs xvfb, xauth, x11-utils and imagemagick.
set -eu
build=${1:-build}
out=${2:-docs/screenshot.png}
exec xvfb-run -a -s "-screen 0 640x600x24 -dpi 96" sh -eu -c '
    "$0/app/corvatta" 2>/dev/null &
    pid=$!
    sleep 2
    for id in $(xwininfo -root -tree | awk "/\"Corvatta\"/ { print \$1 }"); do
        if xwininfo -id "$id" | grep -q IsViewable; then
            import -window "$id" "$1"
        fi
    done
    kill $pid
' "$build" "$out"
