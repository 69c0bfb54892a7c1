#include "game/progression.h"

bool goalReached(const Player& pc, const Level& currentLevel)
{
    return CheckCollisionRecs(pc.rect, currentLevel.goal);
}

bool restartKeyHeld()
{
    constexpr int keyR = 82;
    return IsKeyDown(keyR);
}

bool enemyTouched(const Player& pc, const Level& currentLevel)
{
    for (const Enemy& enemy : currentLevel.enemies) {
        if (CheckCollisionRecs(pc.rect, enemy.rect)) {
            return true;
        }
    }
    return false;
}
