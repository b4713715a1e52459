// Messages and timers: sending, posting, dispatching to a window's object or
// procedure, the default procedure, WM_TIMER and the tick count.
#include "platform/core/Window.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/WindowObject.h"
#include "platform/core/Wnd.h"
#include "platform/gdi/Gdi.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace platform::core {

namespace {

bool g_holdTimers = false;

}  // namespace

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    if (w->object != nullptr)
        return RouteToObject(w->object, window, message, wParam, lParam);
    return CallWindowProcW(w->proc, window, message, wParam, lParam);
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (procedure == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return procedure(window, message, wParam, lParam);
}

}  // namespace platform::core

using namespace platform::core;

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Dispatch(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Lookup(window) == nullptr)
        return FALSE;
    QueueMessage(MSG{window, message, wParam, lParam, 0, {}, 0});
    return TRUE;
}

namespace {

HBRUSH ClassBrush(HBRUSH brush)
{
    // A class background may name a system colour as its index plus one.
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    const std::uintptr_t index = value & ~static_cast<std::uintptr_t>(0x40000000);
    if (value != 0 && index <= 31)
        return GetSysColorBrush(static_cast<int>(index - 1));
    return brush;
}

}  // namespace

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    switch (message) {
    case WM_ERASEBKGND: {
        HBRUSH brush = ClassBrush(w->classBackground);
        if (brush == nullptr || brush == GetStockObject(NULL_BRUSH))
            return 0;
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETTEXT:
        w->text = TextOrEmpty(reinterpret_cast<const WCHAR*>(lParam));
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<WCHAR*>(lParam);
        if (buffer == nullptr || wParam == 0)
            return 0;
        const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
        std::copy_n(w->text.data(), n, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(static_cast<std::uintptr_t>(lParam)) != 0)
            InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w->font);
    case WM_NCHITTEST: return HTCLIENT;
    case WM_NCCALCSIZE: return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR: {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    default: return 0;
    }
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, void*)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    auto& slot = w->timers[id];
    if (!slot) {
        slot = std::make_unique<QTimer>();
        QObject::connect(slot.get(), &QTimer::timeout, [window, id] {
            if (Lookup(window) != nullptr)
                SendMessageW(window, WM_TIMER, id, 0);
        });
    }
    slot->setInterval(static_cast<int>(std::max<UINT>(1, milliseconds)));
    slot->setProperty("held", g_holdTimers);
    if (!g_holdTimers)
        slot->start();
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    auto it = w->timers.find(id);
    if (it == w->timers.end() || (!it->second->isActive() && !it->second->property("held").toBool()))
        return FALSE;
    // Stopped, not deleted: the timer may be the one whose tick is running.
    it->second->stop();
    it->second->setProperty("held", false);
    return TRUE;
}

namespace platform::core {

void HoldTimers(bool hold)
{
    g_holdTimers = hold;
}

UINT TimerPeriod(HWND window, UINT_PTR id)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    auto it = w->timers.find(id);
    if (it == w->timers.end() || (!it->second->isActive() && !it->second->property("held").toBool()))
        return 0;
    return static_cast<UINT>(it->second->interval());
}

namespace {

std::function<DWORD()>& TickCountOverride()
{
    static std::function<DWORD()> tick;
    return tick;
}

}  // namespace

void SetTickCountOverride(std::function<DWORD()> tick)
{
    TickCountOverride() = std::move(tick);
}

}  // namespace platform::core

DWORD GetTickCount()
{
    if (const auto& tick = platform::core::TickCountOverride())
        return tick();
    static QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return static_cast<DWORD>(clock.elapsed());
}
