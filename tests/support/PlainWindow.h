// A window of a plain class (DefWindowProc alone) for a test's own CWnd
// object: a parent that records what it hears, or a page to show.
#pragma once

#include "platform/core/Wnd.h"

// Creates the object's window, top-level, or as a child of parent.
inline bool CreatePlainWindow(CWnd& object, RECT place, CWnd* parent = nullptr, DWORD style = 0)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"TestPlain";
    RegisterClassW(&wc);
    return object.CreateEx(0, u"TestPlain", u"", style, place, parent, 0) != FALSE;
}
