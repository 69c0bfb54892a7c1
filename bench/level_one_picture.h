#pragma once

#include "raylib.h"

// Level 1 as the game draws it once the player has settled, with the same
// calls: what the bare reference programs draw every frame.
inline void drawLevelOnePicture()
{
    ClearBackground(Color{245, 245, 245, 255});
    DrawRectangle(0, 670, 1280, 10, Color{0, 0, 0, 255});
    DrawRectangle(650, 100, 650, 10, Color{0, 0, 0, 255});
    DrawRectangle(0, 0, 10, 720, Color{200, 200, 200, 255});
    DrawRectangle(1270, 0, 10, 720, Color{200, 200, 200, 255});
    DrawRectangle(500, 645, 50, 25, Color{80, 80, 80, 255});
    DrawRectangleRec(Rectangle{1080, 50, 50, 50}, Color{0, 121, 241, 255});
    DrawRectangleRec(Rectangle{51, 619.84f, 50, 50}, Color{0, 228, 48, 255});
}
