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
    BeginDrawing();
    ClearBackground(Color{245, 245, 245, 255});
    // Later shapes cover earlier ones: enemies can hide behind blocks.
    drawBlocks(currentLevel.enemies, Color{230, 41, 55, 255});
    drawBlocks(currentLevel.staticPlatforms, Color{0, 0, 0, 255});
    drawBlocks(currentLevel.staticWalls, Color{200, 200, 200, 255});
    drawBlocks(currentLevel.gravityWalls, Color{130, 130, 130, 255});
    drawBlocks(currentLevel.gravityPlatforms, Color{80, 80, 80, 255});
    DrawRectangleRec(currentLevel.goal, Color{0, 121, 241, 255});
    DrawRectangleRec(pc.rect, Color{0, 228, 48, 255});
    for (const Bubble& b : bubbles) {
        DrawCircle(static_cast<int>(b.position.x), static_cast<int>(b.position.y), 50.0f, bubbleColor);
    }
    EndDrawing();
}
