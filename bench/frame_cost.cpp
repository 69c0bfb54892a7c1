// Headless cost of one pass of the game's logic and of drawing a busy frame,
// each beside its reference. Prints rows of the table that scripts/bench shows.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <vector>

#include "game/frame_loop.h"
#include "game/game.h"
#include "raylib.h"
#include "render/colors.h"
#include "render/frame.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double budgetUs = 1e6 / 60;

struct Stats {
    double mean;
    double p99;
};

Stats summarise(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    double mean = std::accumulate(us.begin(), us.end(), 0.0) / static_cast<double>(us.size());
    return {mean, us[(us.size() * 99 + 99) / 100 - 1]};
}

double microsSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
}

// raylib's automation events feed input on the windowless platform.
void play(unsigned type, int a = 0, int b = 0) { PlayAutomationEvent(AutomationEvent{0, type, {a, b, 0, 0}}); }
constexpr unsigned mouseButtonDown = 6;
constexpr unsigned mousePosition = 7;

Game gameOnLevel(int index)
{
    Game game = startGame();
    game.levelIndex = index;
    reloadLevel(game.levelIndex, game.levels, game.currentLevel, game.pc, game.bubbles);
    return game;
}

using Cursor = Vector2 (*)(int pass);

// What the bubbles did while a run was timed.
struct Crowd {
    size_t fewest = SIZE_MAX, most = 0, carrying = 0;
};

// Times each pass without its drawing: the close check and updateFrame. The
// cursor is moved before a pass and the bubbles counted after it, outside the
// timing; PollInputEvents stands in for the EndDrawing that is left out.
std::vector<double> timeLogic(Game& game, int passes, Cursor cursor = nullptr, Crowd* crowd = nullptr)
{
    std::vector<double> us;
    us.reserve(passes);
    for (int n = 0; n < passes; n++) {
        if (cursor) {
            Vector2 at = cursor(n);
            play(mousePosition, static_cast<int>(at.x), static_cast<int>(at.y));
        }
        Clock::time_point t0 = Clock::now();
        if (WindowShouldClose()) break;
        updateFrame(game);
        us.push_back(microsSince(t0));
        PollInputEvents();
        if (crowd) {
            const std::vector<Bubble>& bs = game.bubbles;
            crowd->fewest = std::min(crowd->fewest, bs.size());
            crowd->most = std::max(crowd->most, bs.size());
            size_t carrying = std::count_if(bs.begin(), bs.end(), [](const Bubble& b) { return b.carrying; });
            crowd->carrying = std::max(crowd->carrying, carrying);
        }
    }
    return us;
}

// Level 2: where a bubble takes each resting gravity platform, and the goal.
constexpr Vector2 takeSpots[4] = {{375, 600}, {575, 600}, {825, 600}, {1105, 175}};

// A click every pass. Every 50th takes a resting platform or the goal; the
// others rise up columns with nothing to take, so each load reaches the top
// and falls back to rest before its spot comes round again.
Vector2 busyClicks(int n)
{
    constexpr float freeColumns[6] = {100, 250, 475, 700, 950, 1200};
    if (n % 50 == 0) return takeSpots[n / 50 % 4];
    return {freeColumns[n % 6], 719};
}

// The cursor stays on the loads: a platform released at the top is taken
// again at once, and each capture ends the pass, so the bubbles behind it do
// not rise in that pass and pile up.
Vector2 pileUpClicks(int n) { return takeSpots[n % 4]; }

// Plays with the button held until the number of live bubbles is steady, then
// times. The windowless platform never ages the button state, so a held button
// is a fresh press, and a new bubble, in every pass.
std::vector<double> timeClicking(Game& game, Cursor cursor, int warmUp, Crowd& crowd)
{
    play(mouseButtonDown, 0);
    timeLogic(game, warmUp, cursor);
    return timeLogic(game, 20000, cursor, &crowd);
}

void logicRow(const char* what, const std::vector<double>& us)
{
    Stats s = summarise(us);
    std::printf("| Logic per pass, %s: mean / p99 | %.2f / %.2f µs | %.0f µs frame budget | %.4f%% / %.4f%% |"
                " p99 < 1%%: %s |\n",
                what, s.mean, s.p99, budgetUs, 100 * s.mean / budgetUs, 100 * s.p99 / budgetUs,
                s.p99 < budgetUs / 100 ? "met" : "missed");
}

