#pragma once

#include "raylib.h"

struct Enemy {
    float x;
    float y;
    float width;
    float height;
    Rectangle rect;

    Enemy(float x, float y, float width, float height)
        : x(x), y(y), width(width), height(height), rect{x, y, width, height}
    {
    }
};
