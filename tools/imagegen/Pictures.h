// The program's pictures, drawn pixel by pixel. Wherever the background must
// show through a pixel is pure black with alpha 0: the bitmaps are drawn with
// black as the transparent colour, the icon with its alpha. Dark lines inside
// the pictures are near-black, never pure black.
#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace imagegen {

struct Picture {
    QString file;  // path below res/, such as "bitmaps/150.bmp"
    QImage image;  // Format_ARGB32
};

std::vector<Picture> AllPictures();

}  // namespace imagegen
