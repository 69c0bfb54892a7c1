#pragma once

#include "world/level.h"
#include "world/player.h"

bool goalReached(const Player& pc, const Level& currentLevel);

// R restarts the level for as long as it is held.
bool restartKeyHeld();

bool enemyTouched(const Player& pc, const Level& currentLevel);
