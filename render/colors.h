#pragma once

#include "raylib.h"

// The one program-wide value: main sets it before anything is built or drawn.
extern Color bubbleColor;
