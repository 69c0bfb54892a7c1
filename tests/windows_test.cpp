#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/screen_samples.h"
#include "tests/support/xvfb.h"

namespace fs = std::filesystem;

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

    // Wine also maps helper windows with the game's title: the game's is the visible one of its size.
    Xvfb::Box box;
    for (int tries = 0; tries < 600 && box.width == 0; tries++) {
        std::istringstream ids(x.output("xdotool search --onlyvisible --name '^Driftmoor$'"));
        for (std::string id; std::getline(ids, id);) {
            Xvfb::Box candidate = x.geometry(id);
            if (candidate.width == 1280 && candidate.height == 720) box = candidate;
        }
        pause(0.1);
    }
    ASSERT_EQ(box.width, 1280) << "no 1280 x 720 window named Driftmoor; wine is " << wine.state() << " and printed:\n"
                               << wine.printed() << "\nwindows:\n"
                               << x.output("xwininfo -root -tree");

    auto shows = [&](const Shot& shot, const Sample& s) {
        return shot.isColor(box.left + s.x, box.top + s.y, s.r, s.g, s.b);
    };
    auto waitFor = [&](const std::string& name, auto condition) {
        Shot shot;
        for (int tries = 0; tries < 100 && !(shot.width > 0 && condition(shot)); tries++) {
            pause(0.1);
            shot = Shot::take(x, name);
        }
        return shot;
    };
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

    auto playerX = [](const Shot& shot) {
        auto p = shot.boxOf(0, 228, 48);
        return p ? (*p)[0] : -1;
    };
    x.run("xdotool keydown a");
    Shot walked = waitFor("walked-left", [&](const Shot& shot) { return playerX(shot) >= 0 && playerX(shot) < 64; });
    x.run("xdotool keyup a");
    EXPECT_TRUE(playerX(walked) >= 0 && playerX(walked) < 64) << "the key labelled A did not walk left";

    x.run("xdotool key Escape");
    EXPECT_EQ(wine.waitForExit(20), std::optional<int>(1)) << wine.state();
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
