#include "world/contact.h"

#include "world/player.h"

bool Player::collidesWith(const Wall& wall) const
{
    return CheckCollisionRecs(rect, wall.rect);
}

bool Player::isStandingOn(const Platform& platform) const
{
    return bottomCornerInside(x, y, width, height, 0.0f, platform.rect);
}

bool Platform::restsOn(Platform platform) const
{
    return bottomCornerInside(x, y, width, height, 1.0f, platform.rect);
}

bool Wall::restsOn(Platform platform) const
{
    return bottomCornerInside(x, y, width, height, 1.0f, platform.rect);
}
