// A window's relations and attributes: parent, dialog items and groups,
// style and id, text and class name.
#include "platform/core/Window.h"

#include "platform/core/WindowObject.h"

#include <algorithm>

using namespace platform::core;

HWND GetParent(HWND window)
{
    HWND__* w = Lookup(window);
    return w != nullptr ? w->parent : nullptr;
}

HWND GetDlgItem(HWND dialog, int id)
{
    HWND__* w = Lookup(dialog);
    if (w == nullptr)
        return nullptr;
    for (HWND child : w->children)
        if (child->id == id)
            return child;
    return nullptr;
}

int GetDlgCtrlID(HWND window)
{
    HWND__* w = Lookup(window);
    return w != nullptr ? w->id : 0;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    HWND__* d = Lookup(dialog);
    if (d == nullptr)
        return nullptr;
    const std::vector<HWND>& items = d->children;
    const auto at = std::find(items.begin(), items.end(), control);
    if (at == items.end())
        return nullptr;
    // The group: back to the item that starts it, forward to the next start.
    std::size_t first = static_cast<std::size_t>(at - items.begin());
    while (first > 0 && (items[first]->style & WS_GROUP) == 0)
        --first;
    std::size_t end = static_cast<std::size_t>(at - items.begin()) + 1;
    while (end < items.size() && (items[end]->style & WS_GROUP) == 0)
        ++end;
    const std::size_t count = end - first;
    const std::size_t start = static_cast<std::size_t>(at - items.begin()) - first;
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t offset = previous ? (start + count - step) % count : (start + step) % count;
        HWND__* item = items[first + offset];
        if ((item->style & WS_VISIBLE) != 0 && (item->style & WS_DISABLED) == 0)
            return item;
    }
    return control;
}

LONG GetWindowLongW(HWND window, int index)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_ID: return w->id;
    default: return 0;
    }
}

LONG SetWindowLongW(HWND window, int index, LONG value)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    const LONG previous = GetWindowLongW(window, index);
    switch (index) {
    case GWL_STYLE: {
        const bool wasVisible = (w->style & WS_VISIBLE) != 0;
        w->style = static_cast<DWORD>(value);
        const bool visible = (w->style & WS_VISIBLE) != 0;
        if (wasVisible != visible && w->widget != nullptr)
            w->widget->setVisible(visible);
        break;
    }
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    case GWL_ID: w->id = value; break;
    default: return 0;
    }
    return previous;
}

BOOL SetWindowTextW(HWND window, const WCHAR* text)
{
    if (Lookup(window) == nullptr)
        return FALSE;
    return static_cast<BOOL>(SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextW(HWND window, WCHAR* buffer, int maxChars)
{
    if (maxChars <= 0)
        return 0;
    return static_cast<int>(
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(maxChars), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND window)
{
    return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
}
