#pragma once

#include "world/level.h"
#include "world/player.h"

// A and D walk 5 a frame; walls push the player back against the key's direction.
void walkingStep(Player& pc, const Level& currentLevel);

// Space starts a jump of 30 frames rising 14.7 each, only from solid ground.
void jumpStep(Player& pc);

// The player falls 9.8 a frame unless a bottom corner is in a platform, then
// is pushed up out of every platform in steps of 0.2.
void gravityStep(Player& pc, const Level& currentLevel);
