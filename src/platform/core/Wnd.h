// CWnd: the program's object for a window. A window attached to a CWnd
// sends its messages to the object's WindowProc; whatever the object does
// not handle goes on to the window's own procedure.
#pragma once

#include "platform/core/Window.h"

// Run-time class information: a class's name and its base.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

#define DECLARE_DYNAMIC(class_name)                                                                                    \
public:                                                                                                                \
    static const CRuntimeClass class##class_name;                                                                      \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_name)                                                                       \
    const CRuntimeClass class_name::class##class_name = {#class_name, &base_name::class##base_name};                   \
    const CRuntimeClass* class_name::GetRuntimeClass() const                                                           \
    {                                                                                                                  \
        return &class_name::class##class_name;                                                                         \
    }

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

class CWnd;

namespace platform::core {
LRESULT RouteToObject(CWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ForgetObjectWindow(CWnd* object);
}  // namespace platform::core

class CWnd {
public:
    static const CRuntimeClass classCWnd;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* runtimeClass) const;

    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object attached to a window, or null.
    static CWnd* FromHandle(HWND window);

    // Routes the window's messages to this object.
    BOOL SubclassWindow(HWND window);
    HWND UnsubclassWindow();
    // Called once a window has been attached to this object.
    virtual void PreSubclassWindow();

    BOOL CreateEx(DWORD exStyle, const WCHAR* className, const WCHAR* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    // The object's message handler. Overrides handle what they know and pass
    // the rest to their base class; CWnd's passes it to Default handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Hands the message to the window's own procedure.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default handling of the message being handled right now.
    LRESULT Default();

    // Notifications that a parent reflects back to the control that sent them
    // (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL). Return
    // TRUE to handle the message instead of the parent.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Thin wrappers over the window calls.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT milliseconds, void* unused = nullptr);
    BOOL KillTimer(UINT_PTR id);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void UpdateWindow();
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ClientToScreen(POINT* point) const;
    void ScreenToClient(POINT* point) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    CWnd* GetParent() const;
    HWND GetParentHwnd() const;
    CWnd* GetDlgItem(int id) const;
    HWND GetDlgItemHwnd(int id) const;
    int GetDlgCtrlID() const;
    DWORD GetStyle() const;
    // Takes the remove bits away and adds the add bits; FALSE when the style
    // stays as it was. Non-zero flags (SWP_FRAMECHANGED, SWP_SHOWWINDOW, ...)
    // then go to SetWindowPos, with the window kept in place.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    void SetWindowText(const CString& text);
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    void SetFont(HFONT font, BOOL redraw = TRUE);
    HWND SetFocus();
    HWND SetCapture();
    HDC GetDC();
    int ReleaseDC(HDC dc);

private:
    friend LRESULT platform::core::RouteToObject(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend void platform::core::ForgetObjectWindow(CWnd*);
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_current{};
    WNDPROC m_superProc = nullptr;
};
