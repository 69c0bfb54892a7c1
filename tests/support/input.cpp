#include "tests/support/input.h"

#include "game/frame_loop.h"
#include "raylib.h"

namespace {

// raylib's automation event types.
constexpr unsigned keyUp = 1;
constexpr unsigned keyDown = 2;
constexpr unsigned mouseButtonUp = 5;
constexpr unsigned mouseButtonDown = 6;
constexpr unsigned mousePosition = 7;
constexpr unsigned touchUp = 14;
constexpr unsigned touchDown = 15;
constexpr unsigned windowClose = 18;

void play(unsigned type, int a = 0, int b = 0)
{
    PlayAutomationEvent(AutomationEvent{0, type, {a, b, 0, 0}});
}

bool mouseHeld = false;

} // namespace

namespace input {

void holdKey(int key) { play(keyDown, key); }
void releaseKey(int key) { play(keyUp, key); }

void pressMouseAt(int x, int y)
{
    play(mousePosition, x, y);
    play(mouseButtonDown, 0);
    mouseHeld = true;
}

void releaseMouse()
{
    play(mouseButtonUp, 0);
    mouseHeld = false;
}

void holdTouchAt(int x, int y)
{
    play(mousePosition, x, y);
    play(touchDown, 0);
}

void liftTouch() { play(touchUp, 0); }

void requestClose() { play(windowClose); }

void settle()
{
    for (int key : {keyA, keyD, keyR, keySpace}) releaseKey(key);
    releaseMouse();
    liftTouch();
    BeginDrawing();
    EndDrawing();
}

} // namespace input

void playFrames(Game& game, int count)
{
    for (int n = 0; n < count; n++) {
        playFrame(game);
        // The windowless platform never ages the button state, so a press
        // would repeat every frame; lift it like a real click.
        if (mouseHeld) input::releaseMouse();
    }
}
