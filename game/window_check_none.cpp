#include "game/window_check.h"

// The browser and Windows open their window without anything to check first.
bool windowCanOpen() { return true; }
