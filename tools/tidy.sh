#!/bin/sh
# Runs clang-tidy-14 with the checked-in .clang-tidy over the program's own
# sources (calc/, platform/, ui/, app/, and through them their headers),
# using the compile commands of the normal build folder.
#   tools/tidy.sh
# Fails on any finding: .clang-tidy makes every warning an error.
set -eu
cd "$(dirname "$0")/.."

build_dir=${CORVATTA_BUILD_DIR:-build}

tools/ensure_packages.sh clang-tidy-14

# The compile commands, and the moc and uic output the sources include, come
# from the build; after ./build.sh this is a no-op.
if [ ! -f "$build_dir/compile_commands.json" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir" -j 2 >/dev/null

# The project's own sources that this (Linux) build compiles; the Win32 ones
# are checked by the MinGW compiler's warnings instead.
files=$(sed -n 's/^ *"file": "\(.*\)",*$/\1/p' "$build_dir/compile_commands.json" |
    grep -E "^$PWD/(calc|platform|ui|app)/" | sed "s|^$PWD/||" | sort -u)
count=$(printf '%s\n' "$files" | wc -l)
echo "== clang-tidy: $count files in calc/ platform/ ui/ app/ ($build_dir/compile_commands.json)"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$(date +%s)
status=0
# shellcheck disable=SC2086
printf '%s\n' $files | xargs -P 2 -n 1 clang-tidy-14 -p "$build_dir" --quiet >"$log" 2>&1 ||
    status=1
end=$(date +%s)
findings=$(grep -c -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error):' "$log" || true)
if [ $status -ne 0 ] || [ "$findings" -ne 0 ]; then
    grep -v -E '^[0-9]+ warnings? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' "$log" || true
    echo "clang-tidy: FAIL, $findings finding(s) in $count files, $((end - start)) s"
    exit 1
fi
echo "clang-tidy: PASS, no findings in $count files, $((end - start)) s"
