// Bare raylib reference for the runs under Xvfb: the game's window, pace and
// settled level-1 picture with the same calls, and no game code.
#include "bench/level_one_picture.h"
#include "raylib.h"

int main()
{
    InitWindow(1280, 720, "Driftmoor");
    SetTargetFPS(60);
    while (!WindowShouldClose()) {
        BeginDrawing();
        drawLevelOnePicture();
        EndDrawing();
    }
    return 1;
}
