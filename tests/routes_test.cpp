#include <string>

#include "game/frame_loop.h"
#include "tests/support/headless.h"
#include "tests/support/replay.h"

namespace {

// A level entered straight from its template: the player on its start point,
// no jump running, no bubbles.
Game enteredFresh(int levelIndex)
{
    Game game = startGame();
    game.levelIndex = levelIndex;
    game.currentLevel = game.levels[levelIndex];
    game.pc.x = game.pc.rect.x = game.currentLevel.start.x;
    game.pc.y = game.pc.rect.y = game.currentLevel.start.y;
    return game;
}

bool holdsNothing(const Segment& input)
{
    return !(input.left || input.right || input.jump || input.restart || input.click);
}

} // namespace

using Route = Headless;

TEST_F(Route, ScriptLinesReadAsHeldInputs)
{
    Script script = parseScript("intro click 640 400\n40 D # walk\n\n1 D space\n1 click 525 420\n12 -\n");
    ASSERT_EQ(script.error, "");
    EXPECT_TRUE(script.intro && script.introX == 640 && script.introY == 400);
    ASSERT_EQ(script.segments.size(), 4u);
    EXPECT_TRUE(script.segments[0].frames == 40 && script.segments[0].right && !script.segments[0].left);
    EXPECT_TRUE(script.segments[1].right && script.segments[1].jump);
    EXPECT_TRUE(script.segments[2].click && script.segments[2].clickX == 525 && script.segments[2].clickY == 420);
    EXPECT_TRUE(script.segments[3].frames == 12 && holdsNothing(script.segments[3]));
    EXPECT_EQ(parseScript("5 D jump\n").error, "line 1: 5 D jump");
    EXPECT_NE(parseScript("1 click 525\n").error, "");
}

// From the intro through all seven areas and back to the first, on the real
// frame pass with drawing: each goal advances the area by exactly one, and
// the next area starts as fresh as if it had just been entered.
TEST_F(Route, SevenLevelsWonInOneRunBackToTheFirst)
{
    Script script = loadScript(DRIFTMOOR_ROUTE);
    ASSERT_EQ(script.error, "");
    Game game = startGame();
    std::vector<int> reached;
    Rectangle lastPlayer = game.pc.rect;
    Rectangle lastGoal = game.currentLevel.goal;
    int lastIndex = game.levelIndex;

    playScript(game, script, [&](const Game& now, int frame, const Segment& input) {
        if (now.levelIndex != lastIndex) {
            SCOPED_TRACE("frame " + std::to_string(frame) + ", route line " + std::to_string(input.line));
            reached.push_back(now.levelIndex);
            EXPECT_EQ(now.levelIndex, (lastIndex + 1) % 7);
            EXPECT_TRUE(CheckCollisionRecs(lastPlayer, lastGoal)) << "advanced without touching the goal";
            // The route loads each area in an idle frame, so the area must
            // look as if entered fresh and played for one idle frame.
            EXPECT_TRUE(holdsNothing(input));
            Game fresh = enteredFresh(now.levelIndex);
            updateFrame(fresh);
            EXPECT_EQ(describeState(now), describeState(fresh));
        }
        lastPlayer = now.pc.rect;
        lastGoal = now.currentLevel.goal;
        lastIndex = now.levelIndex;
    });

    EXPECT_EQ(reached, (std::vector<int>{1, 2, 3, 4, 5, 6, 0}));
    EXPECT_EQ(game.levelIndex, 0);
}
