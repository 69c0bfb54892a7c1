#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/screen_samples.h"
#include "tests/support/xvfb.h"

namespace {

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// Long enough for two loaded cores under the sanitizers: only a hang runs out.
constexpr double exitSeconds = 30;

bool looksLikeBubble(const Shot& shot, int x, int y)
{
    return ::looksLikeBubble(&shot.rgb[(static_cast<size_t>(y) * shot.width + x) * 3]);
}

// A box on screen shows a game box (left, top, right, bottom) drawn 1.25 times, to a pixel.
bool atOneAndAQuarter(const std::optional<std::vector<int>>& box, const std::vector<int>& game)
{
    for (int i = 0; box && i < 4; i++) {
        if (std::abs((*box)[i] + i / 2 - 1.25 * (game[i] + i / 2)) > 1) return false;
    }
    return box.has_value();
}

bool sameWindow(const Shot& a, const Shot& b, int left, int top)
{
    for (int y = top; a.width > 0 && b.width > 0 && y < top + 720; y++) {
        size_t row = (static_cast<size_t>(y) * a.width + left) * 3;
        if (!std::equal(&a.rgb[row], &a.rgb[row + 1280 * 3], &b.rgb[row])) return false;
    }
    return a.width > 0 && b.width > 0;
}

} // namespace

// The real binary in a real window on a private X server.
class EndToEnd : public ::testing::Test {
protected:
    Xvfb x;
    // The game runs in an empty folder of its own, which it must leave empty.
    std::filesystem::path folder;
    std::unique_ptr<GameProcess> game;
    std::string window;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool windowManager = false;
    std::vector<std::string> environment;

