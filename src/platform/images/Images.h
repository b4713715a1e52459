// The program's bitmap and icon resources, Win32-shaped. The pictures are
// embedded in the binary, so the program finds them from any folder.
//
// Bitmaps are 32-bit colour GDI bitmaps (see gdi/Gdi.h) in which pure black
// marks the background; the program draws them with black as the transparent
// colour. Icons carry an alpha channel and are drawn with DrawIconEx.
//
// Resources are named as Win32 names them: MAKEINTRESOURCEW(id), or the text
// "#id". The instance is not looked at: the program has one module, and its
// resources are the only ones there are. Calls are meant for the user
// interface thread.
#pragma once

#include "platform/Types.h"

// LoadImageW types and flags
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_DEFAULTSIZE = 0x0040;

// DrawIconEx flags
constexpr UINT DI_MASK = 0x0001;    // only the mask: opaque pixels become black
constexpr UINT DI_IMAGE = 0x0002;   // only the colours: transparent pixels become black
constexpr UINT DI_NORMAL = 0x0003;  // the picture over what is there, by its alpha
constexpr UINT DI_DEFAULTSIZE = 0x0008;

// The size of an icon from LoadIconW, and of DI_DEFAULTSIZE, in pixels.
constexpr int kDefaultIconSize = 32;

// A new bitmap holding bitmap resource `name`, or null when the program has
// no such bitmap. The caller deletes it with DeleteObject.
HBITMAP LoadBitmapW(HINSTANCE instance, const WCHAR* name);

// Icon resource `name` at the default icon size (32 x 32), or null when the
// program has no such icon. The caller releases it with DestroyIcon.
HICON LoadIconW(HINSTANCE instance, const WCHAR* name);

// A bitmap (IMAGE_BITMAP, returned as an HBITMAP) or an icon (IMAGE_ICON, an
// HICON) resource. An icon takes the image nearest in size to width x height
// (scaled when it is not exact); 0 x 0 means the default icon size with
// LR_DEFAULTSIZE and the resource's largest image without. Bitmaps ignore the
// size. Null for an unknown resource, an unknown type or a negative size.
HANDLE LoadImageW(HINSTANCE instance, const WCHAR* name, UINT type, int width, int height, UINT flags);

// Releases an icon. FALSE for a null, unknown or already destroyed handle.
BOOL DestroyIcon(HICON icon);

// Draws an icon with its top-left corner at (x, y), width x height pixels
// (0 x 0: the icon's own size, or the default size with DI_DEFAULTSIZE). It
// uses the icon resource's image of that size when there is one, else scales
// the nearest larger one pixel by pixel. With a brush the area is filled with
// it first, as a flicker-free draw ends up. Pixels outside the context's
// bitmap are left out. `step` (an animated cursor's frame) is not used.
// FALSE for an invalid context or icon, a negative size or flags without
// DI_NORMAL's bits.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH brush, UINT flags);
