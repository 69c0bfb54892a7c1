
#include "bubbles/falling.h"
#include "game/player_movement.h"
#include "game/progression.h"
#include "tests/support/headless.h"

namespace {

void placePlayer(Player& pc, float x, float y)
{
    pc.x = pc.rect.x = x;
    pc.y = pc.rect.y = y;
}

// Level 2 from (1000, 515): this pass's fall ends inside the floor enemy.
void aboutToFallOnTheEnemy(Game& game) { placePlayer(game.pc, 1000, 515); }

} // namespace

using GoalCheck = Headless;

TEST_F(GoalCheck, EnemyReachedWithTheGoalInTheSameFrameRestartsTheLevel)
{
    Game game = gameOnLevel(1);
    aboutToFallOnTheEnemy(game);
    game.currentLevel.goal = Rectangle{1000, 566, 50, 50};
    playFrames(game, 2);
    EXPECT_EQ(game.levelIndex, 1);
    EXPECT_EQ(game.pc.x, 51.0f);
}

TEST_F(GoalCheck, PlayerAlreadyOnTheGoalAdvancesBeforeTheEnemyCheck)
{
    Game game = gameOnLevel(1);
    placePlayer(game.pc, 1000, 540); // overlaps the enemy too
    game.currentLevel.goal = Rectangle{1000, 540, 50, 50};
    playFrames(game);
    EXPECT_EQ(game.levelIndex, 2);
    EXPECT_EQ(game.pc.x, 10.0f);
}

TEST_F(GoalCheck, GoalWinsOverRHeldInTheSamePass)
{
    Game game = gameOnLevel(0);
    placePlayer(game.pc, 1080, 50);
    input::holdKey(input::keyR);
    playFrames(game);
    EXPECT_EQ(game.levelIndex, 1);
    EXPECT_EQ(game.pc.x, 51.0f);
}

TEST_F(GoalCheck, SeventhGoalLeadsToTheFirstLevel)
{
    Game game = gameOnLevel(6);
    placePlayer(game.pc, 1000, 660);
    playFrames(game);
    Game fresh = gameOnLevel(0);
    playFrames(fresh);
    EXPECT_EQ(describeState(game), describeState(fresh));
}

TEST_F(GoalCheck, GoalCarriedOntoThePlayerIsReachedAtTheTopOfTheNextPass)
{
    Game game = gameOnLevel(3);
    playFrames(game, 20); // the player lands on the platform above the goal
    input::pressMouseAt(665, 340);
    bool overlapped = false;
    for (int pass = 0; pass < 80 && game.levelIndex == 3; pass++) {
        overlapped = CheckCollisionRecs(game.pc.rect, game.currentLevel.goal);
        playFrames(game);
        ASSERT_TRUE(game.levelIndex != 3 || !overlapped) << "the overlap was not taken up, pass " << pass;
    }
    EXPECT_EQ(game.levelIndex, 4);
    EXPECT_TRUE(overlapped) << "advanced before the goal reached the player";
}

using RestartKey = Headless;

TEST_F(RestartKey, HeldReloadsEveryPassAndReleaseGoesOnFromTheLast)
{
    Game game = gameOnLevel(0);
    playFrames(game, 30);
    input::holdKey(input::keyR);
    input::holdKey(input::keyD);
    for (int pass = 0; pass < 4; pass++) {
        if (pass == 1) input::pressMouseAt(300, 300);
        playFrames(game);
        // One step from the start point, every time.
        EXPECT_EQ(game.pc.x, 56.0f) << pass;
        EXPECT_EQ(game.pc.y, 509.8f) << pass;
        EXPECT_EQ(game.currentLevel.gravityPlatforms[0].y, 409.8f) << pass;
        EXPECT_EQ(game.bubbles.size(), pass == 1 ? 1u : 0u) << "a bubble lives until the next reload, pass " << pass;
    }
    input::releaseKey(input::keyR);
    playFrames(game);
    EXPECT_EQ(game.pc.x, 61.0f);
    EXPECT_TRUE(sameBits(game.pc.y, static_cast<float>(static_cast<double>(509.8f) + 9.8)));
    EXPECT_TRUE(sameBits(game.currentLevel.gravityPlatforms[0].y, static_cast<float>(static_cast<double>(409.8f) + 9.8)));
}

