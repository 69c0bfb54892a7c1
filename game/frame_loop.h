#pragma once

#include "game/game.h"

// The update phases of one pass, from the goal check to the bubble creation.
// They never draw.
void updateFrame(Game& game);

// One pass of the frame loop after the close check: the update, then the frame.
void playFrame(Game& game);

// Plays passes until the window is asked to close; returns the exit status.
int runFrameLoop(Game& game);
