#pragma once

#include <utility>
#include <vector>

#include "raylib.h"
#include "world/enemy.h"
#include "world/platform.h"
#include "world/wall.h"

struct Level {
    std::vector<Platform> staticPlatforms;
    std::vector<Platform> gravityPlatforms;
    std::vector<Wall> staticWalls;
    std::vector<Wall> gravityWalls;
    std::vector<Enemy> enemies;
    Vector2 start;
    Rectangle goal;

    Level(std::vector<Platform> staticPlatforms, std::vector<Platform> gravityPlatforms,
          std::vector<Wall> staticWalls, std::vector<Wall> gravityWalls, std::vector<Enemy> enemies,
          Vector2 start, float goalX, float goalY)
        : staticPlatforms(std::move(staticPlatforms)), gravityPlatforms(std::move(gravityPlatforms)),
          staticWalls(std::move(staticWalls)), gravityWalls(std::move(gravityWalls)),
          enemies(std::move(enemies)), start(start), goal{goalX, goalY, 50, 50}
    {
    }
};
