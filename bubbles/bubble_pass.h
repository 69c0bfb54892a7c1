#pragma once

#include <vector>

#include "world/bubble.h"
#include "world/level.h"

// Every bubble rises 4.9 and lifts its load; bubbles at the top are marked in
// `deleteBubbles`; the others may capture what their centre is in. A platform
// or wall capture ends the pass for this frame.
void bubblePass(std::vector<Bubble>& bubbles, std::vector<int>& deleteBubbles, Level& currentLevel);

// Removes the marked bubbles, giving carried platforms and walls their gravity back.
void deletionStep(std::vector<Bubble>& bubbles, std::vector<int>& deleteBubbles, Level& currentLevel);

// A left click puts a new bubble at the cursor.
void bubbleCreation(std::vector<Bubble>& bubbles);
