#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "raylib.h"
#include "tests/support/input.h"
#include "tests/support/state_text.h"

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

// Every test starts with no keys held and the button up.
class Headless : public ::testing::Test {
protected:
    void SetUp() override { input::settle(); }
    void TearDown() override { input::settle(); }
};