    void SetUp() override
    {
        ASSERT_TRUE(x.running()) << "Xvfb did not start";
        ASSERT_TRUE(!windowManager || x.startWindowManager()) << "openbox did not start";
        char name[] = "/tmp/driftmoor-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        game = std::make_unique<GameProcess>(x, std::vector<std::string>{DRIFTMOOR_BINARY}, folder.string(),
                                             environment);
        window = game->waitForWindow(20);
        ASSERT_FALSE(window.empty()) << "no window named Driftmoor appeared on " << x.display() << "; the game is "
                                     << game->state() << " and printed:\n"
                                     << game->printed() << "\nwindows:\n"
                                     << x.output("xwininfo -root -tree");
        Xvfb::Box box = x.geometry(window);
        left = box.left;
        top = box.top;
        width = box.width;
        height = box.height;
        intro = waitFor("intro", [&](const Shot& shot) { return gameColor(shot, 35, 35, 0, 228, 48); });
        ASSERT_GT(intro.width, 0) << "the intro screen was never drawn";
    }

    void TearDown() override
    {
        game.reset();
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }

    Shot intro;

    // Screenshots until `shown` holds, for machines slower than this one.
    template <typename Condition>
    Shot waitFor(const std::string& name, Condition shown, double seconds = 15)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        do {
            Shot shot = Shot::take(x, name);
            if (shot.width > 0 && shown(shot)) return shot;
            pause(0.1);
        } while (std::chrono::steady_clock::now() < deadline);
        return Shot{};
    }

    // Clicks past the intro and waits for level 1 with the player on its floor.
    Shot startPlaying()
    {
        click(640, 360);
        return levelOne();
    }

    Shot levelOne()
    {
        Shot play = waitFor("level1", [&](const Shot& shot) {
            std::vector<int> pc = player(shot);
            // Landed: its lowest row is the one above the floor's top at 670.
            return gameColor(shot, 640, 675, 0, 0, 0) && !pc.empty() && pc[3] == 669;
        });
        EXPECT_GT(play.width, 0) << "level 1 never showed the player on its floor";
        return play;
    }

    void click(int gameX, int gameY)
    {
        x.run("xdotool mousemove " + std::to_string(left + gameX) + " " + std::to_string(top + gameY) +
              " mousedown 1");
        pause(0.1);
        x.run("xdotool mouseup 1");
    }

    // Waits for the window to take this size, and reads where it lies.
    bool resizedTo(int w, int h)
    {
        for (int tries = 0; tries < 300 && (width != w || height != h); tries++) {
            pause(0.05);
            Xvfb::Box box = x.geometry(window);
            std::tie(left, top, width, height) = std::tie(box.left, box.top, box.width, box.height);
        }
        return width == w && height == h;
    }

    // A click at a screen point makes a bubble centred there, or risen from there.
    void clickMakesBubbleAt(int screenX, int screenY)
    {
        x.run("xdotool mousemove " + std::to_string(screenX) + " " + std::to_string(screenY) + " click 1");
        bubbleMadeAt(screenX, screenY);
    }

    void bubbleMadeAt(int screenX, int screenY)
    {
        // A bubble over the background is one colour.
        auto b = waitFor("bubble", [](const Shot& s) { return s.boxOf(141, 219, 249).has_value(); }).boxOf(141, 219, 249);
        ASSERT_TRUE(b.has_value()) << "no bubble";
        EXPECT_NEAR(((*b)[0] + (*b)[2]) / 2.0, screenX, 1);
        EXPECT_LE(((*b)[1] + (*b)[3]) / 2.0, screenY + 1);
    }

    // Holds `key` until a screenshot shows the player where `reached` says,
    // however slowly the machine runs, and returns that shot (empty if never).
    template <typename Condition>
    Shot whileHeld(const std::string& key, const std::string& name, Condition reached)
    {
        return whileHeld([&] { x.run("xdotool keydown " + key); }, [&] { x.run("xdotool keyup " + key); }, name,
                         reached);
    }

    template <typename Press, typename Release, typename Condition>
    Shot whileHeld(Press press, Release release, const std::string& name, Condition reached)
    {
        press();
        Shot shot = waitFor(name, [&](const Shot& s) {
            std::vector<int> pc = player(s);
            return !pc.empty() && reached(pc);
        });
        release();
        return shot;
    }

    // The player's box once two screenshots in a row agree on it.
    std::vector<int> standingStill()
    {
        std::vector<int> last;
        Shot shot = waitFor("still", [&](const Shot& s) {
            std::vector<int> pc = player(s);
            bool same = !pc.empty() && pc == last;
            last = pc;
            return same;
        });
        return player(shot);
    }

    // Taps space and watches one pixel 40 above the standing player's head:
    // the jump is over within a second, sooner than a loaded machine's
    // screenshots may come.
    bool spaceJumps(const std::vector<int>& standing)
    {
        return jumps(standing, [&] { x.run("xdotool key space"); });
    }

    template <typename Press>
    bool jumps(const std::vector<int>& standing, Press press)
    {
        press();
        int watchX = left + (standing[0] + standing[2]) / 2;
        int watchY = top + standing[1] - 40;
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             std::chrono::steady_clock::now() < end;) {
            if (x.pixel(watchX, watchY) == std::vector<unsigned char>{0, 228, 48}) return true;
        }
        return false;
    }

    // The player's box in game coordinates.
    std::vector<int> player(const Shot& shot)
    {
        auto box = shot.boxOf(0, 228, 48);
        if (!box) return {};
        return {(*box)[0] - left, (*box)[1] - top, (*box)[2] - left, (*box)[3] - top};
    }

    int playerX(const Shot& shot)
    {
        std::vector<int> pc = player(shot);
        return pc.empty() ? -1 : pc[0];
    }

    bool gameColor(const Shot& shot, int gameX, int gameY, unsigned char r, unsigned char g, unsigned char b)
    {
        return shot.isColor(left + gameX, top + gameY, r, g, b);
    }
};

