// mapwait: runs a command and reports how long it took until its first top-level window was mapped.
//
//   mapwait [-k] [-m MIN] [-t SECONDS] -- command [args...]
//
// Prints one line "PID MICROSECONDS" as soon as a child of the root window at least MIN x MIN
// pixels large (default 48, so a tray icon that is mapped before it is docked does not count) is
// mapped. The clock starts just before fork(), so the figure includes exec, dynamic linking and
// the program's own start-up. With -k the command is then ended (SIGTERM) and mapwait exits;
// without it mapwait stays the command's parent and forwards SIGTERM/SIGINT to it.
// Exit status: 0 after a map, 2 when the command ended first, 3 on a timeout, 1 on usage errors.
// Build: g++ -O2 -std=c++17 mapwait.cpp -lX11

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_stop = 0;

void OnStop(int) {
    g_stop = 1;
}

long long NowMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000LL + ts.tv_nsec / 1000;
}

void Usage() {
    std::fprintf(stderr, "usage: mapwait [-k] [-m MIN] [-t SECONDS] -- command [args...]\n");
    std::exit(1);
}

// Ends the child and reaps it; a child that ignores SIGTERM gets SIGKILL after two seconds.
void EndChild(pid_t child) {
    kill(child, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child) return;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    bool killAfter = false;
    int minSize = 48;
    int timeoutSeconds = 30;
    int opt;
    while ((opt = getopt(argc, argv, "km:t:")) != -1) {
        switch (opt) {
        case 'k':
            killAfter = true;
            break;
        case 'm':
            minSize = std::atoi(optarg);
            break;
        case 't':
            timeoutSeconds = std::atoi(optarg);
            break;
        default:
            Usage();
        }
    }
    if (optind >= argc || timeoutSeconds <= 0) Usage();

    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "mapwait: cannot open display\n");
        return 1;
    }
    const Window root = XDefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    // The selection must be in force before the child can map anything.
    XSync(dpy, False);

    const long long start = NowMicroseconds();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("mapwait: fork");
        return 1;
    }
    if (child == 0) {
        close(XConnectionNumber(dpy));
        execvp(argv[optind], argv + optind);
        std::perror("mapwait: exec");
        _exit(127);
    }

    struct sigaction sa {};
    sa.sa_handler = OnStop;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    const long long deadline = start + static_cast<long long>(timeoutSeconds) * 1000000LL;
    pollfd pfd{XConnectionNumber(dpy), POLLIN, 0};
    long long mappedAt = -1;
    while (mappedAt < 0) {
        while (XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type != MapNotify || ev.xmap.event != root) continue;
            const long long at = NowMicroseconds(); // before the size query's round trip
            XWindowAttributes wa;
            if (XGetWindowAttributes(dpy, ev.xmap.window, &wa) && wa.width >= minSize && wa.height >= minSize) {
                mappedAt = at;
                break;
            }
        }
        if (mappedAt >= 0) break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "mapwait: the command ended (status %d) before mapping a window\n", status);
            return 2;
        }
        if (g_stop || NowMicroseconds() > deadline) {
            std::fprintf(stderr, "mapwait: no window within %d s\n", timeoutSeconds);
            EndChild(child);
            return 3;
        }
        // Wake at least every 20 ms to notice a child that died without mapping.
        if (poll(&pfd, 1, 20) < 0 && errno != EINTR) {
            std::perror("mapwait: poll");
            EndChild(child);
            return 1;
        }
    }

    std::printf("%d %lld\n", static_cast<int>(child), mappedAt - start);
    std::fflush(stdout);
    XCloseDisplay(dpy);

    if (killAfter) {
        EndChild(child);
        return 0;
    }
    int status = 0;
    while (true) {
        const pid_t r = waitpid(child, &status, 0);
        if (r == child) break;
        if (r < 0 && errno == EINTR && g_stop) {
            EndChild(child);
            break;
        }
        if (r < 0 && errno != EINTR) break;
    }
    return 0;
}
