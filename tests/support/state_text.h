#pragma once

#include <string>

#include "game/game.h"

// Equality of floats as the game's arithmetic left them, bit for bit.
bool sameBits(float a, float b);

// Everything play can change, every float exact, so that two states compare
// as text and a mismatch shows where.
std::string describeLevel(const Level& level);
std::string describeState(const Game& game);