TEST_F(EndToEnd, ShowsTheLegendThenLevelOneAndClosesWithStatusOne)
{
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);

    for (const Sample& s : introSamples) EXPECT_TRUE(gameColor(intro, s.x, s.y, s.r, s.g, s.b)) << s.what << " sample";
    EXPECT_TRUE(looksLikeBubble(intro, left + introBubbleX, top + introBubbleY)) << "bubble sample";
    int ink = 0;
    for (int gx = 10; gx < 700; gx++) ink += gameColor(intro, gx, 395, 0, 0, 0);
    EXPECT_GT(ink, 50) << "the black prompt under the legend";

    Shot play = startPlaying();
    int bubblePixels = 0;
    for (int gy = 0; gy < 720; gy += 2) {
        for (int gx = 0; gx < 1280; gx += 2) bubblePixels += looksLikeBubble(play, left + gx, top + gy);
    }
    EXPECT_EQ(bubblePixels, 0) << "the click that ended the intro also made a bubble";
    for (const Sample& s : levelOneSamples) EXPECT_TRUE(gameColor(play, s.x, s.y, s.r, s.g, s.b)) << s.what;
    std::vector<int> pc = player(play);
    ASSERT_FALSE(pc.empty()) << "no green player on screen";
    EXPECT_EQ(pc[0], 51);
    EXPECT_GE(pc[1], 500);
    EXPECT_LE(pc[3], 670) << "the player rests on the floor, not in it";

    x.run("xdotool key Escape");
    EXPECT_EQ(game->waitForExit(exitSeconds), std::optional<int>(1));
}

TEST_F(EndToEnd, DWalksRightAndSpaceJumps)
{
    std::vector<int> before = player(startPlaying());
    ASSERT_FALSE(before.empty());
    std::vector<int> walked = player(whileHeld("d", "after-walk", [&](const std::vector<int>& pc) {
        return pc[0] > before[0] + 20;
    }));
    ASSERT_FALSE(walked.empty()) << "D held did not walk the player 20 pixels right";
    EXPECT_EQ(walked[1], before[1]);

    std::vector<int> standing = player(Shot::take(x, "walked"));
    ASSERT_FALSE(standing.empty());
    EXPECT_TRUE(spaceJumps(standing)) << "Space did not lift the player 40 pixels";
}

TEST_F(EndToEnd, ClickedBubbleRisesTranslucent)
{
    startPlaying();
    click(300, 600);
    Shot first = Shot::take(x, "bubble");
    auto bubbleTop = [&](const Shot& shot) {
        for (int y = 0; y < 720; y++) {
            if (looksLikeBubble(shot, left + 300, top + y)) return y;
        }
        return -1;
    };
    int firstTop = bubbleTop(first);
    ASSERT_GE(firstTop, 0) << "no bubble under the cursor";
    EXPECT_LT(firstTop, 600);
    Shot later = waitFor("bubble-later", [&](const Shot& shot) {
        int laterTop = bubbleTop(shot);
        return laterTop >= 0 && laterTop < firstTop - 20;
    });
    EXPECT_GT(later.width, 0) << "the bubble does not rise 20 pixels";
}

TEST_F(EndToEnd, HoldingRPutsThePlayerBackAtTheStart)
{
    startPlaying();
    std::vector<int> walked = player(whileHeld("d", "before-restart", [](const std::vector<int>& pc) {
        return pc[0] > 80;
    }));
    ASSERT_FALSE(walked.empty()) << "D held did not walk the player past x 80";

    std::vector<int> restarted = player(whileHeld("r", "restart", [](const std::vector<int>& pc) {
        return pc[0] == 51;
    }));
    ASSERT_FALSE(restarted.empty()) << "R held did not put the player back at x 51";
    EXPECT_GE(restarted[1], 500);
    EXPECT_LE(restarted[1], 511) << "one frame of falling from the start point";
}

// By design the intro reads neither the close button nor Escape: the click
// that ends it lets the first pass of play see the request.
TEST_F(EndToEnd, CloseButtonOnTheIntroThenAClickEndsWithStatusOne)
{
    x.requestClose(window);
    pause(0.3);
    click(640, 360);
    EXPECT_EQ(game->waitForExit(exitSeconds), std::optional<int>(1)) << game->state();
}

TEST_F(EndToEnd, EscapeOnTheIntroThenAClickEndsWithStatusOne)
{
    x.run("xdotool key Escape");
    pause(0.3);
    click(640, 360);
    EXPECT_EQ(game->waitForExit(exitSeconds), std::optional<int>(1)) << game->state();
}

