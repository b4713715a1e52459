// Writing the generated pictures to disk in formats whose bytes depend only
// on the pixels, so that a second run reproduces the committed files exactly.
#pragma once

#include <QImage>
#include <QString>

namespace imagegen {

// An uncompressed 24-bit BMP (BITMAPINFOHEADER, bottom-up rows padded to four
// bytes). Alpha is dropped: a transparent pixel is written as its colour,
// which the pictures keep at pure black.
bool WriteBmp24(const QString& path, const QImage& image);

// A PNG with an alpha channel.
bool WritePng(const QString& path, const QImage& image);

}  // namespace imagegen
