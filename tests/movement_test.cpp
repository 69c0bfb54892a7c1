#include <utility>
#include <vector>

#include "game/frame_loop.h"
#include "game/player_movement.h"
#include "tests/support/headless.h"

namespace {

// The vertical speeds are doubles applied to float coordinates.
float stepped(float y, double delta) { return static_cast<float>(static_cast<double>(y) + delta); }

// A level of static platforms and walls only, with the goal far out of reach.
Level field(std::vector<Platform> platforms, std::vector<Wall> walls = {})
{
    return Level(std::move(platforms), {}, std::move(walls), {}, {}, Vector2{0, 0}, -5000, -5000);
}

Game gameWith(Level level, float x, float y)
{
    Game game = startGame();
    game.currentLevel = std::move(level);
    game.pc = Player(x, y, 50, 50);
    return game;
}

void expectAt(const Player& pc, float x, float y)
{
    EXPECT_EQ(pc.x, x);
    EXPECT_EQ(pc.rect.x, x);
    EXPECT_EQ(pc.y, y);
    EXPECT_EQ(pc.rect.y, y);
}

// Resting leaves the bottom edge just above the top, within one push-up step.
void expectRestingOn(const Player& pc, float top)
{
    float bottom = pc.y + pc.height;
    EXPECT_LT(bottom, top);
    EXPECT_LE(top - bottom, 0.2001f);
    EXPECT_FALSE(pc.airborne);
    EXPECT_EQ(pc.y, pc.rect.y);
}

} // namespace

using WalkStep = Headless;