// A touchpad's tap delivers press and release together, inside one frame.
TEST_F(EndToEnd, InstantClicksAndTapsCount)
{
    auto instantClick = [&](int gameX, int gameY) {
        x.run("xdotool mousemove " + std::to_string(left + gameX) + " " + std::to_string(top + gameY) + " click 1");
    };
    instantClick(640, 360);
    Shot play = waitFor("level1", [&](const Shot& shot) { return gameColor(shot, 640, 675, 0, 0, 0); });
    ASSERT_GT(play.width, 0) << "an instant click did not end the intro";

    for (int n = 0; n < 5; n++) {
        instantClick(200 + 200 * n, 650);
        pause(0.1);
    }
    // Bubbles rise 4.9 a frame, so the first is still on screen after a second.
    Shot bubbles = Shot::take(x, "instant-bubbles");
    for (int n = 0; n < 5; n++) {
        int column = 200 + 200 * n;
        bool seen = false;
        for (int y = 0; y < 660 && !seen; y++) seen = looksLikeBubble(bubbles, left + column, top + y);
        EXPECT_TRUE(seen) << "no bubble above the instant click at x " << column;
    }

    std::vector<int> standing = player(bubbles);
    ASSERT_FALSE(standing.empty());
    EXPECT_TRUE(spaceJumps(standing)) << "a tap of space did not jump";
}

// An Xbox 360 pad, through a preloaded stand-in that shows the game a folder
// of FIFOs as /dev/input: the test writes the pad's evdev records.
class Gamepad : public EndToEnd {
protected:
    std::filesystem::path devices;
    int pad = -1;

    Gamepad()
    {
        char name[] = "/tmp/driftmoor-pads-XXXXXX";
        devices = mkdtemp(name);
        // LD_PRELOAD splits at spaces, so the stand-in is found by name. It
        // comes before the sanitizers' runtime.
        environment = {"LD_PRELOAD=" DRIFTMOOR_FAKE_EVDEV, "LD_LIBRARY_PATH=" DRIFTMOOR_FAKE_EVDEV_FOLDER,
                       "DRIFTMOOR_FAKE_INPUT=" + devices.string(), "ASAN_OPTIONS=verify_asan_link_order=0"};
    }
    ~Gamepad() override
    {
        if (pad >= 0) close(pad);
        std::filesystem::remove_all(devices);
    }

    // Plugs the pad in during play, and waits for the game to open it.
    bool plugIn()
    {
        std::string path = (devices / "event0").string();
        mkfifo(path.c_str(), 0600);
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
             pad < 0 && std::chrono::steady_clock::now() < end; pause(0.05)) {
            pad = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        }
        return pad >= 0;
    }

    void unplug()
    {
        std::filesystem::remove(devices / "event0");
        close(pad);
        pad = -1;
    }

    // Records written at once reach the game within one frame.
    void send(std::initializer_list<input_event> records)
    {
        std::vector<input_event> all;
        for (input_event record : records) {
            all.push_back(record);
            all.push_back({{}, EV_SYN, SYN_REPORT, 0});
        }
        ASSERT_EQ(write(pad, all.data(), all.size() * sizeof(input_event)), ssize_t(all.size() * sizeof(input_event)));
    }
    static input_event button(int code, int value) { return {{}, EV_KEY, static_cast<__u16>(code), value}; }
    static input_event axis(int code, int value) { return {{}, EV_ABS, static_cast<__u16>(code), value}; }
};

