#include "tests/support/headless.h"
#include "world/motion.h"

using Records = Headless;

TEST_F(Records, ConstructorsFillBothCopiesOfTheGeometry)
{
    Player pc(0, 0, 50, 50);
    EXPECT_EQ(pc.rect.x, 0.0f);
    EXPECT_EQ(pc.rect.width, 50.0f);
    EXPECT_EQ(pc.rect.height, 50.0f);
    EXPECT_EQ(pc.jumpFrames, 0);
    EXPECT_TRUE(pc.airborne);

    Wall wall(630, 0, 20, 355, true);
    EXPECT_EQ(wall.rect.x, 630.0f);
    EXPECT_EQ(wall.rect.height, 355.0f);
    EXPECT_TRUE(wall.hasGravity);

    Bubble b(640, 360);
    EXPECT_EQ(b.position.x, 640.0f);
    EXPECT_EQ(b.position.y, 360.0f);
    EXPECT_EQ(b.carriedIndex, -1);
    EXPECT_FALSE(b.carrying);
    EXPECT_EQ(b.carriedKind, "");

    Level level({}, {}, {}, {}, {}, {0, 0}, 1080, 50);
    EXPECT_EQ(level.goal.x, 1080.0f);
    EXPECT_EQ(level.goal.y, 50.0f);
    EXPECT_EQ(level.goal.width, 50.0f);
    EXPECT_EQ(level.goal.height, 50.0f);
}

TEST_F(Records, CopiesOfALevelShareNothing)
{
    Level original({Platform(0, 670, 1280, 10, false)}, {Platform(500, 400, 50, 25, true)}, {},
                   {Wall(630, 0, 20, 355, true)}, {Enemy(0, 570, 1280, 40)}, {51, 500}, 1080, 50);
    Level copy = original;
    copy.gravityPlatforms[0].y = 1;
    copy.gravityWalls[0].hasGravity = false;
    copy.enemies[0].x = 7;
    copy.goal.y = 3;
    EXPECT_EQ(original.gravityPlatforms[0].y, 400.0f);
    EXPECT_TRUE(original.gravityWalls[0].hasGravity);
    EXPECT_EQ(original.enemies[0].x, 0.0f);
    EXPECT_EQ(original.goal.y, 50.0f);

    Level empty({}, {}, {}, {}, {}, {0, 0}, 0, 0);
    Level emptyCopy = empty;
    EXPECT_TRUE(emptyCopy.staticPlatforms.empty() && emptyCopy.enemies.empty());
}

// The double-precision steps round back to float, and both copies follow.
TEST_F(Records, MovesKeepPlainFieldsAndRectBitIdentical)
{
    Platform p(500, 400, 50, 25, true);
    for (int n = 0; n < 1000; n++) {
        shiftY(p, n % 3 == 0 ? 9.8 : -0.2);
        nudgeX(p, n % 2 ? 1.0f : -5.0f);
    }
    EXPECT_TRUE(sameBits(p.y, p.rect.y));
    EXPECT_TRUE(sameBits(p.x, p.rect.x));

    // Near zero the double steps part ways with float steps: 49 push-ups from 9.8.
    Wall wall(630, 9.8f, 20, 355, true);
    float floatSteps = 9.8f;
    for (int n = 0; n < 49; n++) {
        shiftY(wall, -0.2);
        floatSteps -= 0.2f;
    }
    EXPECT_NE(wall.y, floatSteps);
    EXPECT_EQ(wall.y, wall.rect.y);
}
