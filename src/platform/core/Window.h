// Win32-shaped window services: creation, messages, timers, geometry, text,
// focus and capture. Every window is a platform object behind an HWND.
#pragma once

#include "platform/core/Messages.h"

// Window classes
BOOL RegisterClassW(const WNDCLASSW* windowClass);
BOOL GetClassInfoW(HINSTANCE instance, const WCHAR* className, WNDCLASSW* windowClass);

HWND CreateWindowExW(DWORD exStyle, const WCHAR* className, const WCHAR* windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, UINT_PTR id, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

// Messages. SendMessage runs the window's procedure at once; PostMessage
// queues the message for the running message loop.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Timers deliver WM_TIMER with the timer's id in wParam. Setting an existing
// id restarts it with the new period.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT milliseconds, void* unused);
BOOL KillTimer(HWND window, UINT_PTR id);
DWORD GetTickCount();

// Painting. A window paints into its own off-screen image; the screen shows
// that image.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// Geometry. Client coordinates start at the window's top-left corner;
// screen coordinates at the handheld screen's.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
// A window that becomes visible is invalidated, with its visible children,
// so that it gets painted (and its paint can bring it up to date).
BOOL ShowWindow(HWND window, int command);
// Moves, sizes, raises to the top of its siblings (HWND_TOP) and shows or
// hides a window in one call, as the SWP_ flags say.
inline const HWND HWND_TOP = nullptr;
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
// The window's frame follows its style again (WM_NCCALCSIZE) and is redrawn.
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL IsWindowVisible(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);

// Relations and attributes
HWND GetParent(HWND window);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
// The dialog group walk. A control with WS_GROUP starts a group, which runs
// in creation order up to the next such control. Returns the next (or, with
// previous, the preceding) visible and enabled control of the group of
// `control`, wrapping around at the group's ends; `control` itself when it
// is alone in its group; null when `control` is not a child of `dialog`.
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
LONG GetWindowLongW(HWND window, int index);
LONG SetWindowLongW(HWND window, int index, LONG value);
BOOL SetWindowTextW(HWND window, const WCHAR* text);
int GetWindowTextW(HWND window, WCHAR* buffer, int maxChars);
int GetWindowTextLengthW(HWND window);

// Focus and stylus capture
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

// The handheld screen: 240 x 320 pixels, its work area without the two
// 26-pixel bars.
int GetSystemMetrics(int index);
BOOL SystemParametersInfoW(UINT action, UINT param, void* value, UINT winIni);

// The module's instance handle.
HINSTANCE AfxGetInstanceHandle();
