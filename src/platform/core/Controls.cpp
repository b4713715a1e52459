// The built-in "static" and "button" window classes, drawn through the
// drawing layer like every other window.
#include "platform/core/Window.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"
#include "platform/images/Images.h"

namespace platform::core {

namespace {

// The check states BM_SETCHECK takes: unchecked, checked, indeterminate.
constexpr WPARAM kCheckMask = 0x3;

// The button's state, made on first use.
ButtonState& ButtonOf(HWND__* w)
{
    if (auto* state = std::get_if<ButtonState>(&w->control))
        return *state;
    return w->control.emplace<ButtonState>();
}

// The icon an icon static shows, made on first use.
HICON& StaticIconOf(HWND__* w)
{
    if (auto* state = std::get_if<StaticIconState>(&w->control))
        return state->icon;
    return w->control.emplace<StaticIconState>().icon;
}

std::u16string WindowText(HWND window)
{
    HWND__* w = Lookup(window);
    return w != nullptr ? w->text : std::u16string();
}

HBRUSH AskParentForColours(HWND window, UINT message, HDC dc)
{
    HWND parent = GetParent(window);
    if (parent == nullptr)
        return nullptr;
    return reinterpret_cast<HBRUSH>(
        SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
}

bool IsIconStatic(const HWND__* w)
{
    return (w->style & 0x1F) == SS_ICON;
}

// An icon static keeps the icon resource its window text names ("#147"),
// loaded when the text is set and released with the window.
void LoadStaticIcon(HWND__* w)
{
    HICON& icon = StaticIconOf(w);
    if (icon != nullptr)
        DestroyIcon(icon);
    const std::u16string name = w->text;
    icon = static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

// One paint of a control: BeginPaint, the drawing over the client area,
// EndPaint. A window without a paint context draws nothing.
template <typename Draw> void PaintClient(HWND window, Draw&& draw)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr)
        return;
    RECT client;
    GetClientRect(window, &client);
    draw(dc, client);
    EndPaint(window, &paint);
}

// Draws with the control's font selected (the context's own without one),
// then puts back the font the context had.
template <typename Draw> void DrawInFont(HDC dc, HFONT font, Draw&& draw)
{
    HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;
    draw();
    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
}

void PaintStatic(HWND window)
{
    HWND__* w = Lookup(window);
    PaintClient(window, [window, w](HDC dc, RECT client) {
        HBRUSH brush = AskParentForColours(window, WM_CTLCOLORSTATIC, dc);
        FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
        if (IsIconStatic(w)) {
            // The icon at the default icon size, centred over the background.
            if (HICON icon = StaticIconOf(w)) {
                const int x = (client.right - client.left - kDefaultIconSize) / 2;
                const int y = (client.bottom - client.top - kDefaultIconSize) / 2;
                DrawIconEx(dc, x, y, icon, kDefaultIconSize, kDefaultIconSize, 0, nullptr, DI_NORMAL);
            }
            return;
        }
        UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
        if ((w->style & 0x1F) == SS_CENTER)
            format |= DT_CENTER;
        else if ((w->style & 0x1F) == SS_RIGHT)
            format |= DT_RIGHT;
        const std::u16string text = w->text;
        DrawInFont(dc, w->font, [&] { DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format); });
    });
}

// An owner-drawn button leaves its painting to its parent: the parent gets
// the request with the button's paint context and passes it back to the
// button's object.
void PaintOwnerDrawn(HWND window)
{
    HWND__* w = Lookup(window);
    PaintClient(window, [window, w](HDC dc, RECT client) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(w->id);
        item.itemAction = ODA_DRAWENTIRE;
        if (ButtonOf(w).pressed)
            item.itemState |= ODS_SELECTED;
        if (ButtonOf(w).check != 0)
            item.itemState |= ODS_CHECKED;
        if ((w->style & WS_DISABLED) != 0)
            item.itemState |= ODS_DISABLED;
        if (GetFocus() == window)
            item.itemState |= ODS_FOCUS;
        item.hwndItem = window;
        item.hDC = dc;
        item.rcItem = client;
        if (HWND parent = GetParent(window))
            SendMessageW(parent, WM_DRAWITEM, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(&item));
    });
}

