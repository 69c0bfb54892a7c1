#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "raylib.h"

// Input goes through raylib's own input state on the windowless platform, so
// the game reads it with the same calls as on the desktop.
namespace input {

constexpr int keyA = 65;
constexpr int keyD = 68;
constexpr int keyR = 82;
constexpr int keySpace = 32;

void holdKey(int key);
void releaseKey(int key);
// Puts the cursor at (x, y) and presses the left button; playFrames lets it go
// after one frame, as a real click would.
void pressMouseAt(int x, int y);
void releaseMouse();
void requestClose();
// Releases every key and the button and lets one frame pass, so that no key
// counts as freshly pressed or still held in the next test.
void settle();

} // namespace input

// Plays passes of the real frame loop.
void playFrames(Game& game, int count = 1);

// A game as main builds it, switched to level `levelIndex` by the real reload.
Game gameOnLevel(int levelIndex);

// The software framebuffer as it was left by the last EndDrawing.
struct Screen {
    std::vector<Color> pixels;

    static Screen capture();
    Color at(int x, int y) const;
    // How many pixels of the box [x0, x1) x [y0, y1) have exactly `color`.
    int count(int x0, int y0, int x1, int y1, Color color) const;
};

bool sameColor(Color a, Color b);

// The game's colours as a player sees them on screen.
inline constexpr Color background{245, 245, 245, 255};
inline constexpr Color black{0, 0, 0, 255};
inline constexpr Color enemyColor{230, 41, 55, 255};
inline constexpr Color staticPlatformColor{0, 0, 0, 255};
inline constexpr Color staticWallColor{200, 200, 200, 255};
inline constexpr Color gravityWallColor{130, 130, 130, 255};
inline constexpr Color gravityPlatformColor{80, 80, 80, 255};
inline constexpr Color goalColor{0, 121, 241, 255};
inline constexpr Color playerColor{0, 228, 48, 255};

// Equality of floats as the game's arithmetic left them, bit for bit.
bool sameBits(float a, float b);

// Everything play can change, every float exact, so that two states compare
// as text and a mismatch shows where.
std::string describeLevel(const Level& level);
std::string describeState(const Game& game);

// Every test starts with no keys held and the button up.
class Headless : public ::testing::Test {
protected:
    void SetUp() override { input::settle(); }
    void TearDown() override { input::settle(); }
};
