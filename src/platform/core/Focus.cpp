// Keyboard focus and stylus capture.
#include "platform/core/Window.h"

#include "platform/core/WindowObject.h"

namespace {

HWND g_capture = nullptr;
HWND g_focus = nullptr;

}  // namespace

namespace platform::core {

void ForgetFocusAndCapture(HWND window)
{
    if (g_capture == window)
        g_capture = nullptr;
    if (g_focus == window)
        g_focus = nullptr;
}

}  // namespace platform::core

using namespace platform::core;

HWND SetFocus(HWND window)
{
    HWND previous = g_focus;
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return previous;
    if (previous != window) {
        if (Lookup(previous) != nullptr)
            SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
        g_focus = window;
        if (w->widget != nullptr)
            w->widget->setFocus();
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND GetFocus()
{
    return Lookup(g_focus) != nullptr ? g_focus : nullptr;
}

HWND SetCapture(HWND window)
{
    HWND previous = GetCapture();
    if (Lookup(window) != nullptr)
        g_capture = window;
    return previous;
}

BOOL ReleaseCapture()
{
    g_capture = nullptr;
    return TRUE;
}

HWND GetCapture()
{
    return Lookup(g_capture) != nullptr ? g_capture : nullptr;
}
