// The Qt side of a window, for the few tests that drive real Qt input (key
// clicks into a line edit, a tap on a table's row) or compare what Qt shows
// with what the program asked for. Such a test links Qt itself; every other
// test stays with platform/Testing.h.
#pragma once

#include "platform/Types.h"

class QFont;
class QWidget;

namespace platform::testing {

// The widget that shows the window, or null for a destroyed window.
QWidget* WidgetOf(HWND window);

// The Qt font a font handle stands for. False for an invalid handle.
bool FontOf(HFONT font, QFont& out);

}  // namespace platform::testing
