// SetWindowPos: moving, sizing, stacking and showing a window in one call.
#include "platform/core/Window.h"

#include "platform/core/WindowObject.h"

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    HWND__* w = platform::core::Lookup(window);
    if (w == nullptr)
        return FALSE;
    const bool move = (flags & SWP_NOMOVE) == 0;
    const bool size = (flags & SWP_NOSIZE) == 0;
    if (move || size) {
        const int left = move ? x : w->rect.left;
        const int top = move ? y : w->rect.top;
        const int newWidth = size ? width : w->rect.right - w->rect.left;
        const int newHeight = size ? height : w->rect.bottom - w->rect.top;
        MoveWindow(window, left, top, newWidth, newHeight, FALSE);
    }
    // Only the top of the sibling order is offered: it is all that is used.
    if ((flags & SWP_NOZORDER) == 0 && insertAfter == HWND_TOP && w->widget != nullptr)
        w->widget->raise();
    if (flags & SWP_FRAMECHANGED) {
        // The frame is worked out anew from the style; the window is drawn
        // again in it.
        RECT rect = w->rect;
        SendMessageW(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rect));
        if ((flags & SWP_NOREDRAW) == 0)
            InvalidateRect(window, nullptr, TRUE);
    }
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(window, SW_HIDE);
    else if (flags & SWP_SHOWWINDOW)
        ShowWindow(window, SW_SHOW);
    return TRUE;
}
