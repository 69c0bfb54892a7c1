#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// One word for the shell, whatever the path holds: spaces, quotes, dollars.
std::string shellWord(const std::string& text);

// A private X server on a free display, stopped by its own pid when the
// test ends, whether it passed or not.
class Xvfb {
public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool running() const { return pid_ > 0 && !display_.empty(); }
    // Runs a shell command against this display; returns its exit status.
    int run(const std::string& command) const;
    // The same, returning what the command printed.
    std::string output(const std::string& command) const;
    const std::string& display() const { return display_; }
    // One screen pixel as RGB, read straight from the server: fast enough to
    // catch what lasts only a few frames.
    std::vector<unsigned char> pixel(int x, int y) const;
    // What a window manager sends when the window's close button is pressed.
    void requestClose(const std::string& window) const;
    // Where a window lies on the screen and its size.
    struct Box {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };
    Box geometry(const std::string& window) const;
    // Starts openbox and waits until it manages windows; stopped with the server.
    bool startWindowManager();
    // Held keys send one press only.
    void keyRepeatOff() const;

private:
    pid_t pid_ = -1;
    pid_t windowManager_ = -1;
    std::string display_;
};

// A screenshot of the whole X screen, as RGB.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    // Saves `name`.png in the build's artefacts folder for a person to look at.
    static Shot take(const Xvfb& x, const std::string& name);
    bool isColor(int x, int y, unsigned char r, unsigned char g, unsigned char b) const;
    // Bounding box (left, top, right, bottom) of the pixels of one colour, if any.
    std::optional<std::vector<int>> boxOf(unsigned char r, unsigned char g, unsigned char b) const;
};

// The real game binary in its own process; killed if the test leaves it running.
class GameProcess {
public:
    // Started in `folder` when one is given.
    GameProcess(const Xvfb& x, const std::string& binary, const std::string& folder = "");
    // A command line, with NAME=value settings added to its environment.
    GameProcess(const Xvfb& x, const std::vector<std::string>& command, const std::string& folder,
                const std::vector<std::string>& environment);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // The game window's id, once it is mapped (empty if it never appears).
    std::string waitForWindow(double seconds);
    // The exit status once the process ends within `seconds`.
    std::optional<int> waitForExit(double seconds);
    // What the game has printed so far.
    std::string printed() const;
    // "running", or how the process ended.
    std::string state();

private:
    pid_t pid_ = -1;
    std::string log_;
    const Xvfb& x_;
};
