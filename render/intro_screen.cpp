#include "render/intro_screen.h"

#include "raylib.h"
#include "render/colors.h"

namespace {

void drawLegend()
{
    const Color black{0, 0, 0, 255};
    DrawRectangle(10, 10, 50, 50, Color{0, 228, 48, 255});
    DrawText(TextFormat("This is You, you can move with the A and D keys\nand jump with space"), 70, 10, 25, black);
    DrawRectangle(10, 70, 50, 25, Color{0, 0, 0, 255});
    DrawRectangle(10, 95, 50, 25, Color{80, 80, 80, 255});
    DrawText(TextFormat("These are platforms, you can stand on them.\nThe lighter ones have gravity"), 70, 70, 25, black);
    DrawRectangle(10, 130, 25, 50, Color{200, 200, 200, 255});
    DrawRectangle(35, 130, 25, 50, Color{130, 130, 130, 255});
    DrawText(TextFormat("These are walls, you can not walk through them.\nThe darker ones have gravity"), 70, 130, 25, black);
    DrawRectangle(10, 190, 50, 50, Color{230, 41, 55, 255});
    DrawText(TextFormat("This is an enemy, touching it will kill you."), 70, 190, 25, black);
    DrawCircle(35, 275, 25.0f, bubbleColor);
    DrawText(TextFormat("This is a bubble, they float.\nCreate them with left click"), 70, 250, 25, black);
    DrawRectangle(10, 310, 50, 50, Color{0, 121, 241, 255});
    DrawText(TextFormat("This is the goal, reach it to get to the next area."), 70, 310, 25, black);
    DrawText(TextFormat("Click anywhere to continue."), 10, 370, 50, black);
}

} // namespace

void showIntroScreen()
{
    // Only a click ends the legend; the close button and keys are not read here.
    bool showing = true;
    while (showing) {
        if (IsMouseButtonPressed(0)) {
            showing = false;
        }
        BeginDrawing();
        ClearBackground(Color{245, 245, 245, 255});
        drawLegend();
        EndDrawing();
    }
}
