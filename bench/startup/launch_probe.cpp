// Launches one program and measures how long it takes for its top-level
// window to be mapped and first drawn, and how much memory the process has
// used by then.
//
//   bench_launch_probe [--settle-ms N] [--timeout-ms N] [--child-log FILE]
//                      [--maps-out FILE] [--verbose] -- PROGRAM [ARGS...]
//
// --maps-out writes the shared objects the program had mapped, one a line;
// --verbose adds the launch, map and paint instants (CLOCK_MONOTONIC) to
// stderr, to line them up with timestamps a program prints of its own.
//
// The probe connects to $DISPLAY and selects SubstructureNotify on the root
// window before it forks, so no map can be missed. The clock starts just
// before fork(); it stops when the first MapNotify arrives for a child of the
// root window (a top-level window) whose _NET_WM_PID names the launched
// process, or which carries no _NET_WM_PID at all. The program runs with an
// environment holding DISPLAY and nothing else.
//
// The first drawing into that window is seen through the DAMAGE extension: a
// damage object is made for every top-level window as soon as it is created,
// so the first DamageNotify for the mapped window marks its first paint.
//
// After the first paint the probe waits the settle time, reads VmHWM and
// VmRSS from /proc/PID/status, counts the distinct shared objects in
// /proc/PID/maps, sends SIGTERM and reaps the process with wait4() for its
// ru_maxrss. One line goes to stdout:
//
//   map_ms=23.456 paint_ms=25.012 cpu_ms=19.870 hwm_kib=41234 rss_kib=40000
//   maxrss_kib=41240 so_count=71        (on one line)
//
// cpu_ms is the CPU time the process had used, all its threads, when the map
// was seen (its CPU-time clock): less disturbed by other work on the machine
// than the elapsed times, which it helps to read.
// paint_ms is -1 when the server has no DAMAGE extension or nothing was drawn
// within 3 s of the map; the settle time then starts at the map.
//
// The exit status is 0 on success, 1 on a timeout or an early exit, 2 on a
// usage or setup error.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void usage()
{
    std::fprintf(stderr,
                 "usage: bench_launch_probe [--settle-ms N] [--timeout-ms N] "
                 "[--child-log FILE] [--maps-out FILE] [--verbose] -- PROGRAM [ARGS...]\n");
    std::exit(2);
}

// The _NET_WM_PID of a window, or -1 when it has none.
long windowPid(Display* dpy, Window w, Atom netWmPid)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 1 && data)
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data)
        XFree(data);
    return pid;
}

// The window may be gone again by the time its properties are read.
int ignoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

long statusKib(const std::string& status, const char* key)
{
    std::istringstream in(status);
    std::string line;
    const std::size_t keyLength = std::strlen(key);
    while (std::getline(in, line))
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength &&
            line[keyLength] == ':')
            return std::strtol(line.c_str() + keyLength + 1, nullptr, 10);
    return -1;
}

