#include "game/player_movement.h"

#include <vector>

#include "world/motion.h"

namespace {

constexpr int keyA = 65;
constexpr int keyD = 68;
constexpr int keySpace = 32;

// The push direction comes from the key, not from the side of the wall.
void pushOutOfWalls(Player& pc, const std::vector<Wall>& walls, float step)
{
    for (const Wall& wall : walls) {
        while (pc.collidesWith(wall)) {
            nudgeX(pc, step);
        }
    }
}

void walk(Player& pc, const Level& currentLevel, float distance)
{
    nudgeX(pc, distance);
    float pushBack = distance < 0 ? 1.0f : -1.0f;
    pushOutOfWalls(pc, currentLevel.staticWalls, pushBack);
    pushOutOfWalls(pc, currentLevel.gravityWalls, pushBack);
}

bool standsOnAny(const Player& pc, const std::vector<Platform>& platforms)
{
    for (const Platform& platform : platforms) {
        if (pc.isStandingOn(platform)) {
            return true;
        }
    }
    return false;
}

void pushUpOutOf(Player& pc, const std::vector<Platform>& platforms)
{
    for (const Platform& platform : platforms) {
        while (pc.isStandingOn(platform)) {
            pc.airborne = false;
            shiftY(pc, -0.2);
        }
    }
}

} // namespace

void walkingStep(Player& pc, const Level& currentLevel)
{
    if (IsKeyDown(keyA)) {
        walk(pc, currentLevel, -5.0f);
    }
    if (IsKeyDown(keyD)) {
        walk(pc, currentLevel, 5.0f);
    }
}

void jumpStep(Player& pc)
{
    if (IsKeyPressed(keySpace) && pc.jumpFrames == 0 && !pc.airborne) {
        pc.jumpFrames = 30;
    }
    if (pc.jumpFrames > 0) {
        shiftY(pc, -14.7);
        pc.jumpFrames -= 1;
        pc.airborne = true;
    }
}

void gravityStep(Player& pc, const Level& currentLevel)
{
    bool supported = false;
    // Both lists are searched even when the first one already holds the player.
    if (standsOnAny(pc, currentLevel.staticPlatforms)) {
        supported = true;
        pc.airborne = false;
    }
    if (standsOnAny(pc, currentLevel.gravityPlatforms)) {
        supported = true;
        pc.airborne = false;
    }
    if (!supported) {
        shiftY(pc, 9.8);
        pc.airborne = true;
    }
    pushUpOutOf(pc, currentLevel.staticPlatforms);
    pushUpOutOf(pc, currentLevel.gravityPlatforms);
}
