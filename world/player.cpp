#include "world/player.h"

#include "world/contact.h"

bool Player::collidesWith(const Wall& wall) const
{
    return CheckCollisionRecs(rect, wall.rect);
}

bool Player::isStandingOn(const Platform& platform) const
{
    return bottomCornerInside(x, y, width, height, 0.0f, platform.rect);
}
