#!/usr/bin/python3
"""Start-up benchmark: how long the calculator takes from launch to its window
being mapped and first drawn, the CPU it used by then and its peak memory,
against a bare Qt window of the same size ("minimal") and the same window
with one line of text ("minimal+label", what putting any text on the screen
costs). Prints figures; it is not a test and fails only when it cannot
measure.

  bench/startup/run.py [--runs N] [--warmup N] [--settle-ms N] [--no-build]

The programs are built in Release in build-bench (or
$CORVATTA_BENCH_BUILD_DIR) and take turns under one private Xvfb, so that
noise from other work on the machine falls on all of them alike. Each runs
in an empty folder with DISPLAY as its only environment variable. The map is
the first MapNotify on the root window for a top-level window of the
launched process; the first paint is the first DAMAGE report for it.
Memory is read from /proc 300 ms after the first paint."""

import argparse, atexit, os, pathlib, re, select, signal, statistics, subprocess, tempfile, time

top = pathlib.Path(__file__).resolve().parents[2]
build = pathlib.Path(os.environ.get("CORVATTA_BENCH_BUILD_DIR", top / "build-bench"))
args = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
args.add_argument("--runs", type=int, default=25, help="measured launches of each program")
args.add_argument("--warmup", type=int, default=3, help="launches of each first, not counted")
args.add_argument("--settle-ms", type=int, default=300, help="wait after the first paint")
args.add_argument("--no-build", action="store_true", help="use what is already built")
args = args.parse_args()

subprocess.run([top / "tools/ensure_packages.sh", "python3-xlib", "xvfb", "binutils"], check=True)
from Xlib import X, display  # installed just above on a fresh machine
from Xlib.ext import damage
if not args.no_build:
    subprocess.run(["cmake", "-S", top, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DBUILD_TESTING=ON", "-DCORVATTA_WAYLAND_TESTS=OFF"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "corvatta", "bench_minimal_window"],
                   check=True, stdout=subprocess.DEVNULL)
minimal = build / "bench/startup/bench_minimal_window"
programs = {"corvatta": [build / "app/corvatta"], "minimal": [minimal],
            "minimal+label": [minimal, "label"]}

# A private X server that never resets: its last client goes after every launch.
work = pathlib.Path(tempfile.mkdtemp(prefix="corvatta-startup."))
ready, written = os.pipe()
xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(written), "-screen", "0", "1024x768x24",
                         "-nolisten", "tcp", "-noreset"], pass_fds=[written],
                        stderr=subprocess.DEVNULL)
atexit.register(xvfb.terminate)
os.close(written)
if not select.select([ready], [], [], 10)[0]:
    raise SystemExit("run.py: Xvfb did not start")
env = {"DISPLAY": ":" + os.read(ready, 16).decode().strip()}
x = display.Display(env["DISPLAY"])
# A window may be gone again before its damage is asked for.
x.set_error_handler(lambda error, request: None)
root = x.screen().root
root.change_attributes(event_mask=X.SubstructureNotifyMask)
x.damage_query_version()  # the server refuses DAMAGE requests before it
damage_notify = x.query_extension("DAMAGE").first_event + damage.DamageNotifyCode
net_wm_pid = x.intern_atom("_NET_WM_PID")


