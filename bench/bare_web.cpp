// Bare raylib reference for the page: the game's window, pace and level-1
// picture, with a circle for every click rising as a bubble does, so that
// the benchmark's clicks draw the same frame as in the game. No game code.
#include <vector>

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
        ClearBackground(Color{245, 245, 245, 255});
        DrawRectangle(0, 670, 1280, 10, Color{0, 0, 0, 255});
        DrawRectangle(650, 100, 650, 10, Color{0, 0, 0, 255});
        DrawRectangle(0, 0, 10, 720, Color{200, 200, 200, 255});
        DrawRectangle(1270, 0, 10, 720, Color{200, 200, 200, 255});
        DrawRectangle(500, 645, 50, 25, Color{80, 80, 80, 255});
        DrawRectangleRec(Rectangle{1080, 50, 50, 50}, Color{0, 121, 241, 255});
        DrawRectangleRec(Rectangle{51, 619.84f, 50, 50}, Color{0, 228, 48, 255});
        for (Vector2 b : bubbles) DrawCircle(static_cast<int>(b.x), static_cast<int>(b.y), 50.0f, Color{91, 206, 250, 172});
        EndDrawing();
    }
    return 1;
}
