#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
// After gtest, whose names Xlib's macros (None, Bool) would clash with.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// Tests run in parallel, so each one's files carry its own name.
std::string artefact(const std::string& name)
{
    std::filesystem::create_directories(DRIFTMOOR_ARTEFACTS);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string owner = test ? std::string(test->test_suite_name()) + "." + test->name() + "-" : "";
    std::replace(owner.begin(), owner.end(), '/', '-');  // Parameterized tests' names
    return std::string(DRIFTMOOR_ARTEFACTS) + "/" + owner + name;
}

// Children die with the test process, so a crashed test leaves nothing behind.
pid_t spawn(const std::vector<std::string>& argv, const std::string& display, int keepFd = -1,
            const std::string& log = "/dev/null", const std::string& folder = "",
            const std::vector<std::string>& environment = {})
{
    pid_t pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    int devnull = open("/dev/null", O_RDWR);
    int output = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(devnull, 0);
    dup2(output, 1);
    dup2(output, 2);
    for (int fd = 3; fd < 256; fd++) {
        if (fd != keepFd) close(fd);
    }
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    for (const std::string& setting : environment) putenv(const_cast<char*>(setting.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

// Asks first, so that Xvfb can remove its lock and socket, then insists.
void stop(pid_t& pid)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int wait = 0; wait < 100 && waitpid(pid, nullptr, WNOHANG) == 0; wait++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

} // namespace

Xvfb::Xvfb()
{
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = spawn({DRIFTMOOR_XVFB, std::to_string(fds[1])}, "", fds[1]);
    close(fds[1]);
    // Xvfb writes the display number it chose once it accepts clients.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return;
    display_ = ":" + number;
}

Xvfb::~Xvfb()
{
    stop(windowManager_);
    stop(pid_);
}

bool Xvfb::startWindowManager()
{
    windowManager_ = spawn({"openbox"}, display_);
    for (int tries = 0; tries < 300; tries++) {
        if (output("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void Xvfb::keyRepeatOff() const
{
    if (Display* connection = XOpenDisplay(display_.c_str())) {
        XAutoRepeatOff(connection);
        XCloseDisplay(connection);
    }
}

std::vector<unsigned char> Xvfb::pixel(int x, int y) const
{
    std::vector<unsigned char> rgb;
    Display* connection = XOpenDisplay(display_.c_str());
    if (!connection) return rgb;
    if (XImage* image = XGetImage(connection, DefaultRootWindow(connection), x, y, 1, 1, AllPlanes, ZPixmap)) {
        unsigned long value = XGetPixel(image, 0, 0);
        rgb = {static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 8),
               static_cast<unsigned char>(value)};
        XDestroyImage(image);
    }
    XCloseDisplay(connection);
    return rgb;
}

void Xvfb::requestClose(const std::string& window) const
{
    Display* connection = XOpenDisplay(display_.c_str());
    if (!connection) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(window);
    event.xclient.message_type = XInternAtom(connection, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(connection, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(connection, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(connection);
}

Xvfb::Box Xvfb::geometry(const std::string& window) const
{
    Box box;
    // xdotool misplaces a window that a window manager framed; xwininfo does not.
    std::istringstream info(output("xwininfo -id " + window));
    for (std::string line; std::getline(info, line);) {
        int value = std::atoi(line.substr(line.find(':') + 1).c_str());
        if (line.find("Absolute upper-left X:") != std::string::npos) box.left = value;
        if (line.find("Absolute upper-left Y:") != std::string::npos) box.top = value;
        if (line.find("  Width:") != std::string::npos) box.width = value;
        if (line.find("  Height:") != std::string::npos) box.height = value;
    }
    return box;
}

std::string shellWord(const std::string& text)
{
    std::string word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

int Xvfb::run(const std::string& command) const
{
    std::string full = "DISPLAY=" + display_ + " " + command + " </dev/null >/dev/null 2>&1";
    int status = std::system(full.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Xvfb::output(const std::string& command) const
{
    std::string full = "DISPLAY=" + display_ + " " + command + " </dev/null 2>/dev/null";
    std::string text;
    if (FILE* pipe = popen(full.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
        pclose(pipe);
    }
    return text;
}

Shot Shot::take(const Xvfb& x, const std::string& name)
{
    std::string png = artefact(name + ".png");
    std::string raw = artefact(name + ".rgb");
    x.run("import -window root " + shellWord(png));
    x.run("convert " + shellWord(png) + " -depth 8 " + shellWord("rgb:" + raw));
    Shot shot;
    std::ifstream in(raw, std::ios::binary);
    shot.rgb.assign(std::istreambuf_iterator<char>(in), {});
    std::filesystem::remove(raw);
    if (shot.rgb.size() == 1600u * 900u * 3u) {
        shot.width = 1600;
        shot.height = 900;
    }
    return shot;
}

bool Shot::isColor(int x, int y, unsigned char r, unsigned char g, unsigned char b) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return false;
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return p[0] == r && p[1] == g && p[2] == b;
}

std::optional<std::vector<int>> Shot::boxOf(unsigned char r, unsigned char g, unsigned char b) const
{
    std::vector<int> box{width, height, -1, -1};
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            if (!isColor(x, y, r, g, b)) continue;
            box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
        }
    }
    if (box[2] < 0) return std::nullopt;
    return box;
}

GameProcess::GameProcess(const Xvfb& x, const std::string& binary, const std::string& folder) : x_(x)
{
    // What the game prints is kept beside the screenshots.
    log_ = artefact("game.log");
    pid_ = spawn({binary}, x.display(), -1, log_, folder);
}

GameProcess::GameProcess(const Xvfb& x, const std::vector<std::string>& command, const std::string& folder,
                         const std::vector<std::string>& environment)
    : x_(x)
{
    log_ = artefact("game.log");
    pid_ = spawn(command, x.display(), -1, log_, folder, environment);
}

GameProcess::~GameProcess() { stop(pid_); }

std::string GameProcess::waitForWindow(double seconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string id = x_.output("xdotool search --onlyvisible --name '^Driftmoor$'");
        if (!id.empty()) return id.substr(0, id.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

std::optional<int> GameProcess::waitForExit(double seconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

std::string GameProcess::printed() const
{
    std::ifstream in(log_);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string GameProcess::state()
{
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_) return "running";
    pid_ = -1;
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "gone with status " + std::to_string(WEXITSTATUS(status));
}
