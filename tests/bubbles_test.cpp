#include <string>
#include <type_traits>
#include <vector>

#include "bubbles/bubble_pass.h"
#include "bubbles/falling.h"
#include "tests/support/headless.h"

namespace {

// The game's vertical steps: widen to double, apply, round back to float.
float risen(float y) { return static_cast<float>(static_cast<double>(y) - 4.9); }
float dropped(float y) { return static_cast<float>(static_cast<double>(y) + 9.8); }

// No static objects, goal parked in the bottom-right corner.
Level bareLevel(std::vector<Platform> platforms, std::vector<Wall> walls = {})
{
    return Level({}, std::move(platforms), {}, std::move(walls), {}, {0, 0}, 1200, 650);
}

template <typename Block>
std::vector<Block>& gravityList(Level& level)
{
    if constexpr (std::is_same_v<Block, Platform>) {
        return level.gravityPlatforms;
    } else {
        return level.gravityWalls;
    }
}

void clickAt(Game& game, int x, int y)
{
    input::pressMouseAt(x, y);
    playFrames(game);
}

} // namespace

using BubbleTopEdge = Headless;

TEST_F(BubbleTopEdge, ClickIsRemovedAfterTheRightNumberOfRises)
{
    struct Case { int y; int passes; };
    for (Case c : {Case{0, 1}, Case{1, 1}, Case{4, 1}, Case{5, 2}, Case{719, 147}}) {
        SCOPED_TRACE(c.y);
        Game game = gameOnLevel(0);
        clickAt(game, 100, c.y);
        ASSERT_EQ(game.bubbles.size(), 1u);
        EXPECT_TRUE(sameBits(game.bubbles[0].position.x, 100.0f));
        EXPECT_TRUE(sameBits(game.bubbles[0].position.y, static_cast<float>(c.y)));
        float expected = static_cast<float>(c.y);
        for (int n = 1; n < c.passes; n++) expected = risen(expected);
        playFrames(game, c.passes - 1);
        ASSERT_EQ(game.bubbles.size(), 1u);
        EXPECT_TRUE(sameBits(game.bubbles[0].position.y, expected)) << game.bubbles[0].position.y;
        playFrames(game);
        EXPECT_TRUE(game.bubbles.empty());
    }
}

TEST_F(BubbleTopEdge, BubbleMarkedAtTheTopTriesNoCapture)
{
    for (int y : {4, 5}) {
        SCOPED_TRACE(y);
        Level level = bareLevel({Platform(0, -20, 100, 40, true)});
        std::vector<Bubble> bubbles{Bubble(50, y)};
        std::vector<int> marked;
        bubblePass(bubbles, marked, level);
        bool atTop = y == 4;
        EXPECT_EQ(marked, atTop ? std::vector<int>{0} : std::vector<int>{});
        EXPECT_EQ(bubbles[0].carrying, !atTop);
        EXPECT_EQ(level.gravityPlatforms[0].hasGravity, atTop);
    }
}

TEST_F(BubbleTopEdge, SeveralAtTheTopLeaveInOneFrameAndSurvivorsKeepOrder)
{
    // Bubbles 0 and 2 cross the top in the fifth frame; 1 and 3 stay.
    Game game = gameOnLevel(0);
    clickAt(game, 100, 15);
    clickAt(game, 200, 300);
    clickAt(game, 300, 6);
    clickAt(game, 400, 300);
    ASSERT_EQ(game.bubbles.size(), 4u);
    playFrames(game);
    ASSERT_EQ(game.bubbles.size(), 2u);
    EXPECT_EQ(game.bubbles[0].position.x, 200.0f);
    EXPECT_EQ(game.bubbles[1].position.x, 400.0f);
    EXPECT_TRUE(game.deleteBubbles.empty());
}

using BubbleCapture = Headless;

