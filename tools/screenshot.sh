#!/bin/sh
# Takes a screenshot of the real window under a virtual X server.
#   tools/screenshot.sh [build-dir] [output.png]
# Needs xvfb, xauth and imagemagick.
set -eu
build=${1:-build}
out=${2:-docs/screenshot.png}
exec xvfb-run -a -s "-screen 0 480x520x24 -dpi 96" sh -c '
    "$0/app/corvatta" &
    pid=$!
    sleep 2
    import -window root -crop 433x489+0+0 +repage "$1"
    kill $pid
' "$build" "$out"
