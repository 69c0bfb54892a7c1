// Taps quicker than a frame on the desktop raylib we build, in a real window
// on a private X server. xdotool cannot place events between two polls, so
// XTest injects them on raylib's own connection: once XSync returns they wait
// in its queue, and the next frame's poll reads them all.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "raylib.h"
#include "tests/support/xvfb.h"
// After gtest and raylib: Xlib's macros and its Font would clash with them.
#define _XTYPEDEF_FONT
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// raylib's window backend, RGFW, keeps its connection to the X server here.
extern "C" void* RGFW_getDisplay_X11(void);

// One X server and one window for the whole process: raylib does not open a
// second window after closing the first.
class QuickTaps : public ::testing::Test {
protected:
    static Xvfb& server()
    {
        static Xvfb x;
        return x;
    }
    Display* display = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(server().running()) << "Xvfb did not start";
        if (!IsWindowReady()) {
            setenv("DISPLAY", server().display().c_str(), 1);
            SetTraceLogLevel(LOG_WARNING);
            InitWindow(320, 240, "Quick taps");
            ASSERT_TRUE(IsWindowReady());
        }
        display = static_cast<Display*>(RGFW_getDisplay_X11());
        ASSERT_NE(display, nullptr);
        // With no window manager, the keyboard follows the pointer into the window.
        auto window = static_cast<Window>(reinterpret_cast<std::uintptr_t>(GetWindowHandle()));
        XWarpPointer(display, 0, window, 0, 0, 0, 0, 160, 120);
        XSync(display, False);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!IsCursorOnScreen() && std::chrono::steady_clock::now() < deadline) frame();
        ASSERT_TRUE(IsCursorOnScreen()) << "the pointer never entered the window";
    }

    // One frame as the game runs it: the frame's end polls the events.
    static void frame()
    {
        BeginDrawing();
        ClearBackground(RAYWHITE);
        EndDrawing();
    }

    // Frames with presses and releases sent before the given frames' polls;
    // counts the frames in which `pressed` holds and those in which `down` does.
    template <typename Pressed, typename Down>
    std::pair<int, int> play(void (*event)(Display*, bool), std::vector<int> presses, std::vector<int> releases,
                             Pressed pressed, Down down)
    {
        std::pair<int, int> counted;
        for (int n = 0; n < 10; n++) {
            if (std::find(presses.begin(), presses.end(), n) != presses.end()) event(display, true);
            if (std::find(releases.begin(), releases.end(), n) != releases.end()) event(display, false);
            XSync(display, False);
            frame();
            counted.first += pressed();
            counted.second += down();
        }
        return counted;
    }
};

namespace {

void leftButton(Display* display, bool press) { XTestFakeButtonEvent(display, 1, press, 0); }

void spaceKey(Display* display, bool press)
{
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_space), press, 0);
}

} // namespace

TEST_F(QuickTaps, TwoClicksInConsecutiveFramesMakeTwoPresses)
{
    auto [presses, downFrames] = play(leftButton, {0, 1}, {0, 1}, [] { return IsMouseButtonPressed(MOUSE_BUTTON_LEFT); },
                                      [] { return IsMouseButtonDown(MOUSE_BUTTON_LEFT); });
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(downFrames, 2);
    EXPECT_TRUE(IsMouseButtonUp(MOUSE_BUTTON_LEFT));
}

TEST_F(QuickTaps, TwoKeyTapsInConsecutiveFramesMakeTwoPressesAndAHeldKeyOne)
{
    auto pressed = [] { return IsKeyPressed(KEY_SPACE); };
    auto down = [] { return IsKeyDown(KEY_SPACE); };
    auto [presses, downFrames] = play(spaceKey, {0, 1}, {0, 1}, pressed, down);
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(downFrames, 2);
    EXPECT_TRUE(IsKeyUp(KEY_SPACE));

    // Held from the second frame to the sixth: down in frames 1 to 4.
    auto [heldPresses, heldDown] = play(spaceKey, {1}, {5}, pressed, down);
    EXPECT_EQ(heldPresses, 1);
    EXPECT_EQ(heldDown, 4);
}