TEST_F(BubbleCapture, GravityPlatformIsTakenOnlyOnceTheCentreIsInside)
{
    // Level 1's platform falls from 400; a click at 440 rises to 435.1 against
    // a bottom edge of 434.8, so its circle overlaps a frame before its centre.
    struct Case { int clickY; int captureFrame; };
    for (Case c : {Case{439, 2}, Case{440, 3}}) {
        SCOPED_TRACE(c.clickY);
        Game game = gameOnLevel(0);
        Platform& platform = game.currentLevel.gravityPlatforms[0];
        float expectedY = 400.0f;
        clickAt(game, 525, c.clickY);
        for (int frame = 2; frame < c.captureFrame; frame++) {
            expectedY = dropped(expectedY);
            playFrames(game);
            ASSERT_FALSE(game.bubbles[0].carrying);
        }
        expectedY = dropped(expectedY);
        playFrames(game);
        const Bubble& b = game.bubbles[0];
        ASSERT_TRUE(b.carrying);
        EXPECT_EQ(b.carriedKind, "p");
        EXPECT_EQ(b.carriedIndex, 0);
        EXPECT_FALSE(platform.hasGravity);
        EXPECT_TRUE(sameBits(platform.y, expectedY));
        for (int frame = 0; frame < 20; frame++) {
            expectedY = risen(expectedY);
            playFrames(game);
            ASSERT_TRUE(sameBits(platform.y, expectedY));
            ASSERT_TRUE(sameBits(platform.rect.y, expectedY));
        }
    }
}

TEST_F(BubbleCapture, TakenTestComparesIndicesAcrossKinds)
{
    // A carries index 0 of one kind, B sits in index 0 of the other kind and
    // must be refused; C sits in index 1 of that kind and may take it.
    struct Case { int aX, bX, cX; const char* cKind; };
    for (Case c : {Case{250, 50, 450, "p"}, Case{50, 250, 650, "w"}}) {
        SCOPED_TRACE(c.cKind);
        Level level = bareLevel({Platform(0, 100, 100, 50, true), Platform(400, 100, 100, 50, true)},
                                {Wall(200, 100, 100, 50, true), Wall(600, 100, 100, 50, true)});
        std::vector<Bubble> bubbles{Bubble(c.aX, 140)};
        std::vector<int> marked;
        bubblePass(bubbles, marked, level);
        ASSERT_EQ(bubbles[0].carriedIndex, 0);
        bubbles.emplace_back(c.bX, 140);
        bubbles.emplace_back(c.cX, 140);
        bubblePass(bubbles, marked, level);
        EXPECT_FALSE(bubbles[1].carrying);
        EXPECT_EQ(bubbles[1].carriedIndex, -1);
        EXPECT_EQ(bubbles[2].carriedKind, c.cKind);
        EXPECT_EQ(bubbles[2].carriedIndex, 1);
        // B's block keeps its gravity; A's stays carried.
        bool aCarriesWall = c.aX == 250;
        EXPECT_EQ(level.gravityPlatforms[0].hasGravity, aCarriesWall);
        EXPECT_EQ(level.gravityWalls[0].hasGravity, !aCarriesWall);
    }
}

template <typename Block>
class BubblePassEnd : public Headless {};
using BlockKinds = ::testing::Types<Platform, Wall>;
TYPED_TEST_SUITE(BubblePassEnd, BlockKinds);

