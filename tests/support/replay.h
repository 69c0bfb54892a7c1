#pragma once

#include <functional>
#include <string>
#include <vector>

#include "game/game.h"

// An input script, one line per stretch of frames with the same input:
//   intro click 640 400   the click that ends the intro screen
//   40 D                  hold D for 40 frames
//   1 D space             D and space held (a jump starts only when space goes down)
//   1 click 525 420       a left click at (525, 420) in each of the frames
//   12 -                  nothing held
// Inputs are A, D, space, R and click X Y; '#' starts a comment.
struct Segment {
    int frames = 0;
    bool left = false;
    bool right = false;
    bool jump = false;
    bool restart = false;
    bool click = false;
    int clickX = 0;
    int clickY = 0;
    int line = 0;
};

struct Script {
    bool intro = false;
    int introX = 0;
    int introY = 0;
    std::vector<Segment> segments;
    std::string error; // empty when every line was understood
};

Script parseScript(const std::string& text);
Script loadScript(const std::string& path);

// Called after every frame with the frame's number (from 1) and its input.
using FrameHook = std::function<void(const Game& game, int frame, const Segment& input)>;

// Passes the intro screen by its click, then plays each frame of the script
// through the real frame pass, input fed to raylib as a player would give it.
void playScript(Game& game, const Script& script, const FrameHook& afterFrame = {});