// A key is found by the label it carries in the layout the server has now, in
// its group in use, looked up afresh, as a player finds it.
class KeysByLetterAndPlace : public QuickTaps {
protected:
    void layout(const std::string& name, int group = 0)
    {
        ASSERT_EQ(server().run("setxkbmap " + name), 0) << name;
        Display* fresh = XOpenDisplay(server().display().c_str());
        ASSERT_NE(fresh, nullptr);
        XkbLockGroup(fresh, XkbUseCoreKbd, group);
        XCloseDisplay(fresh);
        group_ = group;
    }

    KeyCode labelled(KeySym label) const
    {
        Display* fresh = XOpenDisplay(server().display().c_str());
        KeyCode found = 0;
        for (int code = 8; fresh && code < 256 && !found; code++) {
            if (XkbKeycodeToKeysym(fresh, code, group_, 0) == label) found = code;
        }
        if (fresh) XCloseDisplay(fresh);
        return found;
    }
    void key(KeyCode code, bool press)
    {
        XTestFakeKeyEvent(display, code, press, 0);
        XSync(display, False);
        frame();
    }
    static std::set<int> lettersDown()
    {
        std::set<int> down;
        for (int k = KEY_A; k <= KEY_Z; k++) if (IsKeyDown(k)) down.insert(k);
        return down;
    }

private:
    int group_ = 0;
};

struct Labelled {
    const char* layout;
    KeySym label;
    std::set<int> holds;
    int group = 0;
};

class EachLabel : public KeysByLetterAndPlace, public ::testing::WithParamInterface<Labelled> {};

// Held, the key holds the raylib keys of its letter and of its US place; a tap
// shows each of them pressed for a frame of its own.
TEST_P(EachLabel, HoldsItsLetterAndItsPlace)
{
    layout(GetParam().layout, GetParam().group);
    KeyCode code = labelled(GetParam().label);
    ASSERT_NE(code, 0);
    key(code, true);
    EXPECT_EQ(lettersDown(), GetParam().holds);
    key(code, false);
    EXPECT_EQ(lettersDown(), std::set<int>{});

    XTestFakeKeyEvent(display, code, True, 0);
    XTestFakeKeyEvent(display, code, False, 0);
    XSync(display, False);
    frame();
    for (int k : GetParam().holds) EXPECT_TRUE(IsKeyPressed(k)) << k;
    frame();
    EXPECT_EQ(lettersDown(), std::set<int>{});
}

INSTANTIATE_TEST_SUITE_P(Layouts, EachLabel,
                         ::testing::Values(Labelled{"us", XK_a, {KEY_A}}, Labelled{"fr", XK_a, {KEY_A, KEY_Q}},
                                           Labelled{"fr", XK_q, {KEY_A, KEY_Q}}, Labelled{"fr", XK_d, {KEY_D}},
                                           Labelled{"us dvorak", XK_d, {KEY_D, KEY_H}},
                                           Labelled{"us dvorak", XK_r, {KEY_O, KEY_R}},
                                           Labelled{"-layout us,fr", XK_a, {KEY_A, KEY_Q}, 1}));

// On Dvorak, E sits in D's US place: with both held, releasing D keeps D held
// by E, and lets go of the H its own place held.
TEST_F(KeysByLetterAndPlace, ARaylibKeyIsReleasedWithTheLastKeyHoldingIt)
{
    layout("us dvorak");
    key(labelled(XK_d), true);
    key(labelled(XK_e), true);
    key(labelled(XK_d), false);
    EXPECT_EQ(lettersDown(), (std::set<int>{KEY_D, KEY_E}));
    key(labelled(XK_e), false);
    EXPECT_EQ(lettersDown(), std::set<int>{});
}

TEST_F(KeysByLetterAndPlace, ALayoutSwitchedWhileRunningCountsFromTheNextPress)
{
    layout("us");
    key(labelled(XK_a), true);
    layout("fr");
    key(labelled(XK_a), true);
    EXPECT_EQ(lettersDown(), (std::set<int>{KEY_A, KEY_Q}));
    // The first A, now labelled Q, lets go of only its A, still held by the new A.
    key(labelled(XK_q), false);
    EXPECT_EQ(lettersDown(), (std::set<int>{KEY_A, KEY_Q}));
    key(labelled(XK_a), false);
    EXPECT_EQ(lettersDown(), std::set<int>{});
}
