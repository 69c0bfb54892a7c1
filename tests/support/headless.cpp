#include "tests/support/headless.h"

#include <array>

#include "rlgl.h"

namespace {

// The software renderer hands channels back in an order of its own: learn it
// from a frame cleared to a known colour.
std::array<int, 3> channelOrder()
{
    static std::array<int, 3> order = [] {
        BeginDrawing();
        ClearBackground(Color{10, 20, 30, 255});
        EndDrawing();
        std::array<unsigned char, 4> px{};
        rlCopyFramebuffer(0, 0, 1, 1, PIXELFORMAT_UNCOMPRESSED_R8G8B8A8, px.data());
        std::array<int, 3> found{};
        for (int c = 0; c < 3; c++) {
            for (int k = 0; k < 4; k++) {
                if (px[k] == (c + 1) * 10) found[c] = k;
            }
        }
        return found;
    }();
    return order;
}

} // namespace

Game gameOnLevel(int levelIndex)
{
    Game game = startGame();
    game.levelIndex = levelIndex;
    reloadLevel(game.levelIndex, game.levels, game.currentLevel, game.pc, game.bubbles);
    return game;
}

Screen Screen::capture()
{
    std::array<int, 3> order = channelOrder();
    std::vector<unsigned char> raw(1280 * 720 * 4);
    rlCopyFramebuffer(0, 0, 1280, 720, PIXELFORMAT_UNCOMPRESSED_R8G8B8A8, raw.data());
    Screen screen;
    screen.pixels.reserve(1280 * 720);
    for (size_t p = 0; p < raw.size(); p += 4) {
        screen.pixels.push_back(Color{raw[p + order[0]], raw[p + order[1]], raw[p + order[2]], 255});
    }
    return screen;
}

Color Screen::at(int x, int y) const { return pixels[static_cast<size_t>(y) * 1280 + x]; }

int Screen::count(int x0, int y0, int x1, int y1, Color color) const
{
    int n = 0;
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            if (sameColor(at(x, y), color)) n++;
        }
    }
    return n;
}

bool sameColor(Color a, Color b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
