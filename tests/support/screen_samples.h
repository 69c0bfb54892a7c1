#pragma once

// Pixels that the real game's window shows alike on every build, in window
// coordinates, for the tests that look at a real window.
struct Sample {
    const char* what;
    int x;
    int y;
    unsigned char r;
    unsigned char g;
    unsigned char b;
};

// The legend of the intro screen, one sample per object.
inline constexpr Sample introSamples[] = {
    {"player", 35, 35, 0, 228, 48},
    {"static platform", 35, 82, 0, 0, 0},
    {"gravity platform", 35, 107, 80, 80, 80},
    {"static wall", 22, 155, 200, 200, 200},
    {"gravity wall", 47, 155, 130, 130, 130},
    {"enemy", 35, 215, 230, 41, 55},
    {"goal", 35, 335, 0, 121, 241},
};

// Level 1 as play begins.
inline constexpr Sample levelOneSamples[] = {
    {"background", 640, 360, 245, 245, 245},
    {"floor at y 670", 640, 675, 0, 0, 0},
    {"goal at (1080, 50)", 1105, 75, 0, 121, 241},
};

// Where the intro's legend shows its bubble.
inline constexpr int introBubbleX = 35;
inline constexpr int introBubbleY = 275;

// A translucent blue bubble over the light background, given one RGB pixel.
inline bool looksLikeBubble(const unsigned char* p)
{
    return p[0] > 120 && p[0] < 160 && p[1] > 200 && p[1] < 235 && p[2] > 240;
}
