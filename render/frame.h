#pragma once

#include <vector>

#include "world/bubble.h"
#include "world/level.h"
#include "world/player.h"

// Draws one frame of play. Only reads the state.
void drawFrame(const Level& currentLevel, const Player& pc, const std::vector<Bubble>& bubbles);