// The busy frame as plain data, so the bare loop makes the same calls on the
// same geometry without any of the game's code.
struct Box {
    int x, y, width, height;
    Color color;
};
struct Scene {
    std::vector<Box> boxes;
    Rectangle goal, player;
    std::vector<Vector2> centres;
};

template <typename Block>
void addBoxes(Scene& scene, const std::vector<Block>& blocks, Color color)
{
    for (const Block& b : blocks) {
        scene.boxes.push_back({static_cast<int>(b.x), static_cast<int>(b.y), static_cast<int>(b.width),
                               static_cast<int>(b.height), color});
    }
}

Scene sceneOf(const Game& game)
{
    const Level& level = game.currentLevel;
    Scene scene{{}, level.goal, game.pc.rect, {}};
    addBoxes(scene, level.enemies, Color{230, 41, 55, 255});
    addBoxes(scene, level.staticPlatforms, Color{0, 0, 0, 255});
    addBoxes(scene, level.staticWalls, Color{200, 200, 200, 255});
    addBoxes(scene, level.gravityWalls, Color{130, 130, 130, 255});
    addBoxes(scene, level.gravityPlatforms, Color{80, 80, 80, 255});
    for (const Bubble& b : game.bubbles) scene.centres.push_back(b.position);
    return scene;
}

void drawBare(const Scene& scene)
{
    BeginDrawing();
    ClearBackground(Color{245, 245, 245, 255});
    for (const Box& b : scene.boxes) DrawRectangle(b.x, b.y, b.width, b.height, b.color);
    DrawRectangleRec(scene.goal, Color{0, 121, 241, 255});
    DrawRectangleRec(scene.player, Color{0, 228, 48, 255});
    for (Vector2 c : scene.centres) {
        DrawCircle(static_cast<int>(c.x), static_cast<int>(c.y), 50.0f, Color{91, 206, 250, 172});
    }
    EndDrawing();
}

template <typename Draw>
double timeFrame(Draw draw)
{
    Clock::time_point t0 = Clock::now();
    draw();
    return microsSince(t0);
}

} // namespace

int main()
{
    SetTraceLogLevel(LOG_WARNING);
    bubbleColor = Color{91, 206, 250, 172};
    // No target frame rate: nothing waits between passes.
    InitWindow(1280, 720, "Driftmoor");

    for (int index = 0; index < 7; index++) {
        Game game = gameOnLevel(index);
        timeLogic(game, 300); // the player lands and everything settles
        char what[32];
        std::snprintf(what, sizeof what, "level %d, idle", index + 1);
        logicRow(what, timeLogic(game, 20000));
    }

    Game game = gameOnLevel(1);
    Crowd busy;
    std::vector<double> us = timeClicking(game, busyClicks, 600, busy);
    char what[128];
    std::snprintf(what, sizeof what, "worst case (level 2, a click every pass, %zu-%zu bubbles, up to %zu carrying)",
                  busy.fewest, busy.most, busy.carrying);
    logicRow(what, us);

    Game pile = gameOnLevel(1);
    Crowd pileUp;
    us = timeClicking(pile, pileUpClicks, 12000, pileUp);
    std::snprintf(what, sizeof what, "pile-up (level 2, clicks kept on the loads, %zu-%zu bubbles, up to %zu carrying)",
                  pileUp.fewest, pileUp.most, pileUp.carrying);
    logicRow(what, us);

    // Drawing the frame the worst case left, game and bare frames taking turns
    // so that both see the same machine.
    const Scene scene = sceneOf(game);
    std::vector<double> gameUs, bareUs;
    drawFrame(game.currentLevel, game.pc, game.bubbles);
    drawBare(scene);
    for (int n = 0; n < 100; n++) {
        gameUs.push_back(timeFrame([&] { drawFrame(game.currentLevel, game.pc, game.bubbles); }));
        bareUs.push_back(timeFrame([&] { drawBare(scene); }));
    }
    Stats g = summarise(gameUs), b = summarise(bareUs);
    std::printf("| Draw one frame headless (software renderer, %zu bubbles): mean / p99 | %.2f / %.2f ms |"
                " %.2f / %.2f ms bare raylib | %.3f / %.3f | ≤ 1.10: %s |\n",
                scene.centres.size(), g.mean / 1000, g.p99 / 1000, b.mean / 1000, b.p99 / 1000, g.mean / b.mean,
                g.p99 / b.p99, g.mean / b.mean <= 1.10 ? "met" : "missed");
    CloseWindow();
    return 0;
}
