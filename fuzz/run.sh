#!/bin/sh
# Builds the libFuzzer targets with clang++-14 and runs each for a bounded
# time, starting from the seeds in fuzz/corpus/.
#   fuzz/run.sh [seconds]      seconds per target, 60 unless given
# Fails if any target crashes, trips a sanitizer or breaks one of its rules;
# the input that did it is kept in the build folder's artifacts/.
set -eu
cd "$(dirname "$0")/.."

seconds=${1:-60}
build_dir=${CORVATTA_FUZZ_BUILD_DIR:-build-fuzz}
targets="fuzz_localenumbers fuzz_compute"

tools/ensure_packages.sh cmake make clang-14 libclang-rt-14-dev g++ qt6-base-dev

echo "== Fuzzing: configuring $build_dir with clang++-14"
mkdir -p "$build_dir"
cmake -S . -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DCORVATTA_FUZZ=ON -DCORVATTA_WERROR=ON >"$build_dir/configure.log" 2>&1 ||
    { cat "$build_dir/configure.log"; exit 1; }
# shellcheck disable=SC2086
cmake --build "$build_dir" -j 2 --target $targets

# The fuzzers never open a window; nothing should look for a display.
QT_QPA_PLATFORM=offscreen
export QT_QPA_PLATFORM

status=0
for target in $targets; do
    # New inputs go to a working copy of the corpus, not into the sources.
    work="$build_dir/corpus/$target"
    artifacts="$build_dir/artifacts"
    log="$build_dir/$target.log"
    mkdir -p "$work" "$artifacts"
    echo "== Fuzzing: $target for $seconds s"
    start=$(date +%s)
    if "$build_dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -rss_limit_mb=2048 -max_len=256 -timeout=10 -dict=fuzz/numbers.dict \
        -artifact_prefix="$artifacts/$target-" \
        "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
        result=PASS
    else
        result=FAIL
        status=1
        tail -n 60 "$log"
    fi
    end=$(date +%s)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | sed 's/cov: //')
    corpus=$(find "$work" -type f | wc -l)
    echo "$target: $result, ${runs:-?} executions in $((end - start)) s" \
        "(${rate:-?}/s), coverage ${cov:-?} edges, corpus $corpus inputs, peak RSS ${rss:-?} MB"
done
exit $status
