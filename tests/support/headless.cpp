#include "tests/support/headless.h"

#include <array>
#include <cstring>
#include <iomanip>
#include <sstream>

#include "game/frame_loop.h"
#include "rlgl.h"

namespace {

// raylib's automation event types.
constexpr unsigned keyUp = 1;
constexpr unsigned keyDown = 2;
constexpr unsigned mouseButtonUp = 5;
constexpr unsigned mouseButtonDown = 6;
constexpr unsigned mousePosition = 7;
constexpr unsigned windowClose = 18;

void play(unsigned type, int a = 0, int b = 0)
{
    PlayAutomationEvent(AutomationEvent{0, type, {a, b, 0, 0}});
}

bool mouseHeld = false;

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

namespace input {

void holdKey(int key) { play(keyDown, key); }
void releaseKey(int key) { play(keyUp, key); }

void pressMouseAt(int x, int y)
{
    play(mousePosition, x, y);
    play(mouseButtonDown, 0);
    mouseHeld = true;
}

void releaseMouse()
{
    play(mouseButtonUp, 0);
    mouseHeld = false;
}

void requestClose() { play(windowClose); }

void settle()
{
    for (int key : {keyA, keyD, keyR, keySpace}) releaseKey(key);
    releaseMouse();
    BeginDrawing();
    EndDrawing();
}

} // namespace input

void playFrames(Game& game, int count)
{
    for (int n = 0; n < count; n++) {
        playFrame(game);
        // The windowless platform never ages the button state, so a press
        // would repeat every frame; lift it like a real click.
        if (mouseHeld) input::releaseMouse();
    }
}

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

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

namespace {

template <typename Block>
void describeBlocks(std::ostream& out, const char* name, const std::vector<Block>& blocks)
{
    for (const Block& b : blocks) {
        out << '\n' << name << ' ' << b.x << ',' << b.y << ' ' << b.width << 'x' << b.height << " rect "
            << b.rect.x << ',' << b.rect.y << ' ' << b.rect.width << 'x' << b.rect.height << " gravity "
            << b.hasGravity;
    }
}

} // namespace

std::string describeLevel(const Level& level)
{
    std::ostringstream out;
    out << std::setprecision(9) << "start " << level.start.x << ',' << level.start.y << " goal " << level.goal.x
        << ',' << level.goal.y << ' ' << level.goal.width << 'x' << level.goal.height;
    describeBlocks(out, "static platform", level.staticPlatforms);
    describeBlocks(out, "gravity platform", level.gravityPlatforms);
    describeBlocks(out, "static wall", level.staticWalls);
    describeBlocks(out, "gravity wall", level.gravityWalls);
    for (const Enemy& e : level.enemies) {
        out << "\nenemy " << e.x << ',' << e.y << ' ' << e.width << 'x' << e.height << " rect " << e.rect.x << ','
            << e.rect.y;
    }
    return out.str();
}

std::string describeState(const Game& game)
{
    std::ostringstream out;
    out << std::setprecision(9) << "level " << game.levelIndex << " player " << game.pc.x << ',' << game.pc.y
        << " rect " << game.pc.rect.x << ',' << game.pc.rect.y << " jump " << game.pc.jumpFrames << " airborne "
        << game.pc.airborne << '\n'
        << describeLevel(game.currentLevel);
    for (const Bubble& b : game.bubbles) {
        out << "\nbubble " << b.position.x << ',' << b.position.y << " carrying " << b.carrying << " kind '"
            << b.carriedKind << "' index " << b.carriedIndex;
    }
    out << "\nmarked " << game.deleteBubbles.size();
    return out.str();
}
