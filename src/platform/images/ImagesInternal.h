// Icons as the rest of the platform sees them (a static icon control shows
// one). Only src/platform includes this header.
#pragma once

#include "platform/Types.h"

#include <QImage>

namespace platform::images {

// The icon's picture (Format_ARGB32) at width x height, or at the icon's own
// size for 0 x 0; a null image for an invalid icon or a negative size.
QImage IconImage(HICON icon, int width = 0, int height = 0);

}  // namespace platform::images
