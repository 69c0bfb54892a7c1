#include "tests/support/state_text.h"

#include <cstring>
#include <iomanip>
#include <sstream>

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
