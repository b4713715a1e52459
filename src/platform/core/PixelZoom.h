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

// The zoom at start: --zoom (`asked`, 1 to 4) wins, else the zoom kept from
// the last run's keys (`kept`; anything outside 1 to 4 counts as none), each
// as far as the window fits; else the screen's own choice.
int StartZoom(int asked, int kept, int width, int height);

// The zoom keys: Ctrl+Plus one step larger, Ctrl+Minus one step smaller,
// Ctrl+0 back to the zoom the screen gives.
enum class ZoomKey { Larger, Smaller, ScreenDefault };

// The zoom after a key at zoom `current`: never below 1, and one step larger
// only when the window still fits the screen at that zoom.
int SteppedZoom(int current, ZoomKey key, int width, int height);

// The zoom kept in the settings file by the last key press, or 0 when none
// is kept (or the value there is not a number from 1 to 4).
int KeptZoom();

// Keeps the zoom for the next start in the settings file; 0 keeps none, so
// the screen chooses again. Other values in the file are left as they are.
// False when the file could not be written.
bool KeepZoom(int zoom);

// Before the application environment exists: looks at the screen, chooses
// the zoom and multiplies the scale factor Qt reads from its environment by
// it. `argv0` names the program to the display.
void PrepareScaleFactor(char* argv0);

// The zoom the windows show now: chosen by PrepareScaleFactor, changed by
// the zoom keys.
int PixelZoom();

// The factor Qt scales by for zoom 1: the desktop's own (QT_SCALE_FACTOR as
// the program found it).
double DesktopScaleFactor();

// Records the zoom the windows were switched to while running.
void SetCurrentZoom(int zoom);

// Gives a top-level window the block enlargement when it will be shown at
// more than one device pixel per pixel (a zoom, or a desktop's scale factor),
// or, asked to, already at one (for a zoom to come). Once is enough.
void ShowPixelsAsBlocks(QWidget* topLevel, bool evenAtOnePixelPerPixel = false);

}  // namespace platform::core
