#pragma once

#include "raylib.h"
#include "world/platform.h"
#include "world/wall.h"

struct Player {
    float x;
    float y;
    float width;
    float height;
    Rectangle rect;
    int jumpFrames = 0;
    bool airborne = true;

    Player(float x, float y, float width, float height)
        : x(x), y(y), width(width), height(height), rect{x, y, width, height}
    {
    }

    bool collidesWith(const Wall& wall) const;
    // Probes the bottom edge itself, so the player stands just above a platform.
    bool isStandingOn(const Platform& platform) const;
};
