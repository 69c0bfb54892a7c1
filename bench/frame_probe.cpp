// Reads the "Driftmoor" window's pixels back from the X server, so a frame
// counts as presented only once the server shows it.
//
//   frame_probe launch PROGRAM  starts PROGRAM and waits for its first frame:
//                               the window is mapped and shows the background
//                               (245, 245, 245) at (1200, 700), where both the
//                               intro screen and level 1 show only background.
//                               Prints "PID MILLISECONDS CPU_MILLISECONDS" (wall
//                               time since the fork, CPU time PROGRAM used by
//                               then) and leaves PROGRAM running.
//   frame_probe wait X Y RRGGBB waits until the window shows that colour at (X, Y).
//
// Polls every millisecond and gives up after 20 s (exit status 1).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The window can vanish or be unmapped between two requests: not an error here.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

Window findWindow(Display* display)
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; i++) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::strcmp(name, "Driftmoor") == 0) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

bool shows(Display* display, Window window, int x, int y, unsigned long rgb)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return false;
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
    XDestroyImage(image);
    return pixel == rgb;
}

// Waits for the colour; `child`, if given, must stay alive meanwhile.
bool waitFor(Display* display, int x, int y, unsigned long rgb, pid_t child = 0)
{
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    Window window = 0;
    while (Clock::now() < deadline) {
        if (child && waitpid(child, nullptr, WNOHANG) != 0) return false;
        if (!window) window = findWindow(display);
        if (window && shows(display, window, x, y, rgb)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

double millisSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// CPU time of all its threads so far, read from the live child's own CPU
// clock in nanoseconds: /proc's ticks of 10 ms cannot tell 10% apart here.
double cpuMillis(pid_t pid)
{
    clockid_t clock;
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0) return -1;
    return 1e3 * static_cast<double>(used.tv_sec) + 1e-6 * static_cast<double>(used.tv_nsec);
}

} // namespace

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "frame_probe: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);

    if (argc == 3 && std::strcmp(argv[1], "launch") == 0) {
        // A window left over from an earlier run must not be taken for this one.
        for (int n = 0; n < 5000 && findWindow(display); n++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        Clock::time_point t0 = Clock::now();
        pid_t child = fork();
        if (child == 0) {
            int quiet = open("/dev/null", O_RDWR);
            dup2(quiet, 0);
            dup2(quiet, 1);
            dup2(quiet, 2);
            execl(argv[2], argv[2], static_cast<char*>(nullptr));
            _exit(127);
        }
        if (!waitFor(display, 1200, 700, 0xf5f5f5, child)) {
            kill(child, SIGKILL);
            return 1;
        }
        double wall = millisSince(t0);
        std::printf("%d %.1f %.2f\n", static_cast<int>(child), wall, cpuMillis(child));
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "wait") == 0) {
        Clock::time_point t0 = Clock::now();
        if (!waitFor(display, std::atoi(argv[2]), std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 16))) return 1;
        std::printf("%.1f\n", millisSince(t0));
        return 0;
    }
    std::fprintf(stderr, "usage: frame_probe launch PROGRAM | frame_probe wait X Y RRGGBB\n");
    return 2;
}
