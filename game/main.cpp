#include <cstdio>
#include <cstdlib>

#include "game/frame_loop.h"
#include "game/game.h"
#include "raylib.h"
#include "render/colors.h"
#include "render/intro_screen.h"

int main()
{
    bubbleColor = Color{91, 206, 250, 172};
    Game game = startGame();

    // raylib's X11 layer crashes when it has no display to open; say why instead.
    if (std::getenv("DISPLAY") == nullptr) {
        std::fputs("Driftmoor needs a graphical desktop: DISPLAY is not set.\n", stderr);
        return 2;
    }
    InitWindow(1280, 720, "Driftmoor");
    SetTargetFPS(60);
    showIntroScreen();

    return runFrameLoop(game);
}