TEST_F(Gamepad, PlugsInAndPlaysAloneThenLetsGoWhenUnplugged)
{
    ASSERT_TRUE(plugIn()) << "the game never opened the pad";
    send({button(BTN_TR, 1), button(BTN_TR, 0)});
    std::vector<int> start = player(levelOne());
    ASSERT_FALSE(start.empty()) << "a quick press of the right shoulder did not start the game";

    auto walk = [&](int code, int value, const std::string& name, auto reached) {
        return player(whileHeld([&] { send({axis(code, value)}); }, [&] { send({axis(code, 0)}); }, name, reached));
    };
    std::vector<int> right = walk(ABS_X, 32767, "stick", [&](auto& pc) { return pc[0] > start[0] + 40; });
    ASSERT_FALSE(right.empty()) << "the left stick did not walk right";
    ASSERT_FALSE(walk(ABS_HAT0X, -1, "d-pad", [&](auto& pc) { return pc[0] < right[0] - 20; }).empty())
        << "the d-pad did not walk left";
    EXPECT_TRUE(jumps(standingStill(), [&] { send({button(BTN_A, 1), button(BTN_A, 0)}); }))
        << "a quick press of the south button did not jump";

    auto aim = [&](const Shot& s) { return s.boxOf(255, 255, 255); };
    send({axis(ABS_RX, 13107)});  // Tilted 0.4, the aim moves 36 pixels a second.
    Shot aimed = waitFor("aimed", [&](const Shot& s) { return aim(s) && (*aim(s))[0] > left + 700; });
    send({axis(ABS_RX, 0)});
    ASSERT_GT(aimed.width, 0) << "the right stick did not move a drawn aim 60 pixels right";
    std::optional<std::vector<int>> still, last;
    waitFor("aim-still", [&](const Shot& s) { return (still = std::exchange(last, aim(s))) && still == last; });
    ASSERT_TRUE(still.has_value());
    send({axis(ABS_RZ, 255), axis(ABS_RZ, 0)});
    bubbleMadeAt(((*still)[0] + (*still)[2]) / 2, ((*still)[1] + (*still)[3]) / 2);

    std::vector<int> restarted = player(whileHeld([&] { send({button(BTN_Y, 1)}); }, [&] { send({button(BTN_Y, 0)}); },
                                                  "restart", [&](auto& pc) { return pc[0] == start[0]; }));
    EXPECT_FALSE(restarted.empty()) << "the north button did not restart the level";

    send({axis(ABS_X, 32767)});
    ASSERT_GT(waitFor("walking", [&](const Shot& s) { return playerX(s) > start[0] + 20; }).width, 0);
    unplug();
    int unplugged = playerX(Shot::take(x, "unplugged"));
    // Stopped within a few frames, not by the wall at the level's end.
    std::vector<int> stopped = standingStill();
    EXPECT_TRUE(!stopped.empty() && stopped[0] - unplugged <= 50 && stopped[2] < 1260)
        << "the walk went on after the pad was unplugged at x " << unplugged;
}

// The game stores nothing: F12, raylib's screenshot key, writes no file.
TEST_F(EndToEnd, F12LeavesTheGamesFolderEmpty)
{
    x.run("xdotool key F12");
    startPlaying();
    x.run("xdotool keydown F12");
    pause(0.2);
    x.run("xdotool keyup F12 key F12");
    pause(0.3);
    x.run("xdotool key Escape");
    EXPECT_EQ(game->waitForExit(exitSeconds), std::optional<int>(1));
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << "the game wrote into " << folder;
}

// Switched by each key under openbox, and by F11 without a window manager,
// where the window covers the screen itself.
struct Switch {
    const char* key;
    bool windowManager;
    const char* name;
};

void PrintTo(const Switch& way, std::ostream* out) { *out << way.name; }

class FullScreen : public EndToEnd, public ::testing::WithParamInterface<Switch> {
protected:
    FullScreen()
    {
        windowManager = GetParam().windowManager;
        // A held key that the game lost would come back with the next repeat.
        x.keyRepeatOff();
    }
    void switchOver() { x.run(std::string("xdotool key ") + GetParam().key); }
};

