#include "game/frame_loop.h"
#include "tests/support/headless.h"

using StartUp = Headless;

TEST_F(StartUp, PlayerStandsAtLevelOneStartBeforeTheFirstPass)
{
    Game game = startGame();
    EXPECT_EQ(game.pc.x, 51.0f);
    EXPECT_EQ(game.pc.y, 500.0f);
    EXPECT_EQ(game.pc.rect.x, 51.0f);
    EXPECT_EQ(game.pc.rect.y, 500.0f);
    EXPECT_EQ(game.pc.width, 50.0f);
    EXPECT_EQ(game.pc.rect.height, 50.0f);
    EXPECT_EQ(game.pc.jumpFrames, 0);
    EXPECT_TRUE(game.pc.airborne);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_TRUE(game.bubbles.empty());
    EXPECT_TRUE(game.deleteBubbles.empty());
    ASSERT_EQ(game.levels.size(), 7u);
    EXPECT_EQ(describeLevel(game.currentLevel), describeLevel(game.levels[0]));
}

using LevelReload = Headless;

TEST_F(LevelReload, RestoresEverythingPlayChangedAndLeavesTheTemplatesAlone)
{
    Game game = gameOnLevel(0);
    const std::vector<Level> templates = game.levels;
    // Lift the gravity platform and the goal with bubbles, then walk and jump.
    input::pressMouseAt(525, 420);
    playFrames(game);
    game.bubbles.emplace_back(1100, 80);
    input::holdKey(input::keyD);
    playFrames(game, 30);
    input::releaseKey(input::keyD);
    ASSERT_FALSE(game.currentLevel.gravityPlatforms[0].hasGravity);
    ASSERT_LT(game.currentLevel.goal.y, 50.0f);
    game.pc.jumpFrames = 12;
    bool airborne = game.pc.airborne;

    reloadLevel(game.levelIndex, game.levels, game.currentLevel, game.pc, game.bubbles);

    EXPECT_EQ(describeLevel(game.currentLevel), describeLevel(templates[0]));
    for (int k = 0; k < 7; k++) EXPECT_EQ(describeLevel(game.levels[k]), describeLevel(templates[k]));
    EXPECT_EQ(game.pc.x, 51.0f);
    EXPECT_EQ(game.pc.rect.y, 500.0f);
    EXPECT_EQ(game.pc.jumpFrames, 0);
    EXPECT_EQ(game.pc.airborne, airborne) << "the reload leaves airborne as it was";
    EXPECT_TRUE(game.bubbles.empty());
    EXPECT_EQ(game.levelIndex, 0);
}

TEST_F(LevelReload, WrapsFromPastTheSeventhLevelToTheFirst)
{
    Game game = gameOnLevel(6);
    EXPECT_EQ(describeLevel(game.currentLevel), describeLevel(game.levels[6]));
    game.levelIndex = 7;
    reloadLevel(game.levelIndex, game.levels, game.currentLevel, game.pc, game.bubbles);
    EXPECT_EQ(game.levelIndex, 0);
    EXPECT_EQ(describeLevel(game.currentLevel), describeLevel(game.levels[0]));
    EXPECT_EQ(game.pc.x, 51.0f);
}

TEST_F(LevelReload, EveryLevelLoadsItsOwnTemplateAndStartPoint)
{
    for (int k = 0; k < 7; k++) {
        Game game = gameOnLevel(k);
        EXPECT_EQ(game.levelIndex, k);
        EXPECT_EQ(describeLevel(game.currentLevel), describeLevel(game.levels[k]));
        EXPECT_EQ(game.pc.x, game.levels[k].start.x);
        EXPECT_EQ(game.pc.y, game.levels[k].start.y);
    }
}

// A close request sticks for the rest of the process, so it is made in a child.
using FrameLoopDeathTest = Headless;

TEST_F(FrameLoopDeathTest, CloseRequestEndsTheLoopBeforeAnotherPassWithStatusOne)
{
    EXPECT_EXIT(
        {
            Game game = startGame();
            playFrames(game, 3);
            float y = game.pc.y;
            input::requestClose();
            int status = runFrameLoop(game);
            // Nothing moved after the request: the loop stopped at the top of the pass.
            std::exit(sameBits(game.pc.y, y) ? status : 99);
        },
        ::testing::ExitedWithCode(1), "");
}
