#include <functional>
#include <utility>

#include "bubbles/falling.h"
#include "tests/support/headless.h"

namespace {

// A block at rest has its bottom edge sunk 0.8 to 1 into its support (a hair
// under 0.8 from rounding), with both copies of y identical.
template <typename Block>
bool restsAt(const Block& b, float top)
{
    float sunk = (b.y + b.height) - top;
    return sunk >= 0.8f - 1e-3f && sunk <= 1.0f && sameBits(b.y, b.rect.y);
}

float dropped(float y) { return static_cast<float>(static_cast<double>(y) + 9.8); }

Level emptyLevel(std::vector<Platform> statics)
{
    return Level(std::move(statics), {}, {}, {}, {}, {0, 0}, 1200, 0);
}

const Platform floor600(0, 600, 1280, 10, false);

} // namespace

using FallingBlocks = Headless;

TEST_F(FallingBlocks, LevelThreeWallSettlesInItsFirstFrameAndStaysThere)
{
    Game game = gameOnLevel(2);
    playFrames(game);
    const Wall& wall = game.currentLevel.gravityWalls[0];
    // Bottom edge on the platform's top: it drops 9.8 and climbs back in 45 steps.
    float expected = dropped(0);
    for (int step = 0; step < 45; step++) expected = static_cast<float>(static_cast<double>(expected) - 0.2);
    EXPECT_TRUE(sameBits(wall.y, expected)) << wall.y;
    EXPECT_NEAR(wall.y, 0.8f, 1e-5f);
    EXPECT_TRUE(sameBits(wall.rect.y, wall.y));
    for (int frame = 0; frame < 300; frame++) {
        fallingPass(game.currentLevel);
        ASSERT_TRUE(restsAt(wall, 355)) << "frame " << frame << " y " << wall.y;
        ASSERT_EQ(wall.x, 630.0f);
    }
}

TEST_F(FallingBlocks, OnlyStaticPlatformsUnderABottomCornerHoldABlock)
{
    const std::pair<const char*, std::function<void(Level&)>> obstacles[] = {
        {"static wall", [](Level& l) { l.staticWalls.emplace_back(100, 300, 100, 50, false); }},
        {"held gravity wall", [](Level& l) { l.gravityWalls.emplace_back(100, 300, 100, 50, false); }},
        {"held gravity platform", [](Level& l) { l.gravityPlatforms.emplace_back(100, 300, 100, 50, false); }},
        {"enemy", [](Level& l) { l.enemies.emplace_back(100, 300, 100, 50); }},
        {"goal", [](Level& l) { l.goal = Rectangle{120, 300, 50, 50}; }},
        {"platform between the corners", [](Level& l) { l.staticPlatforms.emplace_back(120, 300, 60, 10, false); }},
        // Probe line at 53.4 then 63.2: never inside 55..60.
        {"platform thinner than a drop", [](Level& l) { l.staticPlatforms.emplace_back(0, 55, 1280, 5, false); }},
    };
    for (const auto& [name, addObstacle] : obstacles) {
        Level level = emptyLevel({floor600});
        level.gravityPlatforms.emplace_back(100, 0, 100, 25, true);
        level.gravityWalls.emplace_back(100, 0, 100, 25, true);
        addObstacle(level);
        for (int frame = 0; frame < 70; frame++) fallingPass(level);
        EXPECT_TRUE(restsAt(level.gravityPlatforms[0], 600)) << name << ": y " << level.gravityPlatforms[0].y;
        EXPECT_TRUE(restsAt(level.gravityWalls[0], 600)) << name << " (wall): y " << level.gravityWalls[0].y;
    }
}

TEST_F(FallingBlocks, CarriedOrAbandonedBlocksDoNotMoveEvenInsideAPlatform)
{
    Level level = emptyLevel({floor600});
    level.gravityPlatforms.emplace_back(100, 590, 100, 25, false); // probe line inside the floor
    level.gravityPlatforms.emplace_back(300, 200, 50, 25, false);
    level.gravityWalls.emplace_back(500, 595, 10, 100, false);
    const Level before = level;
    for (int frame = 0; frame < 5; frame++) fallingPass(level);
    for (size_t k = 0; k < 2; k++) {
        EXPECT_TRUE(sameBits(level.gravityPlatforms[k].y, before.gravityPlatforms[k].y));
        EXPECT_TRUE(sameBits(level.gravityPlatforms[k].rect.y, before.gravityPlatforms[k].rect.y));
    }
    EXPECT_TRUE(sameBits(level.gravityWalls[0].y, 595));
    EXPECT_TRUE(sameBits(level.gravityWalls[0].rect.y, 595));
}

