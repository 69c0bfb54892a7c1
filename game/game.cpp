#include "game/game.h"

#include "world/levels.h"

Game startGame()
{
    Player pc(0, 0, 50, 50);
    std::vector<Bubble> bubbles;
    std::vector<int> deleteBubbles;
    Level level1 = makeLevel1();
    Level level2 = makeLevel2();
    Level level3 = makeLevel3();
    Level level4 = makeLevel4();
    Level level5 = makeLevel5();
    Level level6 = makeLevel6();
    Level level7 = makeLevel7();
    std::vector<Level> levels{level1, level2, level3, level4, level5, level6, level7};
    Level currentLevel = level1;
    int levelIndex = 0;
    placeAtStart(pc, currentLevel.start);
    return Game{pc, bubbles, deleteBubbles, levels, currentLevel, levelIndex};
}

void placeAtStart(Player& pc, Vector2 start)
{
    pc.x = start.x;
    pc.rect.x = start.x;
    pc.y = start.y;
    pc.rect.y = start.y;
}

void reloadLevel(int& levelIndex, const std::vector<Level>& levels, Level& currentLevel, Player& pc,
                 std::vector<Bubble>& bubbles)
{
    if (levelIndex == static_cast<int>(levels.size())) {
        levelIndex = 0;
    }
    currentLevel = levels[levelIndex];
    placeAtStart(pc, currentLevel.start);
    pc.jumpFrames = 0;
    // What the bubbles carried needs no release: the copy above restored it.
    bubbles.clear();
}