def launch(label, argv):
    """Returns map_ms, paint_ms, cpu_ms, hwm_kib, maxrss_kib and the mapped shared objects."""
    x.sync()
    while x.pending_events():
        x.next_event()
    start = time.monotonic()
    child = subprocess.Popen(argv, env=env, cwd=work, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = painted = window = cpu = None
    damaged = {}
    while painted is None and time.monotonic() < (mapped or start + 17) + 3:
        if not x.pending_events():
            select.select([x], [], [], 0.05)
            if child.poll() is not None:
                raise SystemExit(f"run.py: {label} exited before it was drawn")
            continue
        event, at = x.next_event(), time.monotonic()
        if event.type == damage_notify:
            damaged.setdefault(event.drawable.id, at)
            painted = damaged.get(window)
        elif event.type == X.CreateNotify and event.parent == root:
            event.window.damage_create(damage.DamageReportNonEmpty)
        elif event.type == X.MapNotify and event.event == root and mapped is None:
            owner = event.window.get_full_property(net_wm_pid, X.AnyPropertyType)
            if owner is None or owner.value[0] == child.pid:
                # The process's CPU-time clock (clock_getcpuclockid): all its threads.
                cpu = time.clock_gettime((~child.pid << 3) | 2) * 1e3
                mapped, window = at, event.window.id
                painted = damaged.get(window)
    if mapped is None:
        child.kill()
        raise SystemExit(f"run.py: {label} mapped no window")
    time.sleep(args.settle_ms / 1e3)
    status = dict(line.split(":", 1) for line in open(f"/proc/{child.pid}/status"))
    maps = {line.split(None, 5)[-1].strip() for line in open(f"/proc/{child.pid}/maps")
            if re.search(r"/[^/]*\.so(\.[^/]*)?$", line.strip())}
    child.terminate()
    maxrss = os.wait4(child.pid, 0)[2].ru_maxrss
    child.returncode = 0
    paint_ms = (painted - start) * 1e3 if painted else -1
    return ((mapped - start) * 1e3, paint_ms, cpu, int(status["VmHWM"].split()[0]), maxrss), maps


print(f"Start-up benchmark on display {env['DISPLAY']} (Xvfb 1024x768x24): {args.warmup} warm-up "
      f"and {args.runs} measured launches of each program, taking turns; memory read "
      f"{args.settle_ms} ms after the first paint.")
results = {label: [] for label in programs}
maps = {}
with open(build / "bench-startup-results.txt", "w") as log:
    for round in range(1 - args.warmup, args.runs + 1):
        for label, argv in programs.items():
            figures, maps[label] = launch(label, argv)
            if round > 0:
                results[label].append(figures)
                print(label, round, *(f"{f:.3f}" for f in figures), len(maps[label]), file=log)


def column(label, i, scale=1):
    return [r[i] / scale for r in results[label] if r[i] >= 0] or [-1]


print(f"\n{'':15} {'time to map (ms)':>22}  {'to first paint (ms)':>22}  "
      f"{'CPU used by map (ms)':>22}  {'peak RSS, VmHWM (MiB)':>22}")
print(f"{'program':15}" + "  ".join([f" {'median':>8} {'min':>6} {'max':>6}"] * 4))
medians = {}
for label in programs:
    cells = []
    for i, scale in ((0, 1), (1, 1), (2, 1), (3, 1024)):
        values = column(label, i, scale)
        medians[label, i] = statistics.median(values)
        digits = 2 if i == 3 else 1
        cells.append(f" {medians[label, i]:8.{digits}f} {min(values):6.{digits}f} {max(values):6.{digits}f}")
    print(f"{label:15}" + "  ".join(cells))

# The target: first paint and peak memory within 1.10 x those of the bare
# window showing one line of text, the least any window with text costs.
yardstick = "minimal+label"
verdict = lambda r: "(within 1.10)" if r <= 1.10 else "(ABOVE 1.10)"
print(f"\n{'over ' + yardstick:15} {'time to map':12}  {'first paint':26}  {'CPU by map':12}  peak RSS")
r = [medians["corvatta", i] / medians[yardstick, i] for i in range(4)]
paired = [statistics.median(a[i] / b[i] for a, b in zip(results["corvatta"], results[yardstick])
                            if a[i] > 0 and b[i] > 0) for i in range(4)]
print(f"{'corvatta':15} {r[0]:5.2f} x       {r[1]:5.2f} x {verdict(r[1]):17}  {r[2]:5.2f} x       "
      f"{r[3]:5.2f} x {verdict(r[3])}")
print(f"{'  paired':15} {paired[0]:5.2f} x       {paired[1]:5.2f} x {'':17}  {paired[2]:5.2f} x       "
      f"{paired[3]:5.2f} x")
print('(ratios of the medians; "paired" is the median of each round\'s own ratio)')


def stripped(path):
    subprocess.run(["strip", "-o", work / "stripped", path], check=True)
    return (work / "stripped").stat().st_size


def ldd(path):
    out = subprocess.run(["ldd", path], env={}, capture_output=True, text=True).stdout
    return sum("/" in line for line in out.splitlines())


corvatta = programs["corvatta"][0]
print("\nFootprint")
print(f"  {'stripped executable':38} {stripped(corvatta):9d} bytes (minimal window: {stripped(minimal)})")
print(f"  {'shared objects mapped while running':38} {len(maps['corvatta']):9d} "
      f"(minimal window: {len(maps['minimal'])})")
print(f"  {'shared objects listed by ldd':38} {ldd(corvatta):9d} (minimal window: {ldd(minimal)})")
only = sorted(os.path.basename(m) for m in maps["corvatta"] - maps["minimal"])
print(f"  loaded by corvatta only: {' '.join(only) or 'none'}")
print(f"\nEvery launch: {build}/bench-startup-results.txt\n"
      "(label round map_ms paint_ms cpu_ms hwm_kib maxrss_kib so_count)")
