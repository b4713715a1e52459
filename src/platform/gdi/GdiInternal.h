// The drawing layer as the rest of the platform sees it. Only src/platform
// includes this header.
#pragma once

#include "platform/Types.h"

class QImage;
class QFont;

namespace platform::gdi {

// A drawing context that draws into target. The image must outlive the
// context; DestroyImageDC releases the context, not the image.
HDC CreateImageDC(QImage* target);
void DestroyImageDC(HDC dc);

// The image behind a bitmap handle, or null.
QImage* BitmapImage(HBITMAP bitmap);

// The Qt font a font handle stands for. False for an invalid handle.
bool FontOf(HFONT font, QFont& out);

// A new 32-bit colour bitmap holding a copy of image (for bitmap resources),
// or null for a null image.
HBITMAP CreateBitmapFromImage(const QImage& image);

// The image a context draws into (its window's image, or the bitmap selected
// into a memory context), or null for an invalid context.
QImage* ContextImage(HDC dc);

}  // namespace platform::gdi
