#pragma once

#include "world/level.h"

// Gravity platforms, then gravity walls, fall 9.8 a frame until they rest on
// a static platform; carried or abandoned ones stay where they are.
void fallingPass(Level& currentLevel);
