// The platform object behind an HWND. Internal to src/platform.
#pragma once

#include "platform/Testing.h"
#include "platform/core/Messages.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

class QTimer;
class CWnd;

namespace platform::core {

class EditState;
class ComboState;
class ListState;

// What a button keeps: its check state (BST_ values) and whether it shows
// pressed while the stylus holds it.
struct ButtonState {
    WPARAM check = 0;
    bool pressed = false;
};

// What an icon static keeps: the icon its window text names.
struct StaticIconState {
    HICON icon = nullptr;
};

// The built-in controls' own state, one alternative per kind of control. The
// edit, combo box and list view states are owned by their window and deleted
// on WM_DESTROY.
using ControlState = std::variant<std::monostate, ButtonState, StaticIconState, EditState*, ComboState*, ListState*>;

}  // namespace platform::core

struct HWND__ {
    std::u16string className;
    WNDPROC proc = nullptr;  // the window procedure, the class's
    CWnd* object = nullptr;  // the program object the window's messages go to, if attached
    UINT classStyle = 0;
    HBRUSH classBackground = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    HWND parent = nullptr;
    std::vector<HWND> children;  // in creation order, which is also the dialog's tab order
    std::u16string text;
    HFONT font = nullptr;
    RECT rect{};               // position in the parent's client area (screen for top-level windows)
    QPointer<QWidget> widget;  // the Qt widget that shows the window
    QImage image;              // the window's off-screen image, client-sized
    bool invalid = false;      // needs WM_PAINT
    bool eraseNeeded = false;  // the next BeginPaint sends WM_ERASEBKGND
    bool destroying = false;
    std::map<UINT_PTR, std::unique_ptr<QTimer>> timers;
    platform::core::ControlState control;  // the built-in control's own state
};

namespace platform::core {

// The live window behind a handle, or null for a destroyed or unknown one.
HWND__* Lookup(HWND window);

// A window's text from a C string that may be null.
inline std::u16string TextOrEmpty(const WCHAR* text)
{
    return text != nullptr ? std::u16string(text) : std::u16string();
}

// A window being destroyed no longer holds the focus or the capture.
void ForgetFocusAndCapture(HWND window);

// The state of the given kind the window's control keeps, or null when the
// window is gone or keeps none of that kind.
template <class State> State* ControlStateOf(HWND window)
{
    HWND__* w = Lookup(window);
    return w != nullptr ? std::get_if<State>(&w->control) : nullptr;
}

// The state a control owns through a pointer (an edit's, a combo box's, a
// list view's), or null.
template <class State> State* OwnedStateOf(HWND window)
{
    State** state = ControlStateOf<State*>(window);
    return state != nullptr ? *state : nullptr;
}

// Makes the window's image match its client size, keeping what it can.
void ResizeImage(HWND window);

// Runs a window procedure; a null one stands for DefWindowProcW.
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Delivers a message to the window: to its attached program object if there
// is one (after offering reflectable notifications to the sending child),
// else to its window procedure.
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The procedures of the built-in classes.
LRESULT StaticWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ButtonWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT DialogWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ListViewWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditWindowProc(HWND, UINT, WPARAM, LPARAM);

// HoldTimers, TimerPeriod, SetTickCountOverride and SetScreenSize, defined
// with the windows, are declared for tests in platform/Testing.h.

// Handheld screen and work area: the screen in portrait, with a task bar
// at the top and a menu bar at the bottom.
constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kBarHeight = 26;

}  // namespace platform::core
