#include "platform/core/Window.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/MessageWidget.h"
#include "platform/core/PixelZoom.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cwctype>
#include <map>
#include <unordered_set>

namespace platform::core {

LRESULT RouteToObject(CWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ForgetObjectWindow(CWnd* object);

namespace {

struct RegisteredClass {
    WNDCLASSW info{};
    std::u16string name;
};

std::unordered_set<HWND__*>& LiveWindows()
{
    static std::unordered_set<HWND__*> windows;
    return windows;
}

std::u16string Folded(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& c : out)
        if (c < 0x80)
            c = static_cast<char16_t>(std::towlower(c));
    return out;
}

std::map<std::u16string, RegisteredClass>& Classes()
{
    static std::map<std::u16string, RegisteredClass> classes;
    static bool builtIns = false;
    if (!builtIns) {
        builtIns = true;
        auto add = [](const char16_t* name, WNDPROC proc, UINT style) {
            RegisteredClass c;
            c.name = name;
            c.info.lpfnWndProc = proc;
            c.info.style = style;
            c.info.lpszClassName = nullptr;
            classes.emplace(Folded(name), c);
        };
        add(u"static", StaticWindowProc, 0);
        add(u"button", ButtonWindowProc, CS_DBLCLKS);
        add(u"#32770", DialogWindowProc, 0);
        add(u"SysListView32", ListViewWindowProc, CS_DBLCLKS);
        add(u"combobox", ComboBoxWindowProc, CS_DBLCLKS);
        add(u"edit", EditWindowProc, 0);
    }
    return classes;
}

HWND g_capture = nullptr;
HWND g_focus = nullptr;
bool g_holdTimers = false;

std::u16string Text(const WCHAR* text)
{
    return text != nullptr ? std::u16string(text) : std::u16string();
}

}  // namespace

HWND__* Lookup(HWND window)
{
    if (window == nullptr)
        return nullptr;
    auto& live = LiveWindows();
    auto it = live.find(window);
    if (it == live.end() || (*it)->destroying)
        return nullptr;
    return *it;
}

void ResizeImage(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return;
    const QSize size(std::max<LONG>(0, w->rect.right - w->rect.left), std::max<LONG>(0, w->rect.bottom - w->rect.top));
    if (w->image.size() == size)
        return;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!w->image.isNull()) {
        QPainter painter(&image);
        painter.drawImage(0, 0, w->image);
    }
    w->image = image;
    w->invalid = true;
    w->eraseNeeded = true;
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    if (w->object != nullptr)
        return RouteToObject(w->object, window, message, wParam, lParam);
    return CallWindowProcW(w->proc, window, message, wParam, lParam);
}

}  // namespace platform::core

using namespace platform::core;

BOOL RegisterClassW(const WNDCLASSW* windowClass)
{
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr)
        return FALSE;
    auto& classes = Classes();
    const std::u16string key = Folded(windowClass->lpszClassName);
    if (classes.count(key) != 0)
        return FALSE;  // as Win32: a class is registered once
    RegisteredClass c;
    c.info = *windowClass;
    c.name = windowClass->lpszClassName;
    c.info.lpszClassName = nullptr;
    classes.emplace(key, c);
    return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, const WCHAR* className, WNDCLASSW* windowClass)
{
    if (className == nullptr)
        return FALSE;
    auto& classes = Classes();
    auto it = classes.find(Folded(className));
    if (it == classes.end())
        return FALSE;
    if (windowClass != nullptr) {
        *windowClass = it->second.info;
        windowClass->lpszClassName = it->second.name.c_str();
    }
    return TRUE;
}

