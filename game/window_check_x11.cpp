#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "game/window_check.h"

// raylib's X11 layer crashes when it cannot reach the display, so the game
// tries first and says why in words a player can act on.
bool windowCanOpen()
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        if (std::getenv("WAYLAND_DISPLAY") != nullptr) {
            std::fputs("Driftmoor needs XWayland to run in a Wayland session: DISPLAY is not set.\n", stderr);
        } else {
            std::fputs("Driftmoor needs a graphical desktop: DISPLAY is not set.\n", stderr);
        }
        return false;
    }
    // The connection stays open: were it the server's last client, closing it
    // could let the server reset just as raylib connects.
    if (XOpenDisplay(display) == nullptr) {
        std::fprintf(stderr, "Driftmoor cannot open the display \"%s\".\n", display);
        return false;
    }
    return true;
}
