// The zoom keys: Ctrl+Plus, Ctrl+Minus and Ctrl+0 change the zoom of every
// window of the program while it runs, and the choice is kept for the next
// start.
#pragma once

namespace platform::core {

// Watches the application's key presses for the zoom keys. Called once the
// application environment exists.
void InstallZoomKeys();

// Shows every window at `zoom` (1 to 4): each keeps its size in pixels, its
// place on the screen and its content, now drawn as zoom x zoom blocks.
void ChangeZoom(int zoom);

}  // namespace platform::core
