#include "bubbles/falling.h"

#include <vector>

#include "world/motion.h"

namespace {

constexpr double fallDistance = 9.8;
constexpr double pushUpStep = 0.2;

template <typename Block>
bool restsOnAny(const Block& block, const std::vector<Platform>& staticPlatforms)
{
    for (const Platform& platform : staticPlatforms) {
        if (block.restsOn(platform)) {
            return true;
        }
    }
    return false;
}

template <typename Block>
void fall(Block& block, const std::vector<Platform>& staticPlatforms)
{
    if (!block.hasGravity) {
        return;
    }
    if (!restsOnAny(block, staticPlatforms)) {
        shiftY(block, fallDistance);
    }
    // Runs even after a rest, so a block released inside a platform climbs onto it.
    for (const Platform& platform : staticPlatforms) {
        while (block.restsOn(platform)) {
            shiftY(block, -pushUpStep);
        }
    }
}

} // namespace

void fallingPass(Level& currentLevel)
{
    for (Platform& platform : currentLevel.gravityPlatforms) {
        fall(platform, currentLevel.staticPlatforms);
    }
    for (Wall& wall : currentLevel.gravityWalls) {
        fall(wall, currentLevel.staticPlatforms);
    }
}
