// What the custom button and the custom slider share: images with a black
// surround copied transparently, the bitmaps a control owns, the off-screen
// image a control composes itself in, and the registration of a control's
// window class.
#pragma once

#include "platform/core/Window.h"
#include "platform/gdi/Gdi.h"

#include <initializer_list>

// Copies the width x height image at (0, 0) of bitmap to (x, y) of dc,
// leaving the target alone wherever the image is pure black. A null bitmap,
// or one that cannot be selected (it is selected elsewhere), draws nothing.
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, UINT width, UINT height, int x, int y);

// Reads a bitmap's size into width and height; leaves them alone and
// returns false when the size cannot be read.
bool ReadBitmapSize(HBITMAP bitmap, UINT& width, UINT& height);

// Deletes each distinct handle of `previous` that none of `kept` is: what a
// control does once it has put new images in place of its old ones.
void DeleteReplacedBitmaps(std::initializer_list<HBITMAP> previous, std::initializer_list<HBITMAP> kept);

// A window's off-screen image is a memory context compatible with the
// window's (memDC) holding a client-sized bitmap (offscreen); savedBitmap is
// what memDC held before, put back on release.
// Creates the three at the window's current client size. On failure nothing
// is left behind, all three are null and the result is false.
bool CreateOffscreenImage(HWND window, HDC& memDC, HBITMAP& offscreen, HBITMAP& savedBitmap);
// Puts the saved bitmap back, then deletes the off-screen bitmap and the
// context, and nulls all three. Safe when there is no image.
void ReleaseOffscreenImage(HDC& memDC, HBITMAP& offscreen, HBITMAP& savedBitmap);

// Registers a control window class of that name once: double clicks,
// redraw on resize, the default window procedure and a hollow background.
// True when the class exists afterwards.
BOOL RegisterControlClass(const WCHAR* className);
