#pragma once

#include "game/game.h"

// One pass of the frame loop after the close check: every phase in order,
// ending with the drawn frame.
void playFrame(Game& game);

// Plays passes until the window is asked to close; returns the exit status.
int runFrameLoop(Game& game);
