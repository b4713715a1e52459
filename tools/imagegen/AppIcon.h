// The application icon for desktop menus: the activity icon's antenna mast
// with its waves on a rounded tile. One set of shapes, in units of a 16-unit
// square, gives both the SVG and the PNGs, so every size shows the same icon.
#pragma once

#include <QByteArray>
#include <QImage>

#include <vector>

namespace imagegen {

// The pixel sizes the icon theme gets as PNGs.
const std::vector<int>& AppIconSizes();

// The icon at size x size pixels, anti-aliased (Format_ARGB32).
QImage AppIconImage(int size);

// The icon as an SVG document.
QByteArray AppIconSvg();

}  // namespace imagegen
