#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/screen_samples.h"
#include "tests/support/xvfb.h"

namespace fs = std::filesystem;

// XInput's buttons, as the stand-in takes them.
constexpr int XINPUT_DPAD_LEFT = 0x0004, XINPUT_RIGHT_SHOULDER = 0x0200, XINPUT_A = 0x1000, XINPUT_Y = 0x8000;

namespace {

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// What a test unpacks and its wine prefix lie in a build folder of their own,
// named after the test's suite (one test a suite), which keeps the game's
// path within Windows' 260 characters in a long checkout too.
fs::path testFolder()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return fs::path(DRIFTMOOR_WINDOWS_TESTS) / test->test_suite_name();
}

// The zip as a player gets it, unpacked afresh into `folder`; returns the
// folder that holds the game.
fs::path unpackZip(const fs::path& folder)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string command = "unzip -q " + shellWord(DRIFTMOOR_WINDOWS_ZIP) + " -d " + shellWord(folder.string());
    EXPECT_EQ(std::system(command.c_str()), 0) << command << ": build the windows preset first";
    return folder / fs::path(DRIFTMOOR_WINDOWS_ZIP).stem();
}

std::string printed(const std::string& command)
{
    std::string text;
    if (FILE* pipe = popen((command + " </dev/null 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

// A wine prefix of the test's own, made on first use, so that stopping its
// wineserver touches no other test.
class WinePrefix {
public:
    explicit WinePrefix(const fs::path& folder)
        : environment_{"WINEPREFIX=" + folder.string(), "WINEDEBUG=-all",
                       // No offer to install Mono or Gecko.
                       "WINEDLLOVERRIDES=mscoree,mshtml="}
    {
        if (fs::exists(folder / "system.reg")) return;
        fs::create_directories(folder.parent_path());
        run(DRIFTMOOR_WINE64 " wineboot -i");
        // Made without a display, its desktop would give the game no OpenGL:
        // the game's start brings up a fresh one on the test's display.
        run(DRIFTMOOR_WINESERVER " -w");
    }
    ~WinePrefix()
    {
        run(DRIFTMOOR_WINESERVER " -k");
        run(DRIFTMOOR_WINESERVER " -w");
    }
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    const std::vector<std::string>& environment() const { return environment_; }

    // What a command run in this prefix, without a display, prints on stdout.
    std::string output(const std::string& command) const { return printed(withSettings(command)); }

private:
    std::string withSettings(const std::string& command) const
    {
        std::string line = "env -u DISPLAY";
        for (const std::string& setting : environment_) line += " " + shellWord(setting);
        return line + " " + command;
    }
    void run(const std::string& command) const
    {
        [[maybe_unused]] int status = std::system((withSettings(command) + " </dev/null >/dev/null 2>&1").c_str());
    }

    std::vector<std::string> environment_;
};

// Wine also maps helper windows with the game's title: the game's is the visible one of its size.
Xvfb::Box gameWindow(const Xvfb& x)
{
    Xvfb::Box box;
    for (int tries = 0; tries < 600 && box.width == 0; tries++) {
        std::istringstream ids(x.output("xdotool search --onlyvisible --name '^Driftmoor$'"));
        for (std::string id; std::getline(ids, id);) {
            Xvfb::Box candidate = x.geometry(id);
            if (candidate.width == 1280 && candidate.height == 720) box = candidate;
        }
        pause(0.1);
    }
    return box;
}

template <typename Condition>
Shot waitFor(const Xvfb& x, const std::string& name, Condition condition)
{
    Shot shot;
    for (int tries = 0; tries < 100 && !(shot.width > 0 && condition(shot)); tries++) {
        pause(0.1);
        shot = Shot::take(x, name);
    }
    return shot;
}

int playerX(const Shot& shot)
{
    auto p = shot.boxOf(0, 228, 48);
    return p ? (*p)[0] : -1;
}

} // namespace

// The zip's driftmoor.exe under wine, on a private Xvfb, with DISPLAY hidden
// from the Windows process as on a real Windows machine, and a French
// keyboard, whose A sits in the US Q's place.
TEST(WindowsZip, GameShowsTheIntroThenLevelOneFullScreenWhereAzertysAWalksLeftAndEscapeEndsWithStatusOne)
{
    fs::path game = unpackZip(testFolder() / "zip");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(game)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"LICENSE.txt", "README.txt", "THIRD-PARTY-NOTICES.txt", "driftmoor.exe"}));

    Xvfb x;
    ASSERT_TRUE(x.running()) << "Xvfb did not start";
    ASSERT_EQ(x.run("setxkbmap fr"), 0);
    WinePrefix prefix(testFolder() / "prefix");
    GameProcess wine(x, {DRIFTMOOR_WINE64, "cmd", "/c", "set DISPLAY=&& driftmoor.exe"}, game.string(),
                     prefix.environment());

    Xvfb::Box box = gameWindow(x);
    ASSERT_EQ(box.width, 1280) << "no 1280 x 720 window named Driftmoor; wine is " << wine.state() << " and printed:\n"
                               << wine.printed() << "\nwindows:\n"
                               << x.output("xwininfo -root -tree");

    auto shows = [&](const Shot& shot, const Sample& s) {
        return shot.isColor(box.left + s.x, box.top + s.y, s.r, s.g, s.b);
    };
    auto waitFor = [&](const std::string& name, auto condition) { return ::waitFor(x, name, condition); };
    auto expectSamples = [&](const Shot& shot, const auto& samples) {
        for (const Sample& s : samples) EXPECT_TRUE(shows(shot, s)) << s.what;
    };

    Shot intro = waitFor("intro", [&](const Shot& shot) { return shows(shot, introSamples[0]); });
    expectSamples(intro, introSamples);
    size_t bubble = (static_cast<size_t>(box.top + introBubbleY) * intro.width + box.left + introBubbleX) * 3;
    EXPECT_TRUE(intro.width > 0 && looksLikeBubble(&intro.rgb[bubble])) << "bubble";

    x.run("xdotool mousemove " + std::to_string(box.left + 640) + " " + std::to_string(box.top + 360) + " mousedown 1");
    pause(0.1);
    x.run("xdotool mouseup 1");
    // Played until the player, falling from the start point, lands on the floor.
    Shot play = waitFor("level1", [&](const Shot& shot) {
        auto player = shot.boxOf(0, 228, 48);
        return shows(shot, levelOneSamples[1]) && player && (*player)[3] - box.top >= 669;
    });
    expectSamples(play, levelOneSamples);
    auto player = play.boxOf(0, 228, 48);
    ASSERT_TRUE(player.has_value()) << "no green player on screen";
    EXPECT_EQ((*player)[0] - box.left, 51);
    EXPECT_EQ((*player)[3] - box.top, 669) << "the player rests on the floor at y 670";

    // Full screen from the screen's corner: the player 1.25 times as far from it.
    x.run("xdotool key F11");
    Shot full = waitFor("full-screen", [](const Shot& shot) {
        auto player = shot.boxOf(0, 228, 48);
        return player && (*player)[0] == 64 && (*player)[3] == 836;
    });
    EXPECT_GT(full.width, 0) << "F11 did not fill wine's screen with level 1";
    x.run("xdotool mousemove 400 450 click 1");
    // A bubble over the background is one colour.
    auto clicked = waitFor("bubble", [](const Shot& shot) { return shot.boxOf(141, 219, 249).has_value(); })
                       .boxOf(141, 219, 249);
    ASSERT_TRUE(clicked.has_value()) << "no bubble after a click in full screen";
    EXPECT_NEAR(((*clicked)[0] + (*clicked)[2]) / 2.0, 400, 1) << "the bubble is not where the click was";

    x.run("xdotool keydown a");
    Shot walked = waitFor("walked-left", [&](const Shot& shot) { return playerX(shot) >= 0 && playerX(shot) < 64; });
    x.run("xdotool keyup a");
    EXPECT_TRUE(playerX(walked) >= 0 && playerX(walked) < 64) << "the key labelled A did not walk left";

    x.run("xdotool key Escape");
    EXPECT_EQ(wine.waitForExit(20), std::optional<int>(1)) << wine.state();
}

