#pragma once

#include "raylib.h"

struct Platform {
    float x;
    float y;
    float width;
    float height;
    Rectangle rect;
    bool hasGravity;

    Platform(float x, float y, float width, float height, bool hasGravity)
        : x(x), y(y), width(width), height(height), rect{x, y, width, height}, hasGravity(hasGravity)
    {
    }

    // Probes 1 above the bottom edge, so a block settles slightly sunk into its support.
    bool restsOn(Platform platform) const;
};
