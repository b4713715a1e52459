#include "platform/core/Wnd.h"

#include "platform/core/WindowObject.h"

const CRuntimeClass CWnd::classCWnd = {"CWnd", nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

const CRuntimeClass* CWnd::GetRuntimeClass() const
{
    return &classCWnd;
}

bool CWnd::IsKindOf(const CRuntimeClass* runtimeClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

namespace platform::core {

namespace {

// The control a reflectable notification comes from, or null.
HWND NotificationSender(UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORMSGBOX: return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: return lParam != 0 ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default: return nullptr;
    }
}

}  // namespace

LRESULT RouteToObject(CWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A control gets the first look at the notifications it sent itself.
    HWND sender = NotificationSender(message, lParam);
    if (sender != nullptr && sender != window) {
        if (CWnd* child = CWnd::FromHandle(sender)) {
            LRESULT result = 0;
            if (child->OnChildNotify(message, wParam, lParam, &result))
                return result;
        }
    }
    const CWnd::CurrentMessage saved = object->m_current;
    object->m_current = {message, wParam, lParam};
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    object->m_current = saved;
    return result;
}

void ForgetObjectWindow(CWnd* object)
{
    object->m_hWnd = nullptr;
    object->m_superProc = nullptr;
}

}  // namespace platform::core

using platform::core::CallWindowProcW;
using platform::core::Lookup;

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (HWND__* w = Lookup(m_hWnd)) {
        // The derived parts of this object are gone: the window ends
        // without them.
        w->object = nullptr;
        ::DestroyWindow(m_hWnd);
    }
}

CWnd* CWnd::FromHandle(HWND window)
{
    HWND__* w = Lookup(window);
    return w != nullptr ? w->object : nullptr;
}

BOOL CWnd::SubclassWindow(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || m_hWnd != nullptr || w->object != nullptr)
        return FALSE;
    w->object = this;
    m_hWnd = window;
    m_superProc = w->proc;
    PreSubclassWindow();
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND window = m_hWnd;
    if (HWND__* w = Lookup(window))
        w->object = nullptr;
    m_hWnd = nullptr;
    m_superProc = nullptr;
    return window;
}

void CWnd::PreSubclassWindow()
{
}

BOOL CWnd::CreateEx(DWORD exStyle, const WCHAR* className, const WCHAR* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id)
{
    HWND window = ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                                    rect.bottom - rect.top, parent != nullptr ? parent->m_hWnd : nullptr, id,
                                    AfxGetInstanceHandle(), nullptr);
    return window != nullptr && SubclassWindow(window);
}

BOOL CWnd::DestroyWindow()
{
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Lookup(m_hWnd) == nullptr)
        return 0;
    return CallWindowProcW(m_superProc, m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT milliseconds, void* unused)
{
    return ::SetTimer(m_hWnd, id, milliseconds, unused);
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    return ::KillTimer(m_hWnd, id);
}

void CWnd::Invalidate(BOOL erase)
{
    ::InvalidateRect(m_hWnd, nullptr, erase);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL erase)
{
    ::InvalidateRect(m_hWnd, rect, erase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

void CWnd::GetClientRect(RECT* rect) const
{
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(RECT* rect) const
{
    ::GetWindowRect(m_hWnd, rect);
}

void CWnd::ClientToScreen(POINT* point) const
{
    ::ClientToScreen(m_hWnd, point);
}

void CWnd::ScreenToClient(POINT* point) const
{
    ::ScreenToClient(m_hWnd, point);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::ShowWindow(int command)
{
    return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    return ::EnableWindow(m_hWnd, enable);
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

HWND CWnd::GetParentHwnd() const
{
    return ::GetParent(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int id) const
{
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

HWND CWnd::GetDlgItemHwnd(int id) const
{
    return ::GetDlgItem(m_hWnd, id);
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    if (Lookup(m_hWnd) == nullptr)
        return FALSE;
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    // The flags say what else the change takes (a new frame, showing);
    // the place, size and stacking stay.
    if (flags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

void CWnd::SetWindowText(const CString& text)
{
    ::SetWindowTextW(m_hWnd, text.c_str());
}

void CWnd::GetWindowText(CString& text) const
{
    text = GetWindowText();
}

CString CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    CString text(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void CWnd::SetFont(HFONT font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

HWND CWnd::SetFocus()
{
    return ::SetFocus(m_hWnd);
}

HWND CWnd::SetCapture()
{
    return ::SetCapture(m_hWnd);
}

HDC CWnd::GetDC()
{
    return ::GetDC(m_hWnd);
}

int CWnd::ReleaseDC(HDC dc)
{
    return ::ReleaseDC(m_hWnd, dc);
}
