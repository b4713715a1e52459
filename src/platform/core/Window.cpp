// Window classes and the life of a window: registration, creation, lookup
// and destruction.
#include "platform/core/Window.h"

#include "platform/core/MessageWidget.h"
#include "platform/core/PixelZoom.h"
#include "platform/core/WindowObject.h"
#include "platform/core/Wnd.h"

#include <QTimer>
#include <algorithm>
#include <cwctype>
#include <map>
#include <unordered_set>

namespace platform::core {

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
    w->text = TextOrEmpty(windowName);
    w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    LiveWindows().insert(w);
    if (parentObject != nullptr)
        parentObject->children.push_back(w);

    auto* widget = new MessageWidget(w, parentObject != nullptr ? parentObject->widget.data() : nullptr);
    w->widget = widget;
    if (parentObject != nullptr)
        widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
    else {
        // A top-level window keeps the size the program gives it: the
        // program lays out its content for that size only, and a window
        // stretched by the desktop would show blank space.
        widget->setFixedSize(std::max(1, width), std::max(1, height));
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
    ForgetFocusAndCapture(window);
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

HINSTANCE AfxGetInstanceHandle()
{
    static int module = 0;
    return reinterpret_cast<HINSTANCE>(&module);
}