TYPED_TEST(BubblePassEnd, CaptureStopsTheLaterBubblesForThatFrame)
{
    Level level = bareLevel({});
    std::vector<TypeParam>& blocks = gravityList<TypeParam>(level);
    blocks = {TypeParam(0, 100, 100, 50, true), TypeParam(400, 600, 100, 50, true)};
    // Bubble 0 reaches block 0 only in the second pass; bubble 1 takes block 1 in the first.
    std::vector<Bubble> bubbles{Bubble(50, 155), Bubble(450, 640)};
    std::vector<int> marked;
    bubblePass(bubbles, marked, level);
    ASSERT_EQ(bubbles[1].carriedIndex, 1);
    bubbles.emplace_back(700, 4);
    bubblePass(bubbles, marked, level);
    ASSERT_EQ(bubbles[0].carriedIndex, 0);
    EXPECT_TRUE(sameBits(bubbles[1].position.y, risen(640.0f)));
    EXPECT_TRUE(sameBits(blocks[1].y, 600.0f) && sameBits(blocks[1].rect.y, 600.0f));
    EXPECT_TRUE(sameBits(bubbles[2].position.y, 4.0f));
    EXPECT_TRUE(marked.empty());
    bubblePass(bubbles, marked, level);
    EXPECT_TRUE(sameBits(blocks[1].y, risen(600.0f)));
    EXPECT_EQ(marked, std::vector<int>{2});
}

using BubbleGoal = Headless;

TEST_F(BubbleGoal, GoalCaptureLetsThePassGoOnAndTheLowerIndexWins)
{
    // Bubble 0 takes platform 0 in the first pass and so holds up the rest.
    // Bubbles 1 and 2 sit in the goal; bubble 3 in platform 1 and wall 1 at once.
    Level level = bareLevel({Platform(0, 100, 100, 50, true), Platform(400, 100, 100, 50, true)},
                            {Wall(200, 400, 10, 10, true), Wall(400, 100, 100, 50, true)});
    std::vector<Bubble> bubbles{Bubble(50, 140), Bubble(1210, 680), Bubble(1240, 690), Bubble(450, 140)};
    std::vector<int> marked;
    bubblePass(bubbles, marked, level);
    ASSERT_EQ(bubbles[0].carriedKind, "p");
    bubblePass(bubbles, marked, level);
    EXPECT_EQ(bubbles[1].carriedKind, "v");
    EXPECT_TRUE(bubbles[1].carrying);
    EXPECT_EQ(bubbles[1].carriedIndex, -1);
    EXPECT_FALSE(bubbles[2].carrying);
    EXPECT_EQ(bubbles[2].carriedKind, "");
    EXPECT_EQ(bubbles[3].carriedKind, "p");
    EXPECT_EQ(bubbles[3].carriedIndex, 1);
    EXPECT_TRUE(level.gravityWalls[1].hasGravity);
    EXPECT_TRUE(sameBits(level.goal.y, 650.0f));
    bubblePass(bubbles, marked, level);
    EXPECT_TRUE(sameBits(level.goal.y, risen(650.0f)));
}

TEST_F(BubbleGoal, CarriedGoalStopsAtTheTopEdgeAndStaysThere)
{
    Game game = gameOnLevel(0);
    clickAt(game, 1100, 80);
    playFrames(game);
    ASSERT_EQ(game.bubbles[0].carriedKind, "v");
    playFrames(game, 30);
    ASSERT_TRUE(game.bubbles.empty());
    float expected = 50.0f;
    while (expected > 0) expected = risen(expected);
    EXPECT_TRUE(sameBits(game.currentLevel.goal.y, expected)) << game.currentLevel.goal.y;
    EXPECT_GT(game.currentLevel.goal.y, -4.9f);
}

using BubbleCarry = Headless;

