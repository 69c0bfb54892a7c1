#include <algorithm>
#include <cstdlib>

#include "render/frame.h"
#include "tests/support/headless.h"

namespace {


// The bubble (91, 206, 250) at alpha 172 over `below`.
Color underBubble(Color below)
{
    auto mix = [](int top, int bottom) { return static_cast<unsigned char>((top * 172 + bottom * 83) / 255); };
    return Color{mix(91, below.r), mix(206, below.g), mix(250, below.b), 255};
}

// Blending may round either way.
bool nearColor(Color a, Color b)
{
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

int clippedCount(const Screen& s, int x0, int y0, int x1, int y1, Color color)
{
    return s.count(std::max(x0, 0), std::max(y0, 0), std::min(x1, 1280), std::min(y1, 720), color);
}

// The visible part of the box is all `color`, and the pixels just around it are not.
void expectFilled(const Screen& s, int x, int y, int w, int h, Color color)
{
    int visible = (std::min(x + w, 1280) - std::max(x, 0)) * (std::min(y + h, 720) - std::max(y, 0));
    int inside = clippedCount(s, x, y, x + w, y + h, color);
    EXPECT_EQ(inside, visible) << "box " << x << "," << y << " " << w << "x" << h;
    EXPECT_EQ(clippedCount(s, x - 1, y - 1, x + w + 1, y + h + 1, color), inside)
        << "colour spills around box " << x << "," << y;
}

bool samePicture(const Screen& a, const Screen& b)
{
    return std::equal(a.pixels.begin(), a.pixels.end(), b.pixels.begin(), sameColor);
}

Level emptyLevel() { return Level({}, {}, {}, {}, {}, {0, 0}, 1200, 600); }

// One block at a fractional place and size, one partly off the window's corner.
template <typename Block, typename... Flag>
std::vector<Block> twoAtFractions(bool wanted, Flag... hasGravity)
{
    if (!wanted) return {};
    return {Block(100.9f, 12.7f, 50.6f, 25.9f, hasGravity...), Block(-2.5f, -3.7f, 50, 25, hasGravity...)};
}

const Player asideOfEverything(1100, 600, 50, 50);

} // namespace

using DrawFrame = Headless;

TEST_F(DrawFrame, LevelOneShowsEveryObjectInItsColourAtItsPlace)
{
    Game game = gameOnLevel(0);
    drawFrame(game.currentLevel, game.pc, game.bubbles);
    Screen s = Screen::capture();
    expectFilled(s, 0, 0, 10, 720, staticWallColor);
    expectFilled(s, 1270, 0, 10, 720, staticWallColor);
    expectFilled(s, 10, 670, 1260, 10, staticPlatformColor); // the floor, between the borders
    expectFilled(s, 650, 100, 620, 10, staticPlatformColor); // the upper platform, up to the right border
    expectFilled(s, 500, 400, 50, 25, gravityPlatformColor);
    expectFilled(s, 1080, 50, 50, 50, goalColor);
    expectFilled(s, 51, 500, 50, 50, playerColor);
    // Nothing else is drawn.
    EXPECT_EQ(s.count(0, 0, 1280, 720, background), 1280 * 720 - (2 * 7200 + 12600 + 6200 + 1250 + 2500 + 2500));
}

TEST_F(DrawFrame, BlocksAtFractionalPlacesAreTruncatedTowardZero)
{
    const Color colors[] = {enemyColor, staticPlatformColor, staticWallColor, gravityWallColor, gravityPlatformColor};
    for (int k = 0; k < 5; k++) {
        SCOPED_TRACE(k);
        Level level(twoAtFractions<Platform>(k == 1, false), twoAtFractions<Platform>(k == 4, true),
                    twoAtFractions<Wall>(k == 2, false), twoAtFractions<Wall>(k == 3, true),
                    twoAtFractions<Enemy>(k == 0), {0, 0}, 1200, 600);
        drawFrame(level, asideOfEverything, {});
        Screen s = Screen::capture();
        expectFilled(s, 100, 12, 50, 25, colors[k]);
        expectFilled(s, -2, -3, 50, 25, colors[k]); // not (-3, -4)
    }
}

TEST_F(DrawFrame, BubbleCentreIsTruncatedTowardZero)
{
    auto withBubbleAt = [](float x, float y) {
        std::vector<Bubble> bubbles{Bubble(0, 0)};
        bubbles[0].position = Vector2{x, y};
        drawFrame(emptyLevel(), asideOfEverything, bubbles);
        return Screen::capture();
    };
    Screen fractional = withBubbleAt(640.9f, 300.7f);
    EXPECT_TRUE(samePicture(fractional, withBubbleAt(640, 300)));
    EXPECT_FALSE(samePicture(fractional, withBubbleAt(641, 301)));
    Screen offTheCorner = withBubbleAt(-20.5f, -3.7f);
    EXPECT_TRUE(samePicture(offTheCorner, withBubbleAt(-20, -3)));
    EXPECT_FALSE(samePicture(offTheCorner, withBubbleAt(-21, -4)));
}

TEST_F(DrawFrame, LaterLayersCoverEarlierOnesAndTheBubbleShowsWhatLiesBelow)
{
    // A staircase of 50 x 50 shapes 30 apart: each covers the left 20 columns
    // of the next one only if it is drawn later.
    Level level({Platform(130, 100, 50, 50, false)}, {Platform(220, 100, 50, 50, true)},
                {Wall(160, 100, 50, 50, false)}, {Wall(190, 100, 50, 50, true)}, {Enemy(100, 100, 50, 50)},
                {0, 0}, 250, 100);
    Player pc(280, 100, 50, 50);
    const Color layers[] = {enemyColor,           staticPlatformColor, staticWallColor, gravityWallColor,
                            gravityPlatformColor, goalColor,           playerColor};
    std::vector<Bubble> bubbles{Bubble(305, 170)};
    drawFrame(level, pc, bubbles);
    Screen s = Screen::capture();
    for (int k = 0; k < 7; k++) {
        SCOPED_TRACE(k);
        int width = k == 6 ? 50 : 30;
        EXPECT_EQ(s.count(100 + 30 * k, 100, 100 + 30 * k + width, 115, layers[k]), width * 15);
    }
    EXPECT_TRUE(nearColor(s.at(305, 140), underBubble(playerColor)));
    EXPECT_TRUE(nearColor(s.at(305, 200), underBubble(background)));
}

TEST_F(DrawFrame, BubbleClickedThisFrameIsDrawnAtTheCursorThisFrame)
{
    Game game = gameOnLevel(0);
    input::pressMouseAt(300, 300);
    playFrames(game);
    ASSERT_EQ(game.bubbles.size(), 1u);
    Screen s = Screen::capture();
    const Color bubble = underBubble(background);
    EXPECT_TRUE(nearColor(s.at(300, 300), bubble));
    for (int d : {-1, 1}) {
        EXPECT_TRUE(nearColor(s.at(300 + 47 * d, 300), bubble) && nearColor(s.at(300, 300 + 47 * d), bubble));
        EXPECT_TRUE(sameColor(s.at(300 + 53 * d, 300), background) && sameColor(s.at(300, 300 + 53 * d), background));
    }
    // Radius 50: the disc covers close to 50 * 50 * pi pixels.
    EXPECT_NEAR(s.count(0, 0, 1280, 720, s.at(300, 300)), 7854, 80);
}
