#!/bin/sh
# The web page's figures: the site's size, raw and gzipped, and the time from
# navigation to the first paint of the complete window in headless Chromium,
# against a static page that holds the same controls and no script.
#   bench/web/run.sh [SITE]        (SITE: build-web/site, from ./build.sh web)
# Needs chromium and chromium-driver (./build.sh test
# installs them). Targets: under 100 KB gzipped in all, and a first paint
# within 1.15 times the static page's. bench/web/lighthouse.sh gives
# Lighthouse's scores.
set -eu
cd "$(dirname "$0")/../.."
site=${1:-build-web/site}
[ -f "$site/corvatta.wasm" ] || { echo "no $site/corvatta.wasm; build it with ./build.sh web" >&2; exit 1; }

echo "Site size ($site):"
total=0
total_gz=0
for file in "$site"/*; do
    raw=$(stat -c %s "$file")
    gz=$(gzip -9 -n -c "$file" | wc -c)
    total=$((total + raw))
    total_gz=$((total_gz + gz))
    printf '  %-22s %8d bytes %8d gzipped\n' "$(basename "$file")" "$raw" "$gz"
done
printf '  %-22s %8d bytes %8d gzipped (target: under 102400)\n' total "$total" "$total_gz"
echo
timeout 600 /usr/bin/python3 bench/web/first_paint.py "$site"