// Checks an automatic radio button and clears the others of its group.
void CheckRadioInGroup(HWND window)
{
    SendMessageW(window, BM_SETCHECK, BST_CHECKED, 0);
    HWND parent = GetParent(window);
    for (HWND item = GetNextDlgGroupItem(parent, window, FALSE); item != nullptr && item != window;
         item = GetNextDlgGroupItem(parent, item, FALSE))
        SendMessageW(item, BM_SETCHECK, BST_UNCHECKED, 0);
}

// A check box or radio button: the parent's background, the mark at the
// left and the label beside it.
void DrawCheckButton(HWND window, HDC dc, RECT client, bool checked, const std::u16string& text)
{
    HBRUSH brush = AskParentForColours(window, WM_CTLCOLORSTATIC, dc);
    FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    const int box = 13;
    const int top = (client.bottom - box) / 2;
    RECT mark{0, top, box, top + box};
    DrawFrameControl(dc, &mark, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
    RECT label{box + 4, 0, client.right, client.bottom};
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// A push button: its frame, pushed in while pressed, and the label centred
// (a pixel down and right while pressed).
void DrawPushButton(HWND window, HDC dc, RECT client, bool pressed, const std::u16string& text)
{
    AskParentForColours(window, WM_CTLCOLORBTN, dc);
    DrawFrameControl(dc, &client, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    RECT label = client;
    if (pressed)
        label = RECT{label.left + 1, label.top + 1, label.right + 1, label.bottom + 1};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintButton(HWND window)
{
    HWND__* w = Lookup(window);
    if ((w->style & BS_TYPEMASK) == BS_OWNERDRAW) {
        PaintOwnerDrawn(window);
        return;
    }
    PaintClient(window, [window, w](HDC dc, RECT client) {
        const DWORD kind = w->style & BS_TYPEMASK;
        const bool pressed = ButtonOf(w).pressed;
        const bool checked = ButtonOf(w).check != 0;
        const std::u16string text = WindowText(window);
        DrawInFont(dc, w->font, [&] {
            if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON)
                DrawCheckButton(window, dc, client, checked, text);
            else
                DrawPushButton(window, dc, client, pressed, text);
        });
    });
}

bool Inside(HWND window, LPARAM lParam)
{
    RECT client;
    GetClientRect(window, &client);
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

void SetPressed(HWND__* w, bool pressed)
{
    ButtonState& state = ButtonOf(w);
    if (state.pressed != pressed) {
        state.pressed = pressed;
        InvalidateRect(w, nullptr, TRUE);
    }
}

}  // namespace

LRESULT StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    switch (message) {
    case WM_PAINT: PaintStatic(window); return 0;
    case WM_NCHITTEST:
        // A static that does not ask for notifications is not there for the
        // stylus: the tap belongs to the window beneath.
        return w != nullptr && (w->style & SS_NOTIFY) != 0 ? HTCLIENT : HTTRANSPARENT;
    case WM_CREATE:
        if (w != nullptr && IsIconStatic(w))
            LoadStaticIcon(w);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (w != nullptr && IsIconStatic(w))
            LoadStaticIcon(w);
        return result;
    }
    case WM_DESTROY:
        if (w != nullptr && IsIconStatic(w)) {
            if (HICON icon = StaticIconOf(w))
                DestroyIcon(icon);
            w->control = std::monostate{};
        }
        return DefWindowProcW(window, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT ButtonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return 0;
    switch (message) {
    case WM_PAINT: PaintButton(window); return 0;
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
        // A disabled button takes no taps, even ones sent to it directly.
        if ((w->style & WS_DISABLED) != 0)
            return 0;
        // An owner-drawn button's object sees the second tap of a double
        // tap as a press of its own, so a quick toggle twice is two toggles.
        if (message == WM_LBUTTONDBLCLK && (w->style & BS_TYPEMASK) == BS_OWNERDRAW)
            return SendMessageW(window, WM_LBUTTONDOWN, wParam, lParam);
        SetCapture(window);
        SetPressed(w, true);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == window)
            SetPressed(w, Inside(window, lParam));
        return 0;
    case WM_LBUTTONUP: {
        const bool captured = GetCapture() == window;
        const bool click = captured && Inside(window, lParam);
        if (captured)
            ReleaseCapture();
        SetPressed(w, false);
        if (click) {
            if ((w->style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
                ButtonOf(w).check ^= 1;
            else if ((w->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                CheckRadioInGroup(window);
            SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
        }
        return 0;
    }
    case BM_GETCHECK: return static_cast<LRESULT>(ButtonOf(w).check);
    case BM_SETCHECK:
        ButtonOf(w).check = wParam & kCheckMask;
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::core
