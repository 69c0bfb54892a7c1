// Bare raylib reference for the page: the game's window, pace and level-1
// picture, with a circle for every click rising as a bubble does, so that
// the benchmark's clicks draw the same frame as in the game. No game code.
#include <vector>

#include "bench/level_one_picture.h"
#include "raylib.h"

int main()
{
    InitWindow(1280, 720, "Driftmoor");
    SetTargetFPS(60);
    std::vector<Vector2> bubbles;
    while (!WindowShouldClose()) {
        for (Vector2& b : bubbles) b.y = static_cast<float>(b.y - 4.9);
        std::erase_if(bubbles, [](Vector2 b) { return b.y <= 0; });
        if (IsMouseButtonPressed(MOUSE_BUTTON_LEFT)) bubbles.push_back(GetMousePosition());
        BeginDrawing();
        drawLevelOnePicture();
        for (Vector2 b : bubbles) DrawCircle(static_cast<int>(b.x), static_cast<int>(b.y), 50.0f, Color{91, 206, 250, 172});
        EndDrawing();
    }
    return 1;
}
