#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "game/frame_loop.h"
#include "tests/support/headless.h"

namespace {

// Frames per seed; DRIFTMOOR_SOAK_FRAMES changes it for a longer manual run.
constexpr int defaultFrames = 40000;
constexpr int seedCount = 42;

// A pass that never ends (the enemy check can rerun the movement) cannot fail
// an assertion: the alarm writes out the seed and frame, then aborts.
char hangReport[64];
int hangReportLength = 0;

void onHang(int)
{
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, hangReport, static_cast<size_t>(hangReportLength));
    std::abort();
}

void watch(int seed, int frame)
{
    hangReportLength =
        std::snprintf(hangReport, sizeof hangReport, "pass never ended: seed %d frame %d\n", seed, frame);
    alarm(10);
}

// Keys held and let go at random for stretches a person would use; R is rare
// so that levels get played. A share of the clicks goes under the player, where
// a bubble lifts what the player stands on or brings a goal up from below, and
// a few land just outside the window.
struct Hands {
    struct Key {
        int code, holdMin, holdMax, gapMin, gapMax;
        bool down = true;
        int left = 0;
    };
    std::mt19937 rng;
    bool clicked = false;
    std::array<Key, 4> keys{{{input::keyA, 3, 60, 10, 120},
                             {input::keyD, 3, 90, 10, 90},
                             {input::keySpace, 1, 12, 3, 60},
                             {input::keyR, 1, 15, 1500, 9000}}};

    explicit Hands(unsigned seed) : rng(seed) {}

    int pick(int low, int high) { return std::uniform_int_distribution(low, high)(rng); }

    std::optional<Vector2> act(const Game& game)
    {
        for (Key& k : keys) {
            if (--k.left > 0) continue;
            k.down = !k.down;
            k.down ? input::holdKey(k.code) : input::releaseKey(k.code);
            k.left = k.down ? pick(k.holdMin, k.holdMax) : pick(k.gapMin, k.gapMax);
        }
        // A click takes more than one frame, which also keeps two bubbles from
        // sharing a spot one rise apart.
        if (std::exchange(clicked, false) || pick(0, 17) != 0) return std::nullopt;
        clicked = true;
        int x = pick(0, 1279), y = pick(0, 719), kind = pick(0, 9);
        if (kind == 0) {
            x = pick(-60, 1340), y = pick(-60, 780);
        } else if (kind < 3) {
            x = static_cast<int>(game.pc.x) + pick(0, 49);
            y = std::clamp(static_cast<int>(game.pc.y) + pick(50, 400), 0, 719);
        }
        input::pressMouseAt(x, y);
        return Vector2{static_cast<float>(x), static_cast<float>(y)};
    }
};

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

template <typename Body>
bool twinCopies(const Body& b)
{
    return bits(b.x) == bits(b.rect.x) && bits(b.y) == bits(b.rect.y) && bits(b.width) == bits(b.rect.width) &&
           bits(b.height) == bits(b.rect.height);
}

template <typename Body>
bool sameList(const std::vector<Body>& a, const std::vector<Body>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Body& p, const Body& q) {
        bool flags = true;
        if constexpr (requires { p.hasGravity; }) flags = p.hasGravity == q.hasGravity;
        return flags && twinCopies(p) && bits(p.x) == bits(q.x) && bits(p.y) == bits(q.y) &&
               bits(p.width) == bits(q.width) && bits(p.height) == bits(q.height);
    });
}

int holders(const std::vector<Bubble>& bubbles, auto holds)
{
    return static_cast<int>(std::count_if(bubbles.begin(), bubbles.end(), holds));
}

// A carried block never sinks. A block with its flag cleared and no bubble
// holding it was abandoned: the bubble that held it the pass before lives on
// with another load. Once left behind it never moves again.
template <typename Block>
std::string blockFault(const std::vector<Block>& now, const std::vector<Block>& before, const std::vector<Block>& plan,
                       const std::string& kind, const std::vector<Bubble>& bubbles, const std::vector<Bubble>& earlier)
{
    if (now.size() != plan.size()) return kind + " list changed length";
    for (int j = 0; j < static_cast<int>(now.size()); j++) {
        const Block &o = now[j], &p = plan[j];
        const std::string name = kind + std::to_string(j);
        auto holdsIt = [&](const Bubble& b) { return b.carrying && b.carriedKind == kind && b.carriedIndex == j; };
        if (!twinCopies(o) || bits(o.x) != bits(p.x) || o.width != p.width || o.height != p.height)
            return name + " geometry broken";
        bool held = holders(bubbles, holdsIt) > 0;
        bool heldBefore = j < static_cast<int>(before.size()) && holders(earlier, holdsIt) > 0;
        if (held && o.hasGravity) return name + " carried but still has gravity";
        if (held && heldBefore && o.y > before[j].y) return name + " sank while carried";
        if (o.hasGravity || held) continue;
        if (j >= static_cast<int>(before.size()) || before[j].hasGravity) return name + " lost gravity unheld";
        auto switched = [&](const Bubble& e) {
            return holdsIt(e) && holders(bubbles, [&](const Bubble& b) { return b.position.x == e.position.x; }) > 0;
        };
        if (heldBefore ? holders(earlier, switched) == 0 || o.y > before[j].y : bits(o.y) != bits(before[j].y))
            return name + " left without gravity or moved when abandoned";
    }
    return "";
}

