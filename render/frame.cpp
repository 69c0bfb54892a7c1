#include "render/frame.h"

#include "render/colors.h"

namespace {

// Blocks are drawn from their plain fields, truncated toward zero.
template <typename Block>
void drawBlocks(const std::vector<Block>& blocks, Color color)
{
    for (const Block& block : blocks) {
        DrawRectangle(static_cast<int>(block.x), static_cast<int>(block.y), static_cast<int>(block.width),
                      static_cast<int>(block.height), color);
    }
}

} // namespace

void drawFrame(const Level& currentLevel, const Player& pc, const std::vector<Bubble>& bubbles)
{
    const Color background{245, 245, 245, 255};
    const Color enemy{230, 41, 55, 255};
    const Color staticPlatform{0, 0, 0, 255};
    const Color staticWall{200, 200, 200, 255};
    // Gravity makes walls darker and platforms lighter.
    const Color gravityWall{130, 130, 130, 255};
    const Color gravityPlatform{80, 80, 80, 255};
    const Color goal{0, 121, 241, 255};
    const Color player{0, 228, 48, 255};
    const float bubbleRadius = 50.0f;

    BeginDrawing();
    ClearBackground(background);
    // Later shapes cover earlier ones: enemies can hide behind blocks.
    drawBlocks(currentLevel.enemies, enemy);
    drawBlocks(currentLevel.staticPlatforms, staticPlatform);
    drawBlocks(currentLevel.staticWalls, staticWall);
    drawBlocks(currentLevel.gravityWalls, gravityWall);
    drawBlocks(currentLevel.gravityPlatforms, gravityPlatform);
    DrawRectangleRec(currentLevel.goal, goal);
    DrawRectangleRec(pc.rect, player);
    for (const Bubble& b : bubbles) {
        DrawCircle(static_cast<int>(b.position.x), static_cast<int>(b.position.y), bubbleRadius, bubbleColor);
    }
    EndDrawing();
}