TEST_F(WalkStep, WallsPushBackAgainstTheKeyOncePerWallInListOrder)
{
    Wall wall(100, 0, 10, 720, false);
    struct Case {
        const char* what;
        std::vector<Wall> staticWalls, gravityWalls;
        bool a, d;
        float from, to;
    };
    const std::vector<Case> cases = {
        // Back from the 5 move in steps of 1, not snapped flush to the wall.
        {"D stops short of a wall", {wall}, {}, false, true, 46.5f, 49.5f},
        {"A stops short of the left border", {Wall(0, 0, 10, 720, false)}, {}, true, false, 13.5f, 10.5f},
        {"no key leaves an overlap alone", {wall}, {}, false, false, 80, 80},
        {"A pushes right across the whole wall", {wall}, {}, true, false, 80, 110},
        {"D pushes left across the whole wall", {wall}, {}, false, true, 80, 50},
        // The second wall pushes the player into the first, which is not tested again.
        {"a passed wall is not retested", {Wall(40, 0, 10, 720, false), Wall(90, 0, 20, 720, false)}, {},
         false, true, 52, 40},
        {"static walls before gravity walls", {Wall(40, 0, 10, 720, false)}, {Wall(90, 0, 20, 720, true)},
         false, true, 52, 40},
        {"nothing bounds the window's left edge", {}, {}, true, false, 3, -2},
        // A then D: D first would hit the wall and end at 45.
        {"A and D together", {wall}, {}, true, true, 48, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Level level = field({}, c.staticWalls);
        level.gravityWalls = c.gravityWalls;
        Player pc(c.from, 300, 50, 50);
        if (c.a) input::holdKey(input::keyA);
        if (c.d) input::holdKey(input::keyD);
        walkingStep(pc, level);
        input::releaseKey(input::keyA);
        input::releaseKey(input::keyD);
        expectAt(pc, c.to, 300);
    }
}

TEST_F(WalkStep, WalkingIntoAPlatformSideLiftsThePlayerOntoItInTheSameFrame)
{
    // The step's top is 40 above the player's feet; its left side is at 400.
    Game game = gameWith(field({Platform(0, 300, 400, 10, false), Platform(400, 260, 200, 50, false)}), 345, 250);
    playFrames(game, 3);
    expectRestingOn(game.pc, 300);

    input::holdKey(input::keyD);
    playFrames(game);
    EXPECT_EQ(game.pc.x, 350.0f);
    expectRestingOn(game.pc, 260);
}

using Jump = Headless;

TEST_F(Jump, RisesForThirtyFramesThenFallsAndNeedsAFreshPressFromRest)
{
    // Low enough that the jump leaves the window at the top, where float
    // arithmetic for 14.7 or 9.8 would round differently.
    constexpr float floorTop = 62;
    Game game = gameWith(field({Platform(0, floorTop, 1280, 10, false)}), 100, 12);
    playFrames(game, 3);
    expectRestingOn(game.pc, floorTop);
    float rest = game.pc.y;

    // Each frame rises 14.7, then falls 9.8 since nothing holds the player.
    input::holdKey(input::keySpace);
    float y = rest;
    for (int frame = 1; frame <= 30; frame++) {
        playFrames(game);
        y = stepped(stepped(y, -14.7), 9.8);
        expectAt(game.pc, 100, y);
        EXPECT_EQ(game.pc.jumpFrames, 30 - frame);
        EXPECT_TRUE(game.pc.airborne);
    }
    EXPECT_NEAR(rest - y, 147.0, 0.01);
    EXPECT_LT(y, 0.0f);

    for (;;) {
        playFrames(game);
        y = stepped(y, 9.8);
        if (y + 50 >= floorTop) break;
        expectAt(game.pc, 100, y);
        EXPECT_EQ(game.pc.jumpFrames, 0);
        EXPECT_TRUE(game.pc.airborne);
    }
    expectRestingOn(game.pc, floorTop);

    // Space held since the jump began: no new jump from rest.
    playFrames(game, 5);
    EXPECT_EQ(game.pc.jumpFrames, 0);
    expectRestingOn(game.pc, floorTop);

    input::releaseKey(input::keySpace);
    playFrames(game);
    input::holdKey(input::keySpace);
    playFrames(game);
    EXPECT_EQ(game.pc.jumpFrames, 29);
}

TEST_F(Jump, GoesUpThroughAPlatformLandsOnTopAndIgnoresSpaceWhileFramesRemain)
{
    Game game = gameWith(field({Platform(0, 300, 1280, 10, false), Platform(0, 200, 1280, 10, false)}), 100, 250);
    playFrames(game, 3);
    input::holdKey(input::keySpace);
    playFrames(game);
    input::releaseKey(input::keySpace);

    // Once a rise puts a bottom corner inside the shelf, the same frame lifts
    // the player on top of it, and the jump is not over.
    for (int frame = 1; frame < 30 && game.pc.airborne; frame++) playFrames(game);
    ASSERT_FALSE(game.pc.airborne);
    expectRestingOn(game.pc, 200);
    int remaining = game.pc.jumpFrames;
    ASSERT_GT(remaining, 0);

    input::holdKey(input::keySpace);
    playFrames(game);
    EXPECT_EQ(game.pc.jumpFrames, remaining - 1);
    input::releaseKey(input::keySpace);

    playFrames(game, remaining + 20);
    expectRestingOn(game.pc, 200);
}

TEST_F(Jump, SpaceDoesNothingAfterWalkingOffALedge)
{
    Game game = gameWith(field({Platform(0, 300, 100, 10, false)}), 95, 250);
    playFrames(game, 3);
    expectRestingOn(game.pc, 300);
    float y = game.pc.y;

    // At x 100 neither bottom corner is over the ledge any more.
    input::holdKey(input::keyD);
    playFrames(game);
    input::releaseKey(input::keyD);
    y = stepped(y, 9.8);
    expectAt(game.pc, 100, y);
    EXPECT_TRUE(game.pc.airborne);

    input::holdKey(input::keySpace);
    playFrames(game);
    EXPECT_EQ(game.pc.jumpFrames, 0);
    expectAt(game.pc, 100, stepped(y, 9.8));
}

using Gravity = Headless;

TEST_F(Gravity, LevelOneStartFallsOntoTheFloorAndRestsThere)
{
    // Level 1 starts the player at (51, 500) above the floor whose top is 670:
    // it falls until its bottom edge is inside the floor, then climbs out.
    float y = 500;
    int frames = 0;
    do {
        y = stepped(y, 9.8);
        frames++;
    } while (y + 50 < 670);
    while (y + 50 >= 670) y = stepped(y, -0.2);

    Game game = gameOnLevel(0);
    playFrames(game, frames - 1);
    EXPECT_TRUE(game.pc.airborne);
    playFrames(game);
    expectAt(game.pc, 51, y);
    EXPECT_FALSE(game.pc.airborne);

    for (int frame = 0; frame < 10; frame++) {
        playFrames(game);
        expectRestingOn(game.pc, 670);
    }
    input::holdKey(input::keySpace);
    playFrames(game);
    EXPECT_EQ(game.pc.jumpFrames, 29);
}

TEST_F(Gravity, DoubleStepsRoundBackToFloat)
{
    // Near zero, float arithmetic with 9.8f, 14.7f or 0.2f lands elsewhere.
    Player falling(0, -9.75f, 50, 50);
    gravityStep(falling, field({}));
    expectAt(falling, 0, stepped(-9.75f, 9.8));
    EXPECT_TRUE(falling.airborne);

    Player rising(0, 14.75f, 50, 50);
    rising.jumpFrames = 5;
    rising.airborne = false;
    jumpStep(rising);
    expectAt(rising, 0, stepped(14.75f, -14.7));
    EXPECT_EQ(rising.jumpFrames, 4);
    EXPECT_TRUE(rising.airborne);

    Player sunk(0, 0.14f, 50, 50);
    gravityStep(sunk, field({Platform(0, 50, 1280, 10, false)}));
    expectAt(sunk, 0, stepped(0.14f, -0.2));
    EXPECT_FALSE(sunk.airborne);
}

TEST_F(Gravity, PushUpTakesEachPlatformOnceStaticBeforeGravity)
{
    // Climbing out of the lower platform puts the feet into the upper one,
    // which was already handled: the player stays in it until the next frame.
    Platform upper(0, 290, 100, 10, false);
    Platform lower(0, 295, 100, 20, false);
    Level sameList = field({upper, lower});
    Level splitLists = field({upper});
    splitLists.gravityPlatforms = {lower};
    for (const Level* level : {&sameList, &splitLists}) {
        SCOPED_TRACE(level == &sameList ? "one list" : "static and gravity lists");
        Player pc(0, 256, 50, 50);
        gravityStep(pc, *level);
        EXPECT_TRUE(pc.isStandingOn(upper));
        EXPECT_FALSE(pc.isStandingOn(lower));
        EXPECT_LE(295 - (pc.y + 50), 0.2001f);
        gravityStep(pc, *level);
        expectRestingOn(pc, 290);
    }
}

TEST_F(Gravity, ThinPlatformIsPassedInAFallAndNothingBelowStopsThePlayer)
{
    // Falling from 0, the bottom edge goes 99.0 -> 108.8: a platform at 100
    // catches it only if it is more than 8.8 thick.
    for (float thickness : {5.0f, 10.0f}) {
        SCOPED_TRACE(thickness);
        Level level = field({Platform(0, 100, 1280, thickness, false)});
        Player pc(0, 0, 50, 50);
        for (int frame = 0; frame < 80; frame++) gravityStep(pc, level);
        if (thickness < 9.8f) {
            EXPECT_GT(pc.y, 720.0f);
            EXPECT_TRUE(pc.airborne);
        } else {
            expectRestingOn(pc, 100);
        }
    }
}
