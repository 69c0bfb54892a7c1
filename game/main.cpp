#include "game/frame_loop.h"
#include "game/game.h"
#include "game/window_check.h"
#include "raylib.h"
#include "render/colors.h"
#include "render/intro_screen.h"

int main()
{
    bubbleColor = Color{91, 206, 250, 172};
    Game game = startGame();

    if (!windowCanOpen()) {
        return 2;
    }
    InitWindow(1280, 720, "Driftmoor");
    SetTargetFPS(60);
    showIntroScreen();

    return runFrameLoop(game);
}
