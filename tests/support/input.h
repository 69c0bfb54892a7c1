#pragma once

#include "game/game.h"

// Input goes through raylib's own input state on the windowless platform, so
// the game reads it with the same calls as on the desktop.
namespace input {

constexpr int keyA = 65;
constexpr int keyD = 68;
constexpr int keyR = 82;
constexpr int keySpace = 32;

void holdKey(int key);
void releaseKey(int key);
// Puts the cursor at (x, y) and presses the left button; playFrames lets it go
// after one frame, as a real click would.
void pressMouseAt(int x, int y);
void releaseMouse();
// A press held as a hand holds it: the windowless platform ages touches at
// each poll, as the desktop ages the button, and raylib reads the first touch
// as the left button. Pressed in one frame only, down until lifted.
void holdTouchAt(int x, int y);
void liftTouch();
void requestClose();
// Releases every key and the button and lets one frame pass, so that no key
// counts as freshly pressed or still held in the next test.
void settle();

} // namespace input

// Plays passes of the real frame loop.
void playFrames(Game& game, int count = 1);