std::string fault(const Game& game, const Level& before, const std::vector<Bubble>& earlier,
                  const std::vector<Level>& pristine, std::optional<Vector2> click)
{
    if (game.levelIndex < 0 || game.levelIndex >= 7) return "levelIndex " + std::to_string(game.levelIndex);
    if (!game.deleteBubbles.empty()) return "deleteBubbles not emptied";
    const Player& pc = game.pc;
    if (!twinCopies(pc) || pc.width != 50 || pc.height != 50 || pc.jumpFrames < 0 || pc.jumpFrames >= 30)
        return "player record broken";
    const Level &now = game.currentLevel, &plan = pristine[game.levelIndex];
    if (!sameList(now.staticPlatforms, plan.staticPlatforms) || !sameList(now.staticWalls, plan.staticWalls) ||
        !sameList(now.enemies, plan.enemies))
        return "a static object or an enemy changed";
    // The goal only rises, and stops within one rise above the top edge.
    if (bits(now.goal.x) != bits(plan.goal.x) || now.goal.y > plan.goal.y || now.goal.y <= -4.9f)
        return "goal moved other than up";

    const std::vector<Bubble>& bubbles = game.bubbles;
    const Bubble* fresh = click && !bubbles.empty() ? &bubbles.back() : nullptr;
    if (click && (!fresh || bits(fresh->position.x) != bits(click->x) || bits(fresh->position.y) != bits(click->y) ||
                  fresh->carrying))
        return "click made no fresh bubble at the cursor";
    bool passEnded = false;
    for (size_t i = 0; i < bubbles.size(); i++) {
        const Bubble& b = bubbles[i];
        const std::string& kind = b.carriedKind;
        const std::string name = "bubble " + std::to_string(i) + " (" + kind + std::to_string(b.carriedIndex) + ")";
        auto wasThere = [&](auto same) {
            return holders(earlier, [&](const Bubble& e) { return e.position.x == b.position.x && same(e); }) > 0;
        };
        // Taking a platform or wall ends the pass: the bubbles after it stay put,
        // so only they can survive at the top edge.
        bool stayed = &b != fresh && wasThere([&](const Bubble& e) { return e.position.y == b.position.y; });
        if (&b != fresh && stayed != passEnded) return name + (passEnded ? " rose after a capture" : " did not rise");
        if (b.position.y <= 0 && &b != fresh && !stayed) return name + " survived the top edge";
        bool newLoad =
            !wasThere([&](const Bubble& e) { return e.carriedKind == kind && e.carriedIndex == b.carriedIndex; });
        passEnded = passEnded || ((kind == "p" || kind == "w") && newLoad);
        if (b.carrying == kind.empty() || (kind.empty() && b.carriedIndex != -1)) return name + " inconsistent";
        int size = static_cast<int>(kind == "p" ? now.gravityPlatforms.size() : now.gravityWalls.size());
        if ((kind == "p" || kind == "w") && (b.carriedIndex < 0 || b.carriedIndex >= size))
            return name + " index out of its list";
        // Taking the goal keeps the index the bubble already had.
        if (kind == "v" && b.carriedIndex != -1 &&
            !wasThere([&](const Bubble& e) { return e.carriedIndex == b.carriedIndex; }))
            return name + " holds an index it never stored";
        // Nothing is taken while another bubble holds its index, nor the goal while another holds it.
        if (holders(bubbles, [&](const Bubble& o) {
                return (b.carriedIndex != -1 && o.carriedIndex == b.carriedIndex) ||
                       (kind == "v" && o.carriedKind == kind);
            }) > 1)
            return name + " shares its load with another bubble";
    }
    std::string problem =
        blockFault(now.gravityPlatforms, before.gravityPlatforms, plan.gravityPlatforms, "p", bubbles, earlier);
    return problem.empty() ? blockFault(now.gravityWalls, before.gravityWalls, plan.gravityWalls, "w", bubbles, earlier)
                           : problem;
}

// The first fault of a seed, with the seed and frame to replay it, or "".
std::string soak(int seed, int frames, const std::vector<Level>& pristine, std::array<int, 7>& goalsReached)
{
    input::settle();
    Hands hands(static_cast<unsigned>(seed));
    Game game = gameOnLevel(seed % 7);
    Level before = game.currentLevel;
    std::vector<Bubble> earlier = game.bubbles;
    for (int frame = 0; frame < frames; frame++) {
        std::optional<Vector2> click = hands.act(game);
        int levelBefore = game.levelIndex;
        watch(seed, frame);
        updateFrame(game);
        // Age the input as EndDrawing would, and let the button go like a click.
        if (click) input::releaseMouse();
        PollInputEvents();
        std::string problem = fault(game, before, earlier, pristine, click);
        if (!problem.empty())
            return "seed " + std::to_string(seed) + " frame " + std::to_string(frame) + ": " + problem + "\n" +
                   describeState(game);
        goalsReached[levelBefore] += game.levelIndex != levelBefore;
        before = game.currentLevel;
        earlier = game.bubbles;
    }
    return "";
}

