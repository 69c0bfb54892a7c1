#include "game/player_movement.h"

#include <vector>

#include "world/motion.h"

namespace {

constexpr int keyA = 65;
constexpr int keyD = 68;
constexpr int keySpace = 32;

constexpr float walkDistance = 5.0f;
constexpr float wallPushStep = 1.0f;
constexpr int jumpDuration = 30;
constexpr double jumpRise = 14.7;
constexpr double fallDistance = 9.8;
constexpr double pushUpStep = 0.2;

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
    float pushBack = distance < 0 ? wallPushStep : -wallPushStep;
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
            shiftY(pc, -pushUpStep);
        }
    }
}

} // namespace

void walkingStep(Player& pc, const Level& currentLevel)
{
    if (IsKeyDown(keyA)) {
        walk(pc, currentLevel, -walkDistance);
    }
    if (IsKeyDown(keyD)) {
        walk(pc, currentLevel, walkDistance);
    }
}

void jumpStep(Player& pc)
{
    if (IsKeyPressed(keySpace) && pc.jumpFrames == 0 && !pc.airborne) {
        pc.jumpFrames = jumpDuration;
    }
    if (pc.jumpFrames > 0) {
        shiftY(pc, -jumpRise);
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
        shiftY(pc, fallDistance);
        pc.airborne = true;
    }
    pushUpOutOf(pc, currentLevel.staticPlatforms);
    pushUpOutOf(pc, currentLevel.gravityPlatforms);
}
