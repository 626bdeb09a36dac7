#!/bin/bash
# Start-up benchmark: how long the calculator takes from launch to its window
# being mapped (and first drawn), and how much memory it has used by then,
# against a bare Qt window of the same size built in the same tree. Prints
# figures; it is not a test and fails only when it cannot measure.
#
#   bench/startup/run.sh [--runs N] [--warmup N] [--settle-ms N]
#                        [--program PATH] [--also LABEL=PATH]...
#                        [--no-label-window] [--no-build]
#
#   --runs N           measured launches of each program (default 25)
#   --warmup N         launches of each program first, not counted (default 3)
#   --settle-ms N      wait after the first paint before memory is read
#                      (default 300)
#   --program PATH     the calculator to measure (default BUILD/app/corvatta)
#   --also L=PATH      one more program to measure in the same rounds,
#                      labelled L (a changed build, compared fairly)
#   --no-label-window  leave out the reference window with one line of text
#   --no-build         use what is already built
#
# The build directory is build-bench next to this tree's top CMakeLists.txt,
# or $CORVATTA_BENCH_BUILD_DIR; it is configured as a Release build and built
# with $CORVATTA_BENCH_JOBS jobs (default 2). The programs take turns
# (calculator, extras, bare window, labelled window, calculator, ...) under
# one private Xvfb server, so that noise from other work on the machine falls
# on all of them alike. Each program runs with DISPLAY as its only
# environment variable.
#
# The ratios compare the calculator with the bare window ("minimal"). The
# labelled window ("minimal+label": the bare window plus one QLabel in the
# default font) is there for reference: it shows what putting any text on
# the screen costs, which the bare window never pays.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build_dir=${CORVATTA_BENCH_BUILD_DIR:-$top/build-bench}
jobs=${CORVATTA_BENCH_JOBS:-2}

runs=25
warmup=3
settle_ms=300
program=""
build=1
label_window=1
extra_labels=()
extra_paths=()

while [ $# -gt 0 ]; do
    case "$1" in
    --runs) runs=$2; shift 2 ;;
    --warmup) warmup=$2; shift 2 ;;
    --settle-ms) settle_ms=$2; shift 2 ;;
    --program) program=$2; shift 2 ;;
    --also)
        extra_labels+=("${2%%=*}")
        extra_paths+=("${2#*=}")
        shift 2 ;;
    --no-label-window) label_window=0; shift ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,32p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
    esac
done
case "$runs" in ''|*[!0-9]*|0) echo "run.sh: --runs needs a positive number" >&2; exit 2 ;; esac

# What building and measuring need, installed when missing.
# shellcheck disable=SC2086 # one word per package
"$top/tools/ensure_packages.sh" cmake make g++ qt6-base-dev libx11-dev libxdamage-dev \
    fonts-liberation2 xvfb binutils

if [ "$build" -eq 1 ]; then
    cmake -S "$top" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DCORVATTA_WAYLAND_TESTS=OFF >/dev/null
    cmake --build "$build_dir" -j "$jobs" \
        --target corvatta bench_minimal_window bench_launch_probe >/dev/null
fi

probe=$build_dir/bench/startup/bench_launch_probe
minimal=$build_dir/bench/startup/bench_minimal_window
program=${program:-$build_dir/app/corvatta}
# label, program, its one argument (or nothing)
labels=(corvatta "${extra_labels[@]}" minimal)
paths=("$program" "${extra_paths[@]}" "$minimal")
args=("" "${extra_paths[@]/*/}" "")
if [ "$label_window" -eq 1 ]; then
    labels+=(minimal+label)
    paths+=("$minimal")
    args+=(label)
fi
for i in "${!paths[@]}"; do
    [ -x "${paths[$i]}" ] || { echo "run.sh: ${paths[$i]} is not built" >&2; exit 1; }
    paths[$i]=$(readlink -f "${paths[$i]}")
done
[ -x "$probe" ] || { echo "run.sh: $probe is not built" >&2; exit 1; }
program=${paths[0]}

