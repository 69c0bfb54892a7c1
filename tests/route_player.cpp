// Plays a route through the real frame code on raylib's windowless platform
// and prints each level change with its frame, then the exact final state.
// Built for every platform without GoogleTest, so that the outputs of two
// builds can be compared byte for byte.
//
//   driftmoor_route_player ROUTE   (standard input from /dev/null: the
//                                   windowless platform reads it every frame)
#include <cstdarg>
#include <cstdio>

#include "game/game.h"
#include "raylib.h"
#include "render/colors.h"
#include "tests/support/replay.h"
#include "tests/support/state_text.h"

namespace {

// raylib's own messages go to stderr, so that stdout holds only the route.
void logToStderr(int, const char* text, va_list args)
{
    std::vfprintf(stderr, text, args);
    std::fputc('\n', stderr);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: driftmoor_route_player ROUTE\n", stderr);
        return 2;
    }
    Script script = loadScript(argv[1]);
    if (!script.error.empty()) {
        std::fprintf(stderr, "%s\n", script.error.c_str());
        return 2;
    }

    SetTraceLogCallback(logToStderr);
    SetTraceLogLevel(LOG_WARNING);
    bubbleColor = Color{91, 206, 250, 172};
    Game game = startGame();
    InitWindow(1280, 720, "Driftmoor");

    int lastIndex = game.levelIndex;
    playScript(game, script, [&](const Game& now, int frame, const Segment&) {
        if (now.levelIndex == lastIndex) return;
        std::printf("frame %d: level %d\n", frame, now.levelIndex + 1);
        lastIndex = now.levelIndex;
    });
    std::printf("final state:\n%s\n", describeState(game).c_str());
    CloseWindow();
    return 0;
}