TEST_F(BubbleCarry, SecondCaptureAbandonsTheFirstLoadInTheAir)
{
    // Clicked near the top of platform 0, the bubble is out of it one rise
    // after it lets go, so it cannot take it back.
    Level level = bareLevel({Platform(0, 400, 100, 25, true), Platform(0, 200, 100, 25, true)});
    std::vector<Bubble> bubbles{Bubble(50, 409)};
    std::vector<int> marked;
    auto frame = [&] {
        bubblePass(bubbles, marked, level);
        deletionStep(bubbles, marked, level);
        fallingPass(level);
    };
    frame();
    ASSERT_EQ(bubbles[0].carriedIndex, 0);
    for (int n = 0; n < 100 && bubbles[0].carriedIndex == 0; n++) frame();
    ASSERT_EQ(bubbles[0].carriedIndex, 1);
    const Platform& first = level.gravityPlatforms[0];
    const float abandonedAt = first.y;
    EXPECT_FALSE(first.hasGravity);
    for (int n = 0; n < 100 && !bubbles.empty(); n++) {
        ASSERT_EQ(bubbles[0].carriedIndex, 1);
        frame();
    }
    ASSERT_TRUE(bubbles.empty());
    for (int n = 0; n < 5; n++) frame();
    EXPECT_FALSE(first.hasGravity);
    EXPECT_TRUE(sameBits(first.y, abandonedAt) && sameBits(first.rect.y, abandonedAt));
    EXPECT_TRUE(level.gravityPlatforms[1].hasGravity);
}

TEST_F(BubbleCarry, ReleasedLoadFallsInTheFrameItsBubbleLeaves)
{
    // Caught near the top in the first frame, so the carry is short; the load
    // then falls back to where the level lets it settle.
    struct Case { int level, x; const char* kind; int index; float settledY; };
    for (Case c : {Case{1, 575, "p", 1, 585.9f}, Case{2, 640, "w", 0, 0.9f}}) {
        SCOPED_TRACE(c.kind);
        Game game = gameOnLevel(c.level);
        Level& lv = game.currentLevel;
        bool wall = std::string(c.kind) == "w";
        auto y = [&] { return wall ? lv.gravityWalls[c.index].y : lv.gravityPlatforms[c.index].y; };
        auto rectY = [&] { return wall ? lv.gravityWalls[c.index].rect.y : lv.gravityPlatforms[c.index].rect.y; };
        auto flag = [&] { return wall ? lv.gravityWalls[c.index].hasGravity : lv.gravityPlatforms[c.index].hasGravity; };
        clickAt(game, c.x, 30);
        // The capture frame skips the load's fall, so it stays put.
        const float caughtAt = y();
        playFrames(game);
        ASSERT_EQ(game.bubbles[0].carriedKind, c.kind);
        ASSERT_EQ(game.bubbles[0].carriedIndex, c.index);
        ASSERT_TRUE(sameBits(y(), caughtAt));
        bool released = false;
        for (int n = 0; n < 10 && !released; n++) {
            float before = y();
            playFrames(game);
            released = game.bubbles.empty();
            float expected = released ? dropped(risen(before)) : risen(before);
            ASSERT_TRUE(sameBits(y(), expected)) << n;
            ASSERT_TRUE(sameBits(rectY(), expected)) << n;
            ASSERT_EQ(flag(), released) << n;
        }
        ASSERT_TRUE(released);
        playFrames(game, 70);
        EXPECT_NEAR(y(), c.settledY, 0.11f);
    }
}

TEST_F(BubbleCarry, PlayerRidesALiftedGravityPlatform)
{
    // Walk from level 1's start onto its gravity platform after it has landed.
    Game game = gameOnLevel(0);
    input::holdKey(input::keyD);
    playFrames(game, 82);
    input::releaseKey(input::keyD);
    playFrames(game, 3);
    const Platform& platform = game.currentLevel.gravityPlatforms[0];
    auto bottomGap = [&] { return platform.rect.y - (game.pc.y + game.pc.height); };
    ASSERT_GT(bottomGap(), 0.0f);
    ASSERT_LE(bottomGap(), 0.21f);
    const float startY = game.pc.y;
    clickAt(game, 525, 675);
    playFrames(game);
    ASSERT_FALSE(platform.hasGravity);
    for (int n = 0; n < 40; n++) {
        playFrames(game);
        ASSERT_GT(bottomGap(), 0.0f) << n;
        ASSERT_LE(bottomGap(), 0.21f) << n;
        ASSERT_FALSE(game.pc.airborne) << n;
    }
    EXPECT_LT(game.pc.y, startY - 190.0f);
}
