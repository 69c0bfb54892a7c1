#pragma once

#include "raylib.h"
#include "world/platform.h"

struct Wall {
    float x;
    float y;
    float width;
    float height;
    Rectangle rect;
    bool hasGravity;

    Wall(float x, float y, float width, float height, bool hasGravity)
        : x(x), y(y), width(width), height(height), rect{x, y, width, height}, hasGravity(hasGravity)
    {
    }

    // Walls fall and land exactly like platforms.
    bool restsOn(Platform platform) const;
};
