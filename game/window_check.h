#pragma once

// What the game checks before it opens the window. Each build
// compiles one definition: the X11 desktop checks its display, the others
// have nothing to check.
//
// Returns false, after saying why on stderr, when the window cannot open.
bool windowCanOpen();
