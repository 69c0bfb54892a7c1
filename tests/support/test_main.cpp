#include <fcntl.h>
#include <gtest/gtest.h>

#include "raylib.h"
#include "render/colors.h"
#include "tests/support/headless.h"

// One windowless raylib context serves every test, as the one window serves the game.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Without a standard input, the first pipe a test opens would become fd 0,
    // where the windowless platform looks for keystrokes.
    if (fcntl(0, F_GETFD) == -1) open("/dev/null", O_RDONLY);
    SetTraceLogLevel(LOG_WARNING);
    bubbleColor = Color{91, 206, 250, 172};
    InitWindow(1280, 720, "Driftmoor");
    // The first capture learns the renderer's channel order by drawing a frame
    // of its own; do it before any test has a frame worth reading.
    Screen::capture();
    return RUN_ALL_TESTS();
}