work=$(mktemp -d /tmp/corvatta-startup.XXXXXX)
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# A private X server on the first free display number; it writes the number
# it took once it is ready for clients. It must not reset whenever its last
# client goes, which here is after every launch: a desktop's server never
# does, and a reset in progress refuses the next program.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.05
done
[ -s "$work/display" ] || { echo "run.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# One launch. Appends "label round map_ms paint_ms cpu_ms hwm_kib maxrss_kib so_count".
launch() {
    local label=$1 path=$2 arg=$3 round=$4 out field
    local -A got=()
    if ! out=$("$probe" --settle-ms "$settle_ms" --child-log "$work/$label.log" \
        --maps-out "$work/$label.maps" -- "$path" ${arg:+"$arg"}); then
        echo "run.sh: $label did not map a window; its output:" >&2
        tail -n 20 "$work/$label.log" >&2
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "run.sh: the X server has gone; its output:" >&2
            cat "$work/xvfb.log" >&2
        fi
        exit 1
    fi
    for field in $out; do
        got[${field%%=*}]=${field#*=}
    done
    [ "$round" -gt 0 ] || return 0
    echo "$label $round ${got[map_ms]} ${got[paint_ms]} ${got[cpu_ms]} ${got[hwm_kib]}" \
        "${got[maxrss_kib]} ${got[so_count]}" >>"$work/results"
}

# The programs start in an empty directory: a build-tree binary may look for
# libraries in the current one.
cd "$work"
n_programs=${#labels[@]}
echo "Start-up benchmark on display $DISPLAY (Xvfb 1024x768x24): $warmup warm-up and $runs" \
    "measured launches of each program, taking turns; memory read $settle_ms ms after the first paint."
for ((r = 1 - warmup; r <= runs; r++)); do
    for ((i = 0; i < n_programs; i++)); do
        launch "${labels[$i]}" "${paths[$i]}" "${args[$i]}" "$r"
    done
done
cp "$work/results" "$build_dir/bench-startup-results.txt"

# Median, minimum and maximum of column COL for LABEL, divided by SCALE.
stats() {
    awk -v l="$1" -v c="$2" -v s="${3:-1}" '$1 == l && $c >= 0 { print $c / s }' "$work/results" |
        sort -g | awk '{ v[NR] = $1 } END {
            if (NR == 0) { print "-1 -1 -1"; exit }
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%.3f %.3f %.3f\n", m, v[1], v[NR] }'
}
# Median over the rounds of LABEL's figure divided by the bare window's.
paired() {
    awk -v l="$1" -v c="$2" '$1 == l { a[$2] = $c } $1 == "minimal" { b[$2] = $c }
        END { for (k in a) if (a[k] > 0 && b[k] > 0) print a[k] / b[k] }' "$work/results" |
        sort -g | awk '{ v[NR] = $1 } END {
            printf "%.3f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
verdict() { awk -v x="$1" 'BEGIN { print (x <= 1.15) ? "within 1.15" : "ABOVE 1.15" }'; }

echo
printf '%-15s %22s  %22s  %22s  %22s\n' "" "time to map (ms)" "to first paint (ms)" \
    "CPU used by map (ms)" "peak RSS, VmHWM (MiB)"
printf '%-15s %8s %6s %6s  %8s %6s %6s  %8s %6s %6s  %8s %6s %6s\n' \
    program median min max median min max median min max median min max
declare -A med_map med_paint med_cpu med_rss
for label in "${labels[@]}"; do
    read -r tm tlo thi < <(stats "$label" 3)
    read -r pm plo phi < <(stats "$label" 4)
    read -r cm clo chi < <(stats "$label" 5)
    read -r rm rlo rhi < <(stats "$label" 6 1024)
    med_map[$label]=$tm
    med_paint[$label]=$pm
    med_cpu[$label]=$cm
    med_rss[$label]=$rm
    printf '%-15s %8.1f %6.1f %6.1f  %8.1f %6.1f %6.1f  %8.1f %6.1f %6.1f  %8.2f %6.2f %6.2f\n' \
        "$label" "$tm" "$tlo" "$thi" "$pm" "$plo" "$phi" "$cm" "$clo" "$chi" "$rm" "$rlo" "$rhi"
done

echo
printf '%-15s %-26s  %-12s  %-12s  %s\n' "over minimal" "time to map" "first paint" "CPU by map" \
    "peak RSS"
for label in "${labels[@]}"; do
    [ "$label" = minimal ] && continue
    tr=$(ratio "${med_map[$label]}" "${med_map[minimal]}")
    pr=$(ratio "${med_paint[$label]}" "${med_paint[minimal]}")
    cr=$(ratio "${med_cpu[$label]}" "${med_cpu[minimal]}")
    rr=$(ratio "${med_rss[$label]}" "${med_rss[minimal]}")
    printf '%-15s %5.2f x %-17s  %5.2f x       %5.2f x       %5.2f x %s\n' \
        "$label" "$tr" "($(verdict "$tr"))" "$pr" "$cr" "$rr" "($(verdict "$rr"))"
    printf '%-15s %5.2f x %-17s  %5.2f x       %5.2f x       %5.2f x\n' "  paired" \
        "$(paired "$label" 3)" "" "$(paired "$label" 4)" "$(paired "$label" 5)" "$(paired "$label" 6)"
done
echo "(ratios of the medians; \"paired\" is the median of each round's own ratio)"

echo
echo "Footprint"
strip -o "$work/corvatta.stripped" "$program"
strip -o "$work/minimal.stripped" "$minimal"
printf '  %-38s %9d bytes (minimal window: %d)\n' "stripped executable" \
    "$(stat -c %s "$work/corvatta.stripped")" "$(stat -c %s "$work/minimal.stripped")"
so_run=$(awk '$1 == "corvatta" { n = $8 } END { print n }' "$work/results")
so_run_min=$(awk '$1 == "minimal" { n = $8 } END { print n }' "$work/results")
printf '  %-38s %9d (minimal window: %d)\n' "shared objects mapped while running" "$so_run" "$so_run_min"
ldd_count() { env -i ldd "$1" | grep -c '/'; }
printf '  %-38s %9d (minimal window: %d)\n' "shared objects listed by ldd" \
    "$(ldd_count "$program")" "$(ldd_count "$minimal")"
extra=$(comm -23 "$work/corvatta.maps" "$work/minimal.maps" | xargs -r -n1 basename | tr '\n' ' ')
echo "  loaded by corvatta only: ${extra:-none}"
echo
echo "Every launch: $build_dir/bench-startup-results.txt"
echo "(label round map_ms paint_ms cpu_ms hwm_kib maxrss_kib so_count)"
