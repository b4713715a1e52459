// Zoom without blur. A window N times larger shows every pixel of the
// handheld-sized window as an N x N block, as a magnifier would: the
// program's drawings are pixel art (one-pixel lines, bitmaps, small fonts),
// and scaling them smoothly or re-rendering them at a higher resolution would
// change how they look. Qt's own scale factor sizes the windows and divides
// input coordinates back; the top-level windows' images are rendered at one
// pixel per pixel and enlarged with nearest-neighbour sampling.
#pragma once

class QWidget;

namespace platform::core {

// Zoom factors the command line accepts.
constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 4;

// The handheld's work area, the main window's size at zoom 1, and the room
// counted for the title bar the desktop puts over it.
constexpr int kWindowWidth = 240;
constexpr int kWindowHeight = 268;
constexpr int kTitleBarAllowance = 30;

// Asks for windows `factor` times larger than the desktop would show them
// (the command line's --zoom). Without it the zoom follows the screen.
// Takes effect when the application environment is created.
void SetPixelZoom(int factor);

// The zoom for a screen whose available area is `width` x `height` (in the
// desktop's own pixels). Asked for (1 to 4): that zoom, or the largest
// smaller one at which the window and its title bar fit on the screen. Not
// asked for (0): the largest zoom at which they take at most 70 % of the
// available height. Always at least 1.
int ChooseZoom(int asked, int width, int height);

// Before the application environment exists: looks at the screen, chooses
// the zoom and multiplies the scale factor Qt reads from its environment by
// it. `argv0` names the program to the display.
void PrepareScaleFactor(char* argv0);

// The zoom chosen by PrepareScaleFactor.
int PixelZoom();

// Gives a top-level window the block enlargement when it will be shown at
// more than one device pixel per pixel (a zoom, or a desktop's scale factor).
void ShowPixelsAsBlocks(QWidget* topLevel);

}  // namespace platform::core
