// Bare raylib reference for the runs under Xvfb: the game's window, pace and
// settled level-1 picture with the same calls, and no game code.
#include "raylib.h"

int main()
{
    InitWindow(1280, 720, "Driftmoor");
    SetTargetFPS(60);
    while (!WindowShouldClose()) {
        BeginDrawing();
        ClearBackground(Color{245, 245, 245, 255});
        DrawRectangle(0, 670, 1280, 10, Color{0, 0, 0, 255});
        DrawRectangle(650, 100, 650, 10, Color{0, 0, 0, 255});
        DrawRectangle(0, 0, 10, 720, Color{200, 200, 200, 255});
        DrawRectangle(1270, 0, 10, 720, Color{200, 200, 200, 255});
        DrawRectangle(500, 645, 50, 25, Color{80, 80, 80, 255});
        DrawRectangleRec(Rectangle{1080, 50, 50, 50}, Color{0, 121, 241, 255});
        DrawRectangleRec(Rectangle{51, 619.84f, 50, 50}, Color{0, 228, 48, 255});
        EndDrawing();
    }
    return 1;
}
