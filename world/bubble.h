#pragma once

#include <string>

#include "raylib.h"

struct Bubble {
    Vector2 position;
    int carriedIndex = -1;
    bool carrying = false;
    std::string carriedKind; // "", "p" platform, "w" wall, "v" the goal

    Bubble(int x, int y) : position{static_cast<float>(x), static_cast<float>(y)} {}
};