// Every field of the game, floats by their bits, hashed.
std::size_t stateHash(const Game& game)
{
    std::string out;
    auto put = [&](auto value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); };
    auto body = [&](const auto& b) {
        for (float f : {b.x, b.y, b.width, b.height, b.rect.x, b.rect.y, b.rect.width, b.rect.height}) put(f);
        if constexpr (requires { b.hasGravity; }) put(b.hasGravity);
    };
    auto level = [&](const Level& l) {
        auto list = [&](const auto& bodies) { put(bodies.size()), std::for_each(bodies.begin(), bodies.end(), body); };
        list(l.staticPlatforms), list(l.gravityPlatforms), list(l.staticWalls), list(l.gravityWalls), list(l.enemies);
        for (float f : {l.start.x, l.start.y, l.goal.x, l.goal.y, l.goal.width, l.goal.height}) put(f);
    };
    body(game.pc), put(game.pc.jumpFrames), put(game.pc.airborne), put(game.bubbles.size());
    for (const Bubble& b : game.bubbles) {
        put(b.position.x), put(b.position.y), put(b.carriedIndex), put(b.carrying), put(b.carriedKind.size());
        out += b.carriedKind;
    }
    put(game.deleteBubbles.size());
    std::for_each(game.deleteBubbles.begin(), game.deleteBubbles.end(), put);
    level(game.currentLevel);
    std::for_each(game.levels.begin(), game.levels.end(), level);
    put(game.levelIndex);
    return std::hash<std::string>{}(out);
}

// Full passes, drawing included, each followed by the hash of the whole state.
// Freed heap blocks are first filled with a pattern of the run's own, so that a
// value the game never set would differ between runs instead of repeating.
std::vector<std::size_t> playScript(unsigned seed, int levelIndex, int frames, unsigned char pattern)
{
    std::vector<std::unique_ptr<unsigned char[]>> litter;
    for (std::size_t size = 8; size <= 4096; size += size / 2) {
        for (int n = 0; n < 16; n++) {
            volatile unsigned char* block = litter.emplace_back(new unsigned char[size]).get();
            for (std::size_t k = 0; k < size; k++) block[k] = pattern;
        }
    }
    litter.clear();
    input::settle();
    Hands hands(seed);
    Game game = gameOnLevel(levelIndex);
    std::vector<std::size_t> hashes;
    for (int frame = 0; frame < frames; frame++) {
        hands.act(game);
        watch(static_cast<int>(seed), frame);
        playFrames(game);
        hashes.push_back(stateHash(game));
    }
    alarm(0);
    return hashes;
}

} // namespace

using Soak = Headless;

TEST_F(Soak, RandomPlayOnEveryLevelKeepsTheGameConsistent)
{
    const char* scale = std::getenv("DRIFTMOOR_SOAK_FRAMES");
    const int frames = scale != nullptr ? std::max(1, std::atoi(scale)) : defaultFrames;
    const std::vector<Level> pristine = startGame().levels;
    std::signal(SIGALRM, onHang);
    // DRIFTMOOR_SOAK_SEED replays a single seed.
    const char* only = std::getenv("DRIFTMOOR_SOAK_SEED");
    const int first = only != nullptr ? std::atoi(only) : 1, last = only != nullptr ? first : seedCount;
    std::array<int, 7> goalsReached{};
    for (int seed = first; seed <= last; seed++) {
        std::string problem = soak(seed, frames, pristine, goalsReached);
        EXPECT_TRUE(problem.empty()) << problem;
    }
    alarm(0);
    // Random play must still finish levels, or the soak has stopped exercising the game.
    if (frames >= defaultFrames && only == nullptr) {
        EXPECT_GE(std::count_if(goalsReached.begin(), goalsReached.end(), [](int n) { return n > 0; }), 4)
            << "goals reached from each level: " << ::testing::PrintToString(goalsReached);
    }
}

using Determinism = Headless;

TEST_F(Determinism, SameScriptGivesTheSameStateAfterEveryPass)
{
    std::signal(SIGALRM, onHang);
    for (int levelIndex : {1, 2, 5}) {
        const unsigned seed = 1000 + static_cast<unsigned>(levelIndex);
        std::vector<std::size_t> first = playScript(seed, levelIndex, 160, 0x5a);
        std::vector<std::size_t> second = playScript(seed, levelIndex, 160, 0xa5);
        auto diverged = std::mismatch(first.begin(), first.end(), second.begin());
        EXPECT_TRUE(diverged.first == first.end())
            << "seed " << seed << " diverges after frame " << (diverged.first - first.begin());
    }
}
