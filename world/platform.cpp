#include "world/platform.h"

#include "world/contact.h"

bool Platform::restsOn(Platform platform) const
{
    return bottomCornerInside(x, y, width, height, 1.0f, platform.rect);
}
