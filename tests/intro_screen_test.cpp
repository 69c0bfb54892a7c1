#include <csignal>
#include <cstdlib>
#include <unistd.h>

#include "render/intro_screen.h"
#include "tests/support/headless.h"

namespace {

struct Text {
    const char* text;
    int x, y, size, lines;
};
const Text texts[] = {
    {"This is You, you can move with the A and D keys\nand jump with space", 70, 10, 25, 2},
    {"These are platforms, you can stand on them.\nThe lighter ones have gravity", 70, 70, 25, 2},
    {"These are walls, you can not walk through them.\nThe darker ones have gravity", 70, 130, 25, 2},
    {"This is an enemy, touching it will kill you.", 70, 190, 25, 1},
    {"This is a bubble, they float.\nCreate them with left click", 70, 250, 25, 2},
    {"This is the goal, reach it to get to the next area.", 70, 310, 25, 1},
    {"Click anywhere to continue.", 10, 370, 50, 1},
};

struct Sample {
    int x, y, w, h;
    Color color;
};
const Sample samples[] = {
    {10, 10, 50, 50, playerColor},      {10, 70, 50, 25, staticPlatformColor},
    {10, 95, 50, 25, gravityPlatformColor}, {10, 130, 25, 50, staticWallColor},
    {35, 130, 25, 50, gravityWallColor}, {10, 190, 50, 50, enemyColor},
    {10, 310, 50, 50, goalColor},
};

Screen clickedThrough()
{
    // A frame of another colour first, so the legend seen afterwards is the screen's own.
    BeginDrawing();
    ClearBackground(Color{255, 0, 255, 255});
    EndDrawing();
    input::pressMouseAt(640, 700);
    showIntroScreen(); // the button is down before the first pass: that pass is the last
    input::releaseMouse();
    return Screen::capture();
}

} // namespace

using IntroScreen = Headless;

TEST_F(IntroScreen, PressBeforeTheFirstPassEndsItWithEverySampleDrawnInItsCell)
{
    Screen s = clickedThrough();
    for (const Sample& c : samples) {
        SCOPED_TRACE(testing::Message() << "sample at " << c.x << "," << c.y);
        EXPECT_EQ(s.count(c.x, c.y, c.x + c.w, c.y + c.h, c.color), c.w * c.h);
        EXPECT_EQ(s.count(c.x - 1, c.y - 1, c.x + c.w + 1, c.y + c.h + 1, c.color), c.w * c.h);
    }
    // The bubble: a translucent disc of radius 25 in its cell and nowhere else.
    Color disc = s.at(35, 275);
    EXPECT_NEAR(disc.r, (91 * 172 + 245 * 83) / 255, 2);
    EXPECT_NEAR(disc.g, (206 * 172 + 245 * 83) / 255, 2);
    EXPECT_NEAR(disc.b, (250 * 172 + 245 * 83) / 255, 2);
    int area = s.count(10, 250, 60, 300, disc);
    EXPECT_NEAR(area, 1963, 60);
    EXPECT_EQ(s.count(0, 0, 1280, 720, disc), area);
}

TEST_F(IntroScreen, EveryTextIsDrawnInBlackInItsLineBoxAndNowhereElse)
{
    Screen intro = clickedThrough();
    BeginDrawing();
    ClearBackground(background);
    for (const Text& t : texts) DrawText(t.text, t.x, t.y, t.size, black);
    EndDrawing();
    Screen reference = Screen::capture();

    int inkInBoxes = 0;
    int referenceInkInBoxes = 0;
    for (const Text& t : texts) {
        SCOPED_TRACE(t.text);
        // The line box: from the corner, as wide as raylib measures the text,
        // a font size and a line gap per line.
        int x1 = t.x + MeasureText(t.text, t.size) + 2, y1 = t.y + t.lines * (t.size + 2);
        int differing = 0;
        for (int y = t.y; y < y1; y++)
            for (int x = t.x; x < x1; x++)
                differing += sameColor(intro.at(x, y), black) != sameColor(reference.at(x, y), black);
        EXPECT_EQ(differing, 0);
        inkInBoxes += intro.count(t.x, t.y, x1, y1, black);
        referenceInkInBoxes += reference.count(t.x, t.y, x1, y1, black);
    }
    // The boxes hold every glyph, and besides them only the black platform sample is black.
    EXPECT_EQ(reference.count(0, 0, 1280, 720, black), referenceInkInBoxes);
    EXPECT_EQ(intro.count(0, 0, 1280, 720, black), inkInBoxes + 50 * 25);
}

// The press is still down in the first frame of play, as a player's is, and
// only the poll at the end of the intro's last pass keeps it from counting again.
TEST_F(IntroScreen, ThePressThatEndsItCreatesNoBubbleInTheFirstFrameOfPlay)
{
    Game game = startGame();
    input::holdTouchAt(640, 400);
    showIntroScreen();
    playFrames(game);
    input::liftTouch();
    EXPECT_TRUE(game.bubbles.empty());
}

using IntroScreenDeathTest = IntroScreen;

// A close request sticks for the rest of the process, so it is made in a child,
// which only an alarm can stop while the screen waits for a click.
TEST_F(IntroScreenDeathTest, NeitherACloseRequestNorHeldKeysEndIt)
{
    EXPECT_EXIT(
        {
            for (int key : {input::keyA, input::keyD, input::keyR, input::keySpace, int(KEY_ESCAPE), int(KEY_ENTER)})
                input::holdKey(key);
            input::requestClose();
            alarm(2);
            showIntroScreen();
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGALRM), "");
}
