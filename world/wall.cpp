#include "world/wall.h"

#include "world/contact.h"

bool Wall::restsOn(Platform platform) const
{
    return bottomCornerInside(x, y, width, height, 1.0f, platform.rect);
}
