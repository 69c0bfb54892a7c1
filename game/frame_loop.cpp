#include "game/frame_loop.h"

#include "bubbles/bubble_pass.h"
#include "bubbles/falling.h"
#include "game/player_movement.h"
#include "game/progression.h"
#include "render/frame.h"

void updateFrame(Game& game)
{
    auto& [pc, bubbles, deleteBubbles, levels, currentLevel, levelIndex] = game;

    // The goal wins over R: a pass that advances never reads the key.
    if (goalReached(pc, currentLevel)) {
        levelIndex += 1;
        reloadLevel(levelIndex, levels, currentLevel, pc, bubbles);
    } else if (restartKeyHeld()) {
        reloadLevel(levelIndex, levels, currentLevel, pc, bubbles);
    }

    // Touching an enemy restarts the level and plays this frame's movement
    // again on it, so the player is never drawn on an enemy. The levels keep
    // enemies away from start points, which keeps this loop short.
    for (;;) {
        walkingStep(pc, currentLevel);
        jumpStep(pc);
        bubblePass(bubbles, deleteBubbles, currentLevel);
        deletionStep(bubbles, deleteBubbles, currentLevel);
        fallingPass(currentLevel);
        gravityStep(pc, currentLevel);
        if (!enemyTouched(pc, currentLevel)) {
            break;
        }
        reloadLevel(levelIndex, levels, currentLevel, pc, bubbles);
    }

    bubbleCreation(bubbles);
}

void playFrame(Game& game)
{
    updateFrame(game);
    drawFrame(game.currentLevel, game.pc, game.bubbles);
}

int runFrameLoop(Game& game)
{
    while (!WindowShouldClose()) {
        playFrame(game);
    }
    // A normal end reports status 1; the window goes with the process.
    return 1;
}