HWND CreateWindowExW(DWORD exStyle, const WCHAR* className, const WCHAR* windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, UINT_PTR id, HINSTANCE, void*)
{
    if (className == nullptr)
        return nullptr;
    auto& classes = Classes();
    auto it = classes.find(Folded(className));
    if (it == classes.end())
        return nullptr;
    HWND__* parentObject = Lookup(parent);
    if (parent != nullptr && parentObject == nullptr)
        return nullptr;

    auto* w = new HWND__;
    w->className = it->second.name;
    w->proc = it->second.info.lpfnWndProc != nullptr ? it->second.info.lpfnWndProc : DefWindowProcW;
    w->classStyle = it->second.info.style;
    w->classBackground = it->second.info.hbrBackground;
    w->style = style;
    w->exStyle = exStyle;
    w->id = static_cast<int>(id);
    w->parent = parent;
    w->text = Text(windowName);
    w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    LiveWindows().insert(w);
    if (parentObject != nullptr)
        parentObject->children.push_back(w);

    auto* widget = new MessageWidget(w, parentObject != nullptr ? parentObject->widget.data() : nullptr);
    w->widget = widget;
    if (parentObject != nullptr)
        widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
    else {
        widget->resize(std::max(1, width), std::max(1, height));
        widget->setWindowTitle(QString::fromStdU16String(w->text));
        ShowPixelsAsBlocks(widget);
    }
    ResizeImage(w);

    if (Dispatch(w, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(w);
        return nullptr;
    }
    // A child made without WS_VISIBLE stays hidden when its parent shows.
    if (style & WS_VISIBLE)
        widget->show();
    else if (parentObject != nullptr)
        widget->hide();
    return w;
}

BOOL DestroyWindow(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    Dispatch(window, WM_DESTROY, 0, 0);
    // Children go after their parent has heard of its end, as on Win32.
    const std::vector<HWND> children = w->children;
    for (HWND child : children)
        DestroyWindow(child);
    w->destroying = true;
    for (auto& [id, timer] : w->timers)
        timer->stop();
    if (g_capture == window)
        g_capture = nullptr;
    if (g_focus == window)
        g_focus = nullptr;
    if (HWND__* p = Lookup(w->parent)) {
        auto& siblings = p->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    if (w->object != nullptr)
        ForgetObjectWindow(w->object);
    if (w->widget != nullptr) {
        w->widget->hide();
        w->widget->setParent(nullptr);
        w->widget->deleteLater();
    }
    LiveWindows().erase(w);
    // Timers may be inside their own timeout call: let Qt delete them later.
    for (auto& [id, timer] : w->timers)
        timer.release()->deleteLater();
    delete w;
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    return Lookup(window) != nullptr ? TRUE : FALSE;
}

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

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (procedure == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return procedure(window, message, wParam, lParam);
}

WNDPROC SetWindowProcW(HWND window, WNDPROC procedure)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || procedure == nullptr)
        return nullptr;
    WNDPROC previous = w->proc;
    w->proc = procedure;
    return previous;
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
        w->text = Text(reinterpret_cast<const WCHAR*>(lParam));
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

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    w->invalid = true;
    if (erase)
        w->eraseNeeded = true;
    if (w->widget != nullptr)
        w->widget->update();
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    if (w->invalid)
        SendMessageW(window, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || paint == nullptr)
        return nullptr;
    ResizeImage(window);
    w->invalid = false;
    paint->hdc = platform::gdi::CreateImageDC(&w->image);
    GetClientRect(window, &paint->rcPaint);
    paint->fErase = FALSE;
    if (w->eraseNeeded) {
        w->eraseNeeded = false;
        paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    }
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (paint == nullptr)
        return FALSE;
    platform::gdi::DestroyImageDC(paint->hdc);
    if (HWND__* w = Lookup(window); w != nullptr && w->widget != nullptr)
        w->widget->update();
    return TRUE;
}

HDC GetDC(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return nullptr;
    ResizeImage(window);
    return platform::gdi::CreateImageDC(&w->image);
}

