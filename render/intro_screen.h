#pragma once

// Shows the legend of the game's objects until the left button is pressed.
void showIntroScreen();