std::string readWhole(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Distinct mapped files whose names look like shared objects ("libfoo.so",
// "libfoo.so.6", "ld-linux-x86-64.so.2", plugins).
int countSharedObjects(const std::string& maps, std::set<std::string>& names)
{
    std::istringstream in(maps);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t slash = line.find('/');
        if (slash == std::string::npos)
            continue;
        std::string path = line.substr(slash);
        const std::size_t deleted = path.find(" (deleted)");
        if (deleted != std::string::npos)
            path.erase(deleted);
        const std::string base = path.substr(path.rfind('/') + 1);
        const std::size_t so = base.find(".so");
        if (so == std::string::npos)
            continue;
        const std::size_t after = so + 3;
        if (after == base.size() || base[after] == '.')
            names.insert(path);
    }
    return static_cast<int>(names.size());
}

// CPU time the process has used so far, all its threads together, ended
// ones included.
double cpuMs(pid_t pid)
{
    clockid_t clock{};
    timespec ts{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &ts) != 0)
        return -1;
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    long settleMs = 300;
    long timeoutMs = 20000;
    std::string childLog = "/dev/null";
    std::string mapsOut;
    bool verbose = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--verbose") {
            verbose = true;
            continue;
        }
        if (i + 1 >= argc)
            usage();
        if (arg == "--settle-ms")
            settleMs = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--timeout-ms")
            timeoutMs = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--child-log")
            childLog = argv[++i];
        else if (arg == "--maps-out")
            mapsOut = argv[++i];
        else
            usage();
    }
    if (i >= argc)
        usage();
    char** childArgv = argv + i;

    const char* displayName = std::getenv("DISPLAY");
    if (!displayName || !*displayName) {
        std::fprintf(stderr, "bench_launch_probe: DISPLAY is not set\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(displayName);
    if (!dpy) {
        std::fprintf(stderr, "bench_launch_probe: cannot open display %s\n", displayName);
        return 2;
    }
    XSetErrorHandler(ignoreXErrors);
    const int xfd = ConnectionNumber(dpy);
    fcntl(xfd, F_SETFD, FD_CLOEXEC);
    const Window root = DefaultRootWindow(dpy);
    const Atom netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
    int damageEvent = 0, damageError = 0;
    const bool haveDamage = XDamageQueryExtension(dpy, &damageEvent, &damageError);
    std::map<Window, double> damagedAt;
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);
    // Anything queued before the launch belongs to someone else.
    while (XPending(dpy)) {
        XEvent stale;
        XNextEvent(dpy, &stale);
    }

    // Everything the child needs is prepared before the clock starts.
    const std::string displayVar = std::string("DISPLAY=") + displayName;
    std::vector<char*> childEnv{const_cast<char*>(displayVar.c_str()), nullptr};
    const int logFd = open(childLog.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int nullFd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (logFd < 0 || nullFd < 0) {
        std::fprintf(stderr, "bench_launch_probe: cannot open %s: %s\n", childLog.c_str(),
                     std::strerror(errno));
        return 2;
    }

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("bench_launch_probe: fork");
        return 2;
    }
    if (pid == 0) {
        dup2(nullFd, STDIN_FILENO);
        dup2(logFd, STDOUT_FILENO);
        dup2(logFd, STDERR_FILENO);
        execve(childArgv[0], childArgv, childEnv.data());
        std::fprintf(stderr, "bench_launch_probe: cannot run %s: %s\n", childArgv[0],
                     std::strerror(errno));
        _exit(127);
    }
    close(nullFd);
    close(logFd);

    double mappedAt = -1;
    double cpuAtMap = -1;
    double paintedAt = -1;
    Window mapped = None;
    bool exitedEarly = false;
    // Until the window is mapped, and then until it is drawn (or time runs out).
    const auto waiting = [&] { return mappedAt < 0 || (haveDamage && paintedAt < 0); };
    while (waiting()) {
        while (XPending(dpy) && waiting()) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            const double at = nowMs();
            if (haveDamage && ev.type == damageEvent + XDamageNotify) {
                const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(ev);
                damagedAt.try_emplace(damage.drawable, at);
                if (damage.drawable == mapped)
                    paintedAt = at;
                continue;
            }
            if (ev.type == CreateNotify && ev.xcreatewindow.parent == root && haveDamage) {
                XDamageCreate(dpy, ev.xcreatewindow.window, XDamageReportNonEmpty);
                XFlush(dpy);
                continue;
            }
            if (ev.type != MapNotify || ev.xmap.event != root || mappedAt >= 0)
                continue;
            const long owner = windowPid(dpy, ev.xmap.window, netWmPid);
            if (owner == -1 || owner == pid) {
                mappedAt = at;
                cpuAtMap = cpuMs(pid);
                mapped = ev.xmap.window;
                // Drawn already, before the map was seen here?
                if (const auto found = damagedAt.find(mapped); found != damagedAt.end())
                    paintedAt = found->second;
            }
        }
        if (!waiting())
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exitedEarly = true;
            break;
        }
        // Once mapped, the first paint gets a few seconds at most.
        double deadline = start + static_cast<double>(timeoutMs);
        if (mappedAt >= 0 && mappedAt + 3000 < deadline)
            deadline = mappedAt + 3000;
        const double left = deadline - nowMs();
        if (left <= 0)
            break;
        pollfd pfd{xfd, POLLIN, 0};
        // Short slices, so an early exit of the child is noticed too.
        poll(&pfd, 1, static_cast<int>(left < 50 ? left + 1 : 50));
    }

    if (mappedAt < 0 || exitedEarly) {
        if (!exitedEarly) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        std::fprintf(stderr, "bench_launch_probe: %s %s before mapping a window\n", childArgv[0],
                     exitedEarly ? "exited" : "timed out");
        XCloseDisplay(dpy);
        return 1;
    }

    if (settleMs > 0)
        usleep(static_cast<useconds_t>(settleMs) * 1000);

    const std::string procDir = "/proc/" + std::to_string(pid);
    const std::string status = readWhole(procDir + "/status");
    const std::string maps = readWhole(procDir + "/maps");
    std::set<std::string> sharedObjects;
    const int soCount = countSharedObjects(maps, sharedObjects);
    if (!mapsOut.empty()) {
        std::ofstream out(mapsOut);
        for (const std::string& name : sharedObjects)
            out << name << '\n';
    }

    if (verbose)
        std::fprintf(stderr,
                     "launched at %.3f ms, mapped at %.3f ms, drawn at %.3f ms (CLOCK_MONOTONIC)\n",
                     start, mappedAt, paintedAt);

    kill(pid, SIGTERM);
    int waitStatus = 0;
    rusage usage{};
    wait4(pid, &waitStatus, 0, &usage);

    std::printf("map_ms=%.3f paint_ms=%.3f cpu_ms=%.3f hwm_kib=%ld rss_kib=%ld maxrss_kib=%ld "
                "so_count=%d\n",
                mappedAt - start, paintedAt < 0 ? -1.0 : paintedAt - start, cpuAtMap, statusKib(status, "VmHWM"), statusKib(status, "VmRSS"),
                usage.ru_maxrss, soCount);
    XCloseDisplay(dpy);
    return 0;
}
