#pragma once

#include <vector>

#include "world/bubble.h"
#include "world/level.h"
#include "world/player.h"

// Everything that changes during play. `levels` holds the untouched templates;
// only `currentLevel` is ever played on.
struct Game {
    Player pc;
    std::vector<Bubble> bubbles;
    std::vector<int> deleteBubbles;
    std::vector<Level> levels;
    Level currentLevel;
    int levelIndex;
};

// Builds the whole game state, with the player at level 1's start point.
Game startGame();

void placeAtStart(Player& pc, Vector2 start);

// Restores level `levelIndex` (7 wraps to 0) from its template and puts the
// player back on its start point with no jump running and no bubbles.
void reloadLevel(int& levelIndex, const std::vector<Level>& levels, Level& currentLevel, Player& pc,
                 std::vector<Bubble>& bubbles);