int ReleaseDC(HWND window, HDC dc)
{
    if (dc == nullptr)
        return 0;
    platform::gdi::DestroyImageDC(dc);
    if (HWND__* w = Lookup(window); w != nullptr && w->widget != nullptr)
        w->widget->update();
    return 1;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point)
{
    if (Lookup(window) == nullptr || point == nullptr)
        return FALSE;
    for (HWND__* w = Lookup(window); w != nullptr; w = Lookup(w->parent)) {
        point->x += w->rect.left;
        point->y += w->rect.top;
    }
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    POINT origin{0, 0};
    if (!ClientToScreen(window, &origin) || point == nullptr)
        return FALSE;
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    *rect =
        RECT{origin.x, origin.y, origin.x + (w->rect.right - w->rect.left), origin.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    width = std::max(0, width);
    height = std::max(0, height);
    w->rect = RECT{x, y, x + width, y + height};
    if (w->widget != nullptr) {
        if (w->parent != nullptr)
            w->widget->setGeometry(x, y, width, height);
        else
            w->widget->resize(std::max(1, width), std::max(1, height));
    }
    ResizeImage(window);
    SendMessageW(window, WM_SIZE, 0, MAKELPARAM(width, height));
    if (repaint) {
        InvalidateRect(window, nullptr, TRUE);
        if (HWND__* p = Lookup(w->parent))
            InvalidateRect(p, nullptr, TRUE);
    }
    return TRUE;
}

namespace {

void InvalidateVisibleTree(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || (w->style & WS_VISIBLE) == 0)
        return;
    InvalidateRect(window, nullptr, TRUE);
    const std::vector<HWND> children = w->children;
    for (HWND child : children)
        InvalidateVisibleTree(child);
}

}  // namespace

BOOL ShowWindow(HWND window, int command)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE)
        w->style &= ~WS_VISIBLE;
    else
        w->style |= WS_VISIBLE;
    if (w->widget != nullptr)
        w->widget->setVisible(command != SW_HIDE);
    if (wasVisible != ((w->style & WS_VISIBLE) != 0)) {
        SendMessageW(window, WM_SHOWWINDOW, command != SW_HIDE, 0);
        // What a hidden window shows is out of date: like a window uncovered
        // on the handheld, it is painted afresh, children and all.
        if (!wasVisible)
            InvalidateVisibleTree(window);
    }
    return wasVisible;
}

BOOL IsWindowVisible(HWND window)
{
    for (HWND__* w = Lookup(window); w != nullptr; w = Lookup(w->parent))
        if ((w->style & WS_VISIBLE) == 0)
            return FALSE;
    return Lookup(window) != nullptr ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    if (w->widget != nullptr)
        w->widget->setEnabled(enable != 0);
    SendMessageW(window, WM_ENABLE, enable, 0);
    return wasDisabled;
}

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

int GetClassNameW(HWND window, WCHAR* buffer, int maxChars)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || buffer == nullptr || maxChars <= 0)
        return 0;
    const std::size_t n = std::min<std::size_t>(w->className.size(), static_cast<std::size_t>(maxChars - 1));
    std::copy_n(w->className.data(), n, buffer);
    buffer[n] = 0;
    return static_cast<int>(n);
}

HWND FindWindowW(const WCHAR* className, const WCHAR* windowName)
{
    for (HWND__* w : LiveWindows()) {
        if (w->destroying || w->parent != nullptr)
            continue;
        if (className != nullptr && Folded(w->className) != Folded(className))
            continue;
        if (windowName != nullptr && w->text != windowName)
            continue;
        return w;
    }
    return nullptr;
}

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

namespace {

SIZE g_screen{kScreenWidth, kScreenHeight};

}  // namespace

namespace platform::core {

void SetScreenSize(int width, int height)
{
    g_screen = width > 0 && height > 0 ? SIZE{width, height} : SIZE{kScreenWidth, kScreenHeight};
}

}  // namespace platform::core

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return g_screen.cx;
    case SM_CYSCREEN: return g_screen.cy;
    default: return 0;
    }
}

BOOL SystemParametersInfoW(UINT action, UINT, void* value, UINT)
{
    if (action != SPI_GETWORKAREA || value == nullptr)
        return FALSE;
    *static_cast<RECT*>(value) = RECT{0, kBarHeight, g_screen.cx, g_screen.cy - kBarHeight};
    return TRUE;
}

HINSTANCE AfxGetInstanceHandle()
{
    static int module = 0;
    return reinterpret_cast<HINSTANCE>(&module);
}