using ProgressionReload = Headless;

TEST_F(ProgressionReload, MovedGoalIsRestoredByEveryKindOfReload)
{
    enum Trigger { restartKey, enemy, goal };
    for (Trigger trigger : {restartKey, enemy, goal}) {
        input::settle();
        Game game = gameOnLevel(1);
        input::pressMouseAt(1105, 190);
        playFrames(game, 12);
        ASSERT_LT(game.currentLevel.goal.y, 150.0f);
        if (trigger == restartKey) input::holdKey(input::keyR);
        if (trigger == enemy) aboutToFallOnTheEnemy(game);
        if (trigger == goal) placePlayer(game.pc, game.currentLevel.goal.x, game.currentLevel.goal.y);
        playFrames(game);
        int expectedLevel = trigger == goal ? 2 : 1;
        EXPECT_EQ(game.levelIndex, expectedLevel) << trigger;
        EXPECT_TRUE(sameBits(game.currentLevel.goal.y, game.levels[expectedLevel].goal.y)) << trigger;
        EXPECT_TRUE(game.bubbles.empty()) << trigger;
    }
}

using EnemyTouch = Headless;

TEST_F(EnemyTouch, RestoresWhatBubblesCarriedAndRemovesThem)
{
    Game game = gameOnLevel(1);
    playFrames(game, 65); // the platforms have landed on the floor
    input::pressMouseAt(375, 595);
    playFrames(game);
    input::pressMouseAt(1105, 190);
    playFrames(game, 10);
    ASSERT_FALSE(game.currentLevel.gravityPlatforms[0].hasGravity);
    ASSERT_EQ(game.bubbles[1].carriedKind, "v");
    aboutToFallOnTheEnemy(game);
    playFrames(game);
    Game fresh = gameOnLevel(1);
    playFrames(fresh);
    EXPECT_EQ(describeState(game), describeState(fresh));
}

TEST_F(EnemyTouch, FrameShowsTheFreshLevelOneStepOnWithThisPassesBubble)
{
    Game game = gameOnLevel(1);
    playFrames(game, 20);
    aboutToFallOnTheEnemy(game);
    input::holdKey(input::keyD);
    input::pressMouseAt(700, 300);
    playFrames(game);
    Screen shown = Screen::capture();
    EXPECT_EQ(game.pc.x, 56.0f);
    ASSERT_EQ(game.bubbles.size(), 1u);
    EXPECT_EQ(game.bubbles[0].position.y, 300.0f);

    EXPECT_EQ(shown.count(0, 560, 1280, 620, playerColor), 0) << "player drawn on the enemy";

    // The same pass played on a freshly loaded level must draw the same frame.
    input::settle();
    Game fresh = gameOnLevel(1);
    input::holdKey(input::keyD);
    input::pressMouseAt(700, 300);
    playFrames(fresh);
    Screen expected = Screen::capture();
    int differing = 0;
    for (size_t k = 0; k < shown.pixels.size(); k++) differing += !sameColor(shown.pixels[k], expected.pixels[k]);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(expected.count(51, 140, 101, 200, playerColor), 2000);
}

// The enemy check replays the pass from the start point; if one step from
// there reached an enemy, the pass would never end.
TEST_F(EnemyTouch, NoLevelHasAnEnemyOneStepFromItsStart)
{
    for (int k = 0; k < 7; k++) {
        for (int keys = 0; keys < 8; keys++) {
            input::settle();
            if (keys & 1) input::holdKey(input::keyA);
            if (keys & 2) input::holdKey(input::keyD);
            if (keys & 4) input::holdKey(input::keySpace);
            Game game = gameOnLevel(k);
            game.pc.airborne = false; // as after a touch from solid ground, so space jumps
            walkingStep(game.pc, game.currentLevel);
            jumpStep(game.pc);
            fallingPass(game.currentLevel);
            gravityStep(game.pc, game.currentLevel);
            EXPECT_FALSE(enemyTouched(game.pc, game.currentLevel)) << "level " << k + 1 << " keys " << keys;
            EXPECT_EQ(game.pc.jumpFrames > 0, (keys & 4) != 0);
        }
    }
}
