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
#include <vector>

class QTimer;
class CWnd;

struct HWND__ {
    std::u16string className;
    WNDPROC proc = nullptr;  // the window procedure (the class's, or a subclass's)
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
    std::intptr_t userData = 0;  // for the built-in controls' own state
};

namespace platform::core {

// The live window behind a handle, or null for a destroyed or unknown one.
HWND__* Lookup(HWND window);

// Makes the window's image match its client size, keeping what it can.
void ResizeImage(HWND window);

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
