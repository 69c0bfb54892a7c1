#include <sstream>
#include <string>

#include "tests/support/headless.h"

namespace {

// A level as one line: each object as kind x y w h, in list order, then the
// start point and the goal corner. Kinds: s static platform, g gravity
// platform, w static wall, v gravity wall, e enemy.
std::string describe(const Level& level)
{
    std::ostringstream text;
    auto put = [&](char kind, const auto& list) {
        for (const auto& o : list) text << kind << ' ' << o.x << ' ' << o.y << ' ' << o.width << ' ' << o.height << ", ";
    };
    put('s', level.staticPlatforms);
    put('g', level.gravityPlatforms);
    put('w', level.staticWalls);
    put('v', level.gravityWalls);
    put('e', level.enemies);
    text << "start " << level.start.x << ' ' << level.start.y << ", goal " << level.goal.x << ' ' << level.goal.y
         << ' ' << level.goal.width << ' ' << level.goal.height;
    return text.str();
}

const char* const expected[7] = {
    "s 0 670 1280 10, s 650 100 650 10, g 500 400 50 25, w 0 0 10 720, w 1270 0 10 720, "
    "start 51 500, goal 1080 50 50 50",
    "s 0 200 200 10, s 1080 200 200 10, s 0 610 1280 10, g 350 0 50 25, g 550 0 50 25, g 800 0 50 25, "
    "w 0 0 10 720, w 1270 0 10 720, e 0 570 1280 40, start 51 150, goal 1080 150 50 50",
    "s 0 355 1280 10, w 0 0 10 720, w 1270 0 10 720, v 630 0 20 355, start 10 0, goal 1220 305 50 50",
    "s 0 100 1280 10, w 0 0 10 720, w 1270 0 10 720, start 640 0, goal 640 300 50 50",
    "s 100 100 1280 10, s 0 350 1280 10, w 70 100 10 250, w 640 0 10 100, w 0 0 10 720, w 1270 0 10 720, "
    "start 150 50, goal 720 300 50 50",
    "s 0 400 1280 10, s 630 510 10 10, w 640 0 10 400, w 0 0 10 720, w 1270 0 10 720, v 630 410 10 100, "
    "start 400 350, goal 980 350 50 50",
    "s 0 100 1280 10, s 0 710 1280 10, w 1270 0 10 720, e 640 0 10 100, start 50 50, goal 1000 660 50 50",
};

template <typename List>
bool flagsAre(const List& list, bool hasGravity)
{
    for (const auto& o : list) {
        if (o.hasGravity != hasGravity) return false;
    }
    return true;
}

} // namespace

using Catalogue = Headless;

TEST_F(Catalogue, HoldsTheSevenLevelsInOrderWithEveryValue)
{
    Game game = startGame();
    ASSERT_EQ(game.levels.size(), 7u);
    for (int k = 0; k < 7; k++) {
        EXPECT_EQ(describe(game.levels[k]), expected[k]) << "level " << k + 1;
    }
    EXPECT_EQ(describe(game.currentLevel), expected[0]);
}

TEST_F(Catalogue, GravityFlagsFollowTheListsAndRectsMatchThePlainFields)
{
    int counts[5] = {};
    for (const Level& level : startGame().levels) {
        EXPECT_TRUE(flagsAre(level.staticPlatforms, false));
        EXPECT_TRUE(flagsAre(level.staticWalls, false));
        EXPECT_TRUE(flagsAre(level.gravityPlatforms, true));
        EXPECT_TRUE(flagsAre(level.gravityWalls, true));
        for (const Platform& p : level.staticPlatforms) EXPECT_EQ(p.rect.y, p.y);
        counts[0] += static_cast<int>(level.staticPlatforms.size());
        counts[1] += static_cast<int>(level.gravityPlatforms.size());
        counts[2] += static_cast<int>(level.staticWalls.size());
        counts[3] += static_cast<int>(level.gravityWalls.size());
        counts[4] += static_cast<int>(level.enemies.size());
    }
    EXPECT_EQ(counts[0], 13);
    EXPECT_EQ(counts[1], 4);
    EXPECT_EQ(counts[2], 16);
    EXPECT_EQ(counts[3], 2);
    EXPECT_EQ(counts[4], 2);
}

// Levels 2, 5, 6 and 7 start the player standing on a platform; every goal
// but level 4's stands on one.
TEST_F(Catalogue, StartPointsAndGoalsSitWhereTheLevelsPutThem)
{
    auto onTopOfAPlatform = [](const Level& level, float x, float bottom, float width) {
        for (const Platform& p : level.staticPlatforms) {
            if (p.y == bottom && x + width > p.x && x < p.x + p.width) return true;
        }
        return false;
    };
    std::vector<Level> levels = startGame().levels;
    for (int k = 0; k < 7; k++) {
        const Level& level = levels[k];
        bool standing = k == 1 || k == 4 || k == 5 || k == 6;
        EXPECT_EQ(onTopOfAPlatform(level, level.start.x, level.start.y + 50, 50), standing) << "level " << k + 1;
        EXPECT_EQ(onTopOfAPlatform(level, level.goal.x, level.goal.y + 50, 50), k != 3) << "level " << k + 1;
    }
}
