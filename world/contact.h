#pragma once

#include "raylib.h"

// Whether a bottom corner of the box (x, y, width, height), raised by `lift`,
// lies inside `area`. The right corner is only tried when the left one misses.
inline bool bottomCornerInside(float x, float y, float width, float height, float lift, Rectangle area)
{
    Vector2 point1{x, (y + height) - lift};
    Vector2 point2{x + width, (y + height) - lift};
    if (CheckCollisionPointRec(point1, area)) {
        return true;
    }
    return CheckCollisionPointRec(point2, area);
}