TEST_P(FullScreen, ShowsLevelOneOneAndAQuarterTimesThenTheWindowAsBeforeAtAnySize)
{
    Shot last = startPlaying();
    Shot windowed = waitFor("windowed", [&](const Shot& s) { return sameWindow(s, std::exchange(last, s), left, top); });
    std::vector<int> pc = player(windowed);
    Xvfb::Box before = x.geometry(window);

    switchOver();
    ASSERT_TRUE(resizedTo(1600, 900));
    Shot full = waitFor("full-screen", [&](const Shot& s) {
        return atOneAndAQuarter(s.boxOf(0, 228, 48), pc) && atOneAndAQuarter(s.boxOf(0, 121, 241), {1080, 50, 1129, 99}) &&
               s.isColor(800, 843, 0, 0, 0) && s.isColor(0, 0, 200, 200, 200) && s.isColor(1599, 899, 200, 200, 200);
    });
    ASSERT_GT(full.width, 0) << "level 1 is not drawn 1.25 times from corner to corner";
    clickMakesBubbleAt(800, 450);

    switchOver();
    ASSERT_TRUE(resizedTo(1280, 720));
    EXPECT_EQ(std::tie(left, top), std::tie(before.left, before.top));
    Shot back = waitFor("windowed-again", [&](const Shot& s) { return sameWindow(s, windowed, left, top); });
    EXPECT_GT(back.width, 0) << "the window is not drawn as before full screen";

    // 1000 x 562 between 69 rows of black above and below; a click in a bar makes no bubble.
    x.run("xdotool windowsize " + window + " 1000 700");
    ASSERT_TRUE(resizedTo(1000, 700));
    Shot boxed = waitFor("letterboxed", [&](const Shot& s) {
        return gameColor(s, 500, 68, 0, 0, 0) && gameColor(s, 0, 69, 200, 200, 200) && gameColor(s, 500, 69, 245, 245, 245) &&
               gameColor(s, 999, 630, 200, 200, 200) && gameColor(s, 500, 631, 0, 0, 0);
    });
    ASSERT_GT(boxed.width, 0) << "no picture of 1000 x 562 between black bars";
    x.run("xdotool mousemove " + std::to_string(left + 200) + " " + std::to_string(top + 670) + " click 1");
    clickMakesBubbleAt(left + 700, top + 350);

    // RGFW lets go of every key when the window loses the focus.
    x.run("xdotool keydown d");
    int walked = 0;
    waitFor("walking", [&](const Shot& s) { return (walked = playerX(s)) > pc[0] * 100 / 128 + 20; });
    switchOver();
    ASSERT_TRUE(resizedTo(1600, 900));
    Shot on = waitFor("walked-on", [&](const Shot& s) { return playerX(s) > walked * 8 / 5 + 40; });
    x.run("xdotool keyup d key Escape");
    EXPECT_GT(on.width, 0) << "D held did not walk on across the switch";
    EXPECT_EQ(game->waitForExit(exitSeconds), std::optional<int>(1));
}

INSTANTIATE_TEST_SUITE_P(Keys, FullScreen,
                         ::testing::Values(Switch{"F11", true, "F11"}, Switch{"alt+Return", true, "AltEnter"},
                                           Switch{"F11", false, "F11WithoutWindowManager"}),
                         [](const auto& way) { return way.param.name; });

namespace {

struct Outcome {
    int status = -1;
    std::string printed;
};

Outcome runGame(const std::string& environment)
{
    std::string command = "env " + environment + " " + shellWord(DRIFTMOOR_BINARY) + " </dev/null 2>&1";
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) outcome.printed += buffer;
    int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return outcome;
}

} // namespace

// A stale DISPLAY after ssh, a Wayland session without XWayland, no desktop at
// all: the game names the trouble and exits with status 2 instead of crashing.
TEST(WithoutDisplay, SaysWhyAndExitsWithStatusTwo)
{
    Outcome unset = runGame("-u DISPLAY -u WAYLAND_DISPLAY");
    EXPECT_EQ(unset.status, 2);
    EXPECT_NE(unset.printed.find("DISPLAY is not set"), std::string::npos) << unset.printed;

    Outcome wayland = runGame("-u DISPLAY WAYLAND_DISPLAY=wayland-0");
    EXPECT_EQ(wayland.status, 2);
    EXPECT_NE(wayland.printed.find("needs XWayland"), std::string::npos) << wayland.printed;

    Outcome unreachable = runGame("DISPLAY=:77");
    EXPECT_EQ(unreachable.status, 2);
    EXPECT_NE(unreachable.printed.find("cannot open the display \":77\""), std::string::npos) << unreachable.printed;
}