TEST_F(FallingBlocks, ReleasedBlockLandsOnTheFirstPlatformItsProbeLineMeets)
{
    struct Case {
        const char* name;
        std::vector<Platform> statics;
        float y;
        int frames;
        float landsOn;
    };
    const Platform ledge(0, 300, 1280, 10, false);
    const Case cases[] = {
        // Probe line 304: no drop, pushed up onto the ledge in the same frame.
        {"probe line inside the ledge", {floor600, ledge}, 280, 1, 300},
        // Overlaps the ledge with its probe line below it: the ledge does not hold it.
        {"probe line below the ledge", {floor600, ledge}, 290, 60, 600},
        // The ledge comes later in the list but is the first one below.
        {"higher platform first", {floor600, Platform(0, 400, 300, 10, false)}, 0, 60, 400},
    };
    for (const Case& c : cases) {
        for (bool wall : {false, true}) {
            Level level = emptyLevel(c.statics);
            level.gravityPlatforms.emplace_back(100, c.y, 100, 25, !wall);
            level.gravityWalls.emplace_back(100, c.y, 100, 25, wall);
            for (int frame = 0; frame < c.frames; frame++) fallingPass(level);
            const Platform& p = level.gravityPlatforms[0];
            const Wall& w = level.gravityWalls[0];
            EXPECT_TRUE(wall ? restsAt(w, c.landsOn) : restsAt(p, c.landsOn))
                << c.name << (wall ? " (wall): y " : ": y ") << (wall ? w.y : p.y);
        }
    }
}

TEST_F(FallingBlocks, LevelOnePlatformLandsOnTheFloorThroughThePlayerAndStays)
{
    Game alone = gameOnLevel(0);
    Game underneath = gameOnLevel(0);
    underneath.pc.x = underneath.pc.rect.x = 480;
    underneath.pc.y = underneath.pc.rect.y = 620;
    for (int frame = 1; frame <= 90; frame++) {
        playFrames(alone);
        playFrames(underneath);
        const Platform& p = alone.currentLevel.gravityPlatforms[0];
        ASSERT_TRUE(sameBits(p.y, underneath.currentLevel.gravityPlatforms[0].y)) << "frame " << frame;
        ASSERT_TRUE(frame <= 26 || restsAt(p, 670)) << "frame " << frame << " y " << p.y;
        ASSERT_EQ(p.x, 500.0f);
    }
    EXPECT_LT(underneath.pc.y, 600.0f) << "the player ends up standing on the platform";
}

TEST_F(FallingBlocks, LevelTwoPlatformsFallInDoublePrecisionOntoTheFloorThroughTheEnemy)
{
    Game game = gameOnLevel(1);
    float freeFall = 0;
    for (int frame = 1; frame <= 100; frame++) {
        playFrames(game);
        freeFall = dropped(freeFall);
        for (const Platform& p : game.currentLevel.gravityPlatforms) {
            // Float additions would part ways with these from the third frame on.
            bool ok = frame <= 6 ? sameBits(p.y, freeFall) && sameBits(p.rect.y, freeFall)
                                 : frame <= 61 || restsAt(p, 610);
            ASSERT_TRUE(ok) << "frame " << frame << " x " << p.x << " y " << p.y;
        }
    }
    EXPECT_EQ(game.currentLevel.gravityPlatforms[1].x, 550.0f);
    EXPECT_EQ(game.levelIndex, 1);
}

TEST_F(FallingBlocks, LiftedPlatformFallsBackAfterItsBubbleLeavesTheTop)
{
    Game game = gameOnLevel(0);
    playFrames(game, 30);
    const Platform& p = game.currentLevel.gravityPlatforms[0];
    input::pressMouseAt(525, 660);
    playFrames(game, 2);
    float highest = p.y;
    float lastCarried = p.y;
    for (int frame = 0; frame < 200 && !game.bubbles.empty(); frame++) {
        ASSERT_FALSE(p.hasGravity);
        lastCarried = p.y;
        playFrames(game);
        highest = std::min(highest, p.y);
    }
    ASSERT_TRUE(game.bubbles.empty());
    EXPECT_TRUE(p.hasGravity);
    EXPECT_LT(highest, 0.0f);
    // Its last lift, the release and the first drop all happen in one frame.
    EXPECT_TRUE(sameBits(p.y, dropped(static_cast<float>(lastCarried - 4.9)))) << p.y;
    playFrames(game, 75);
    EXPECT_TRUE(restsAt(p, 670)) << p.y;
    EXPECT_EQ(p.x, 500.0f);
}
