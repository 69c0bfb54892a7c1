#pragma once

#include "world/level.h"

// The seven fixed levels. List order matters: bubbles refer to the objects
// they carry by index.
Level makeLevel1();
Level makeLevel2();
Level makeLevel3();
Level makeLevel4();
Level makeLevel5();
Level makeLevel6();
Level makeLevel7();