// One XInput pad, through a stand-in xinput9_1_0.dll beside the game, which
// reads the pad's state from a file the test writes.
struct PadState {
    int connected = 0, buttons = 0, leftX = 0, leftY = 0, rightX = 0, rightY = 0, leftTrigger = 0, rightTrigger = 0;
    int pulse = 0, pulseButtons = 0;

    void write(const fs::path& file) const
    {
        fs::path part = file.string() + ".part";
        std::ofstream(part) << connected << ' ' << buttons << ' ' << leftX << ' ' << leftY << ' ' << rightX << ' '
                            << rightY << ' ' << leftTrigger << ' ' << rightTrigger << ' ' << pulse << ' '
                            << pulseButtons << '\n';
        fs::rename(part, file);
    }
};

TEST(WindowsGamepad, PlugsInAndPlaysAloneThenLetsGoWhenUnplugged)
{
    fs::path game = unpackZip(testFolder() / "zip");
    fs::copy_file(DRIFTMOOR_FAKE_XINPUT, game / "xinput9_1_0.dll");
    fs::path file = testFolder() / "pad";
    PadState pad;
    pad.write(file);
    Xvfb x;
    ASSERT_TRUE(x.running()) << "Xvfb did not start";
    WinePrefix prefix(testFolder() / "prefix");
    std::vector<std::string> environment = prefix.environment();
    environment.insert(environment.end(),
                       {"WINEDLLOVERRIDES=mscoree,mshtml=;xinput9_1_0=n", "DRIFTMOOR_FAKE_PAD=Z:" + file.string()});
    GameProcess wine(x, {DRIFTMOOR_WINE64, "cmd", "/c", "set DISPLAY=&& driftmoor.exe"}, game.string(), environment);
    Xvfb::Box box = gameWindow(x);
    ASSERT_EQ(box.width, 1280) << "no game window; wine is " << wine.state() << " and printed:\n" << wine.printed();
    auto shows = [&](const Shot& shot, const Sample& s) {
        return shot.isColor(box.left + s.x, box.top + s.y, s.r, s.g, s.b);
    };
    ASSERT_GT(waitFor(x, "intro", [&](const Shot& s) { return shows(s, introSamples[0]); }).width, 0);

    // Plugged in on the intro, its right trigger held starts the game.
    auto change = [&](auto edit) {
        edit(pad);
        pad.write(file);
    };
    change([](PadState& p) { p.connected = 1, p.rightTrigger = 255; });
    int start = playerX(
        waitFor(x, "level1", [&](const Shot& s) { return shows(s, levelOneSamples[1]) && playerX(s) >= 0; }));
    change([](PadState& p) { p.rightTrigger = 0; });
    ASSERT_EQ(start - box.left, 51) << "the right trigger did not start the game";

    auto whileHeld = [&](auto edit, const std::string& name, auto reached) {
        PadState before = pad;
        change(edit);
        int reachedX = playerX(waitFor(x, name, [&](const Shot& s) { return playerX(s) >= 0 && reached(playerX(s)); }));
        change([&](PadState& p) { p = before; });
        return reachedX;
    };
    int right = whileHeld([](PadState& p) { p.leftX = 32767; }, "stick", [&](int at) { return at > start + 40; });
    ASSERT_GT(right, start + 40) << "the left stick did not walk right";
    int dpad =
        whileHeld([](PadState& p) { p.buttons = XINPUT_DPAD_LEFT; }, "d-pad", [&](int at) { return at < right - 20; });
    ASSERT_LT(dpad, right - 20) << "the d-pad did not walk left";

    // Still once two screenshots in a row agree.
    auto still = [&](const std::string& name, auto read) {
        std::optional<std::vector<int>> last, now;
        waitFor(x, name, [&](const Shot& s) { return (now = std::exchange(last, read(s))) && now == last; });
        return now;
    };
    auto playerBox = [](const Shot& s) { return s.boxOf(0, 228, 48); };
    std::optional<std::vector<int>> standing = still("standing", playerBox);
    ASSERT_TRUE(standing.has_value());
    change([](PadState& p) { p.pulse = 1, p.pulseButtons = XINPUT_A; });
    bool jumped = false;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!jumped && std::chrono::steady_clock::now() < end) {
        int aboveX = ((*standing)[0] + (*standing)[2]) / 2, aboveY = (*standing)[1] - 40;
        jumped = x.pixel(aboveX, aboveY) == std::vector<unsigned char>{0, 228, 48};
    }
    EXPECT_TRUE(jumped) << "a press of the south button that lasted one poll did not jump";

    auto aim = [](const Shot& s) { return s.boxOf(255, 255, 255); };
    change([](PadState& p) { p.rightX = 13107; });  // Tilted 0.4, the aim moves 36 pixels a second.
    waitFor(x, "aimed", [&](const Shot& s) { return aim(s) && (*aim(s))[0] > box.left + 700; });
    change([](PadState& p) { p.rightX = 0; });
    std::optional<std::vector<int>> aimed = still("aim", aim);
    ASSERT_TRUE(aimed && (*aimed)[0] > box.left + 700) << "the right stick did not move a drawn aim 60 pixels right";
    change([](PadState& p) { p.pulse = 2, p.pulseButtons = XINPUT_RIGHT_SHOULDER; });
    auto bubbleBox = [](const Shot& s) { return s.boxOf(141, 219, 249); };
    auto bubble = bubbleBox(waitFor(x, "bubble", [&](const Shot& s) { return bubbleBox(s).has_value(); }));
    ASSERT_TRUE(bubble.has_value()) << "no bubble after the right shoulder";
    EXPECT_NEAR(((*bubble)[0] + (*bubble)[2]) / 2.0, ((*aimed)[0] + (*aimed)[2]) / 2.0, 1)
        << "the bubble is not at the aim";

    EXPECT_EQ(whileHeld([](PadState& p) { p.buttons = XINPUT_Y; }, "restart", [&](int at) { return at == start; }), start)
        << "the north button did not restart the level";

    change([](PadState& p) { p.leftX = 32767; });
    ASSERT_GT(playerX(waitFor(x, "walking", [&](const Shot& s) { return playerX(s) > start + 20; })), start + 20);
    change([](PadState& p) { p.connected = 0; });
    int unplugged = playerX(Shot::take(x, "unplugged"));
    // Stopped within a few frames, not by the wall at the level's end.
    std::optional<std::vector<int>> stopped = still("stopped", playerBox);
    EXPECT_TRUE(stopped && (*stopped)[0] - unplugged <= 50 && (*stopped)[2] - box.left < 1260)
        << "the walk went on after the pad was unplugged at x " << unplugged - box.left;
}

// The seven-level route through the real frame code on raylib's windowless
// platform: the Windows build reaches each level on the same frame and ends in
// the same state, every float exact, as the native build.
TEST(WindowsRoute, ReplaysAsTheNativeBuildDoes)
{
    std::string native = printed(shellWord(DRIFTMOOR_ROUTE_PLAYER) + " " + shellWord(DRIFTMOOR_ROUTE));
    ASSERT_NE(native.find("final state:"), std::string::npos) << native;
    WinePrefix prefix(testFolder() / "prefix");
    std::string windows = prefix.output(DRIFTMOOR_WINE64 " " + shellWord(DRIFTMOOR_WINDOWS_ROUTE_PLAYER) + " " +
                                           shellWord(DRIFTMOOR_ROUTE));
    // Windows' C runtime ends every printed line with CR LF.
    std::string expected;
    for (char c : native) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(windows, expected);
}
