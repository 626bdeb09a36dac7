#!/bin/sh
# Lighthouse's scores for the web page, on a phone and on a computer, with
# Debian's Chromium. Lighthouse is pinned in package-lock.json (npm ci); its
# newer releases need a newer Node than Debian ships.
#   bench/web/lighthouse.sh [SITE]      (SITE: build-web/site)
# Needs chromium (./build.sh test installs it), node and npm. Targets:
# accessibility, best practices and SEO 100 on both.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
site=$(realpath "${1:-$here/../../build-web/site}")
[ -f "$site/index.html" ] || { echo "no $site/index.html; build it with ./build.sh web" >&2; exit 1; }
[ -x "$here/node_modules/.bin/lighthouse" ] || (cd "$here" && npm ci --no-audit --no-fund)

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
out=$(mktemp -d)
trap 'kill $server; rm -rf "$out"' EXIT
sleep 1

for form in mobile desktop; do
    preset=""
    [ "$form" = desktop ] && preset=--preset=desktop
    # shellcheck disable=SC2086 # no preset on a phone
    CHROME_PATH=/usr/bin/chromium timeout 300 "$here/node_modules/.bin/lighthouse" \
        "http://127.0.0.1:$port/" $preset --quiet --output=json --output-path="$out/$form.json" \
        --chrome-flags="--headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
--disable-background-networking --disable-component-update --disable-sync --disable-dev-shm-usage"
    echo "Lighthouse $(node -p "require('$out/$form.json').lighthouseVersion"), $form:"
    node -e '
        const report = require(process.argv[1]);
        for (const category of Object.values(report.categories)) {
            const failed = category.auditRefs.map((ref) => report.audits[ref.id])
                .filter((audit) => audit.score !== null && audit.score < 1 && ref_weight(category, audit) > 0)
                .map((audit) => audit.id);
            console.log(`  ${category.title.padEnd(16)} ${String(Math.round(category.score * 100)).padStart(3)}` +
                        (failed.length ? `  (below full marks: ${failed.join(", ")})` : ""));
        }
        // Some audits error out on a newer Chromium than this Lighthouse
        // knows; say whether any of them counts towards a score.
        const weight = (id) => Math.max(...Object.values(report.categories).map(
            (category) => (category.auditRefs.find((ref) => ref.id === id) || {weight: 0}).weight));
        const errored = Object.values(report.audits).filter((audit) => audit.errorMessage)
            .map((audit) => `${audit.id} (weight ${weight(audit.id)})`);
        if (errored.length)
            console.log(`  audits that errored: ${errored.join(", ")}`);
        function ref_weight(category, audit) {
            return category.auditRefs.find((ref) => ref.id === audit.id).weight;
        }' "$out/$form.json"
done
