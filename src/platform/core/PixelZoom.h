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

// Asks for windows `factor` times larger than the desktop would show them.
// Takes effect when the application environment is created.
void SetPixelZoom(int factor);

// Before the application environment exists: multiplies the scale factor
// Qt reads from its environment by the requested zoom.
void PrepareScaleFactor();

// Gives a top-level window the block enlargement when it will be shown at
// more than one device pixel per pixel (a zoom, or a desktop's scale factor).
void ShowPixelsAsBlocks(QWidget* topLevel);

}  // namespace platform::core
