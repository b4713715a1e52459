#include "controls/CustomButton.h"

#include "controls/DrawTransparentBitmap.h"

namespace {

constexpr const WCHAR* kClassName = u"CustomButtonClass";

// Window style bits the button reads besides those of Messages.h.
constexpr DWORD kAlignMask = 0x0300;
constexpr DWORD kRightBit = 0x0200;  // set for BS_RIGHT and BS_CENTER
constexpr DWORD kVerticalMask = 0x0C00;

// The size of the platform's check mark box when a check box or radio
// button has no image.
constexpr UINT kCheckMarkSize = 16;

// How many pixels the group box caption keeps from the sides.
constexpr int kCaptionInset = 5;

int Width(const RECT& r)
{
    return r.right - r.left;
}
int Height(const RECT& r)
{
    return r.bottom - r.top;
}

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// Draws connected segments (each without its end point) in a one-pixel
// pen of the colour.
void Lines(HDC dc, COLORREF colour, std::initializer_list<POINT> points)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points.begin(), static_cast<int>(points.size()));
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Line(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2)
{
    Lines(dc, colour, {POINT{x1, y1}, POINT{x2, y2}});
}

BYTE ShadeChannel(BYTE value, double factor)
{
    const double v = value;
    if (factor > 0 && factor <= 1) {
        if (static_cast<int>(v * factor) > value)
            return 0;
        return static_cast<BYTE>(static_cast<int>(v - v * factor));
    }
    // Lightening; the caller has ruled out every other factor.
    if (static_cast<int>(v * (1 - factor)) >= 255)
        return 255;
    return static_cast<BYTE>(static_cast<int>(v - v * factor));
}

COLORREF Average(COLORREF a, COLORREF b)
{
    return RGB(static_cast<BYTE>((GetRValue(a) + GetRValue(b)) / 2),
               static_cast<BYTE>((GetGValue(a) + GetGValue(b)) / 2),
               static_cast<BYTE>((GetBValue(a) + GetBValue(b)) / 2));
}

RECT Moved(RECT rect, POINT by)
{
    return RECT{rect.left + by.x, rect.top + by.y, rect.right + by.x, rect.bottom + by.y};
}

}  // namespace

IMPLEMENT_DYNAMIC(CCustomButton, CButton)

CCustomButton::CCustomButton()
    : m_backColor(GetSysColor(COLOR_BTNFACE)), m_textColor(GetSysColor(COLOR_BTNTEXT)),
      m_checkedBackColor(GetSysColor(COLOR_BTNFACE)), m_checkedTextColor(GetSysColor(COLOR_BTNTEXT)),
      m_frameColor(GetSysColor(COLOR_BTNTEXT))
{
    RegisterWindowClass();
}

CCustomButton::~CCustomButton()
{
    DeleteReplacedBitmaps({m_normalBitmap, m_checkedBitmap}, {});
    m_normalBitmap = nullptr;
    m_checkedBitmap = nullptr;
    ReleaseOffscreenImage(m_memDC, m_offscreen, m_savedBitmap);
}

BOOL CCustomButton::RegisterWindowClass()
{
    return RegisterControlClass(kClassName);
}

void CCustomButton::SetDrawStyle(DWORD flags)
{
    m_drawStyle = flags;
    m_gradient = (flags & kGradientFace) != 0 ? 1 : 0;
    Invalidate(TRUE);
}

void CCustomButton::SetBitmaps(HBITMAP normal, HBITMAP checked)
{
    const HBITMAP oldNormal = m_normalBitmap;
    const HBITMAP oldChecked = m_checkedBitmap;
    if (normal != nullptr) {
        // A replaced image's size is not carried over to one that cannot
        // be read.
        if (m_normalBitmap != nullptr)
            m_bitmapWidth = m_bitmapHeight = 0;
        m_normalBitmap = normal;
        ReadBitmapSize(normal, m_bitmapWidth, m_bitmapHeight);
    }
    m_checkedBitmap = checked != nullptr ? checked : m_normalBitmap;
    DeleteReplacedBitmaps({oldNormal, oldChecked}, {m_normalBitmap, m_checkedBitmap});
    Invalidate(TRUE);
}

void CCustomButton::SetBackColor(COLORREF colour)
{
    m_backColor = colour;
    Invalidate(TRUE);
}

void CCustomButton::SetCheckedBackColor(COLORREF colour)
{
    m_checkedBackColor = colour;
    Invalidate(TRUE);
}

void CCustomButton::SetGradientColors(COLORREF top, COLORREF bottom)
{
    m_gradientTop = top;
    m_gradientBottom = bottom;
    Invalidate(TRUE);
}

void CCustomButton::SetButtonFont(HFONT font)
{
    // Handing the same font again must not delete the one in use.
    if (m_font != nullptr && m_font != font)
        DeleteObject(m_font);
    m_font = font;
}

void CCustomButton::SetTexts(const CString& normalText, const CString& checkedText)
{
    m_normalText = normalText;
    m_checkedText = checkedText.empty() ? normalText : checkedText;
    SetWindowText(m_checked ? m_checkedText : m_normalText);
    Invalidate(TRUE);
}

void CCustomButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    const DWORD style = GetStyle();
    switch (style & BS_TYPEMASK) {
    case BS_GROUPBOX: m_kind = kGroupBox; break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX: m_kind = kCheckBox; break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: m_kind = kRadio; break;
    default:
        m_kind = kPush;
        m_flat = (style & BS_FLAT) != 0 ? 1 : 0;
        break;
    }
    m_normalText = GetWindowText();
    m_checkedText = m_normalText;
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    ReleaseOffscreenImage(m_memDC, m_offscreen, m_savedBitmap);
    CreateOffscreenImage(m_hWnd, m_memDC, m_offscreen, m_savedBitmap);
    Invalidate(TRUE);
}

LRESULT CCustomButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN: return OnLButtonDown();
    case WM_LBUTTONUP: return OnLButtonUp();
    case BM_SETCHECK: return OnSetCheck(wParam);
    case BM_GETCHECK: return m_checked ? BST_CHECKED : BST_UNCHECKED;
    default: return CButton::WindowProc(message, wParam, lParam);
    }
}

void CCustomButton::SetCheckedState(bool checked)
{
    m_checked = checked ? 1 : 0;
    SetWindowText(checked ? m_checkedText : m_normalText);
}

LRESULT CCustomButton::OnLButtonDown()
{
    const DWORD style = GetStyle();
    if ((style & WS_DISABLED) == 0) {
        switch (m_kind) {
        case kPush:
            SetCheckedState((style & BS_PUSHLIKE) != 0 ? m_checked == 0 : true);
            Invalidate(TRUE);
            break;
        case kRadio:
            if (m_checked == 0) {
                SetCheckedState(true);
                SendMessage(BM_SETCHECK, BST_CHECKED);
                // Uncheck the rest of the dialog group, walking it round
                // from the item before this one.
                if (HWND parent = GetParentHwnd()) {
                    const HWND first = GetNextDlgGroupItem(parent, m_hWnd, TRUE);
                    HWND item = first;
                    while (item != nullptr) {
                        if (item != m_hWnd)
                            ::SendMessageW(item, BM_SETCHECK, BST_UNCHECKED, 0);
                        item = GetNextDlgGroupItem(parent, item, FALSE);
                        if (item == first)
                            break;
                    }
                }
            }
            break;
        case kCheckBox:
            SetCheckedState(m_checked == 0);
            SendMessage(BM_SETCHECK, m_checked ? BST_CHECKED : BST_UNCHECKED);
            break;
        default: break;
        }
    }
    return Default();
}

LRESULT CCustomButton::OnLButtonUp()
{
    const DWORD style = GetStyle();
    if ((style & WS_DISABLED) == 0 && m_kind == kPush && (style & BS_PUSHLIKE) == 0) {
        SetCheckedState(false);
        Invalidate(TRUE);
    }
    return Default();
}

LRESULT CCustomButton::OnSetCheck(WPARAM state)
{
    if (m_kind == kRadio || m_kind == kCheckBox) {
        SetCheckedState(state == BST_CHECKED);
        Invalidate(TRUE);
    }
    return 0;
}

COLORREF CCustomButton::ShadeColor(COLORREF colour, double factor)
{
    if (factor == 0 || factor > 1 || factor < -1)
        return colour;
    return RGB(ShadeChannel(GetRValue(colour), factor), ShadeChannel(GetGValue(colour), factor),
               ShadeChannel(GetBValue(colour), factor));
}

UINT CCustomButton::TextFormat(DWORD windowStyle)
{
    UINT format = (windowStyle & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
    switch (windowStyle & kAlignMask) {
    case BS_LEFT: format |= DT_LEFT; break;
    case BS_RIGHT: format |= DT_RIGHT; break;
    default: format |= DT_CENTER; break;
    }
    if ((windowStyle & kVerticalMask) == BS_BOTTOM)
        format |= DT_BOTTOM;
    return format;
}

CCustomButton::FaceLayout CCustomButton::PushFaceLayout(DWORD drawStyle, int cw, int ch, int bw, int bh, bool hasImage,
                                                        int tw, int th, bool hasText)
{
    const DWORD placement = drawStyle & kPlacementMask;
    const int parts = hasImage && hasText ? 3 : 2;
    FaceLayout layout{};
    if (placement == 0 || (placement & kImageLeftToo) != 0) {
        const int gap = (cw - bw - tw) / parts;
        layout.image = POINT{gap, (ch - bh) / 2};
        layout.text = POINT{hasImage ? bw + 2 * gap : gap, (ch - th) / 2};
    } else if ((placement & kImageRight) != 0) {
        const int gap = (cw - bw - tw) / parts;
        layout.image = POINT{hasText ? tw + 2 * gap : gap, (ch - bh) / 2};
        layout.text = POINT{gap, (ch - th) / 2};
    } else if ((placement & kTextAboveImage) != 0) {
        const int gap = (ch - bh - th) / parts;
        layout.image = POINT{(cw - bw) / 2, hasText ? th + 2 * gap : gap};
        layout.text = POINT{(cw - tw) / 2, gap};
    } else {
        const int gap = (ch - bh - th) / parts;
        layout.image = POINT{(cw - bw) / 2, gap};
        layout.text = POINT{(cw - tw) / 2, hasImage ? bh + 2 * gap : gap};
    }
    return layout;
}

CCustomButton::FaceLayout CCustomButton::CheckFaceLayout(DWORD drawStyle, DWORD windowStyle, int cw, int ch, int bw,
                                                         int bh, int th)
{
    const DWORD placement = drawStyle & kPlacementMask;
    FaceLayout layout{};
    // Placements 4 and 8 have no meaning beside a box; they keep it left.
    if ((placement & kImageRight) != 0 && (placement & kImageLeftToo) == 0) {
        layout.image = POINT{cw - bw, (ch - bh) / 2};
        layout.text = POINT{0, (ch - th) / 2 - 1};
    } else {
        layout.image = POINT{0, (ch - bh) / 2};
        layout.text = POINT{(windowStyle & kRightBit) != 0 ? bw + 2 : bw + 4, (ch - th) / 2 - 1};
    }
    return layout;
}

void CCustomButton::DrawItem(DRAWITEMSTRUCT* item)
{
    if (item == nullptr || m_memDC == nullptr)
        return;
    const RECT rect = item->rcItem;
    HGDIOBJ oldFont = m_font != nullptr ? SelectObject(m_memDC, m_font) : nullptr;
    switch (m_kind) {
    case kPush: DrawPushFace(m_memDC, rect); break;
    case kRadio:
    case kCheckBox: DrawCheckFace(m_memDC, rect); break;
    case kGroupBox: DrawGroupBox(m_memDC, rect); break;
    default: break;
    }
    if (oldFont != nullptr)
        SelectObject(m_memDC, oldFont);
    BitBlt(item->hDC, 0, 0, Width(rect), Height(rect), m_memDC, 0, 0, SRCCOPY);
}

void CCustomButton::DrawPushFace(HDC dc, const RECT& rect)
{
    const bool checked = m_checked != 0;
    Fill(dc, rect, checked ? m_checkedBackColor : m_backColor);
    if (m_gradient)
        DrawGradient(dc, rect);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, checked ? m_checkedTextColor : m_textColor);
    SetBkColor(dc, checked ? m_checkedBackColor : m_backColor);

    const HBITMAP image = checked ? m_checkedBitmap : m_normalBitmap;
    const int bw = static_cast<int>(m_bitmapWidth);
    const int bh = static_cast<int>(m_bitmapHeight);
    const DWORD style = GetStyle();
    const UINT format = TextFormat(style);
    const CString text = GetWindowText();

    RECT client{};
    GetClientRect(&client);
    RECT textRect{};
    int tw = 0;
    int th = 0;
    if (!text.empty()) {
        textRect = client;
        if (image != nullptr) {
            const DWORD placement = m_drawStyle & kPlacementMask;
            if (placement == kTextAboveImage || placement == kImageAboveText)
                textRect.bottom -= bh;
            else
                textRect.right -= bw;
        }
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, format | DT_CALCRECT | DT_EXPANDTABS);
        tw = Width(textRect);
        th = Height(textRect);
    }
    FaceLayout layout =
        PushFaceLayout(m_drawStyle, Width(client), Height(client), bw, bh, image != nullptr, tw, th, !text.empty());
    if (!m_flat && checked) {
        layout.image.x += 1;
        layout.image.y += 1;
        layout.text.x += 1;
        layout.text.y += 1;
    }
    if ((style & BS_BITMAP) != 0 && image != nullptr)
        DrawTransparentBitmap(dc, image, m_bitmapWidth, m_bitmapHeight, layout.image.x, layout.image.y);
    if (!text.empty()) {
        RECT placed = Moved(textRect, layout.text);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &placed, format | DT_EXPANDTABS);
    }
    if (!m_flat) {
        if (m_gradient)
            DrawGradientFrame(dc, rect);
        else
            DrawPlainFrame(dc, rect);
    }
}

void CCustomButton::DrawGradient(HDC dc, const RECT& rect)
{
    const int w = Width(rect);
    const int h = Height(rect);
    if (h <= 4)
        return;
    const bool checked = m_checked != 0;
    const COLORREF start = checked ? m_gradientBottom : m_gradientTop;
    const COLORREF end = checked ? m_gradientTop : m_gradientBottom;
    double r = GetRValue(start);
    double g = GetGValue(start);
    double b = GetBValue(start);
    const double stepR = (static_cast<double>(GetRValue(end)) - GetRValue(start)) / h;
    const double stepG = (static_cast<double>(GetGValue(end)) - GetGValue(start)) / h;
    const double stepB = (static_cast<double>(GetBValue(end)) - GetBValue(start)) / h;
    for (int y = 2; y < h - 2; ++y) {
        Line(dc, RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b)), 2, y, w - 2, y);
        r += stepR;
        g += stepG;
        b += stepB;
    }
}

void CCustomButton::DrawPlainFrame(HDC dc, const RECT& rect)
{
    const COLORREF face = m_checked ? m_checkedBackColor : m_backColor;
    // Raised when normal, sunken when checked: the light and dark sides swap.
    const double sign = m_checked ? -1.0 : 1.0;
    const LONG L = rect.left;
    const LONG T = rect.top;
    const LONG R = rect.right;
    const LONG B = rect.bottom;
    Lines(dc, ShadeColor(face, -0.3 * sign), {POINT{L, B - 1}, POINT{L, T}, POINT{R, T}});
    Lines(dc, ShadeColor(face, -0.2 * sign), {POINT{L + 1, B - 1}, POINT{L + 1, T + 1}, POINT{R, T + 1}});
    Lines(dc, ShadeColor(face, 0.3 * sign), {POINT{L, B - 1}, POINT{R - 1, B - 1}, POINT{R - 1, T - 1}});
    Lines(dc, ShadeColor(face, 0.2 * sign), {POINT{L + 1, B - 2}, POINT{R - 2, B - 2}, POINT{R - 2, T}});
}

void CCustomButton::DrawGradientFrame(HDC dc, const RECT& rect)
{
    const COLORREF mid = Average(m_gradientTop, m_gradientBottom);
    const COLORREF light = ShadeColor(mid, -0.1);
    const COLORREF dark = ShadeColor(mid, 0.2);
    const LONG L = rect.left;
    const LONG T = rect.top;
    const LONG R = rect.right;
    const LONG B = rect.bottom;
    if (m_checked) {
        Line(dc, dark, L, T + 3, L, B - 3);
        Line(dc, dark, L + 3, T, R - 4, T);
    } else {
        Line(dc, light, L, T + 4, L, B - 3);
        Line(dc, light, L + 4, T, R - 4, T);
    }
    Line(dc, mid, L + 1, B - 3, L + 1, T + 2);
    Line(dc, mid, L + 3, T + 1, R - 2, T + 1);
    const COLORREF bottomRight = m_checked ? light : dark;
    Line(dc, bottomRight, L + 3, B - 1, R - 3, B - 1);
    Line(dc, bottomRight, R - 1, B - 4, R - 1, T + 2);
    // The rounded corners, one pixel at a time.
    const POINT lowerRight[] = {{R - 3, B - 1}, {R - 2, B - 2}, {R - 1, B - 3}};
    if (m_checked) {
        for (POINT p : {POINT{L, T + 3}, POINT{L + 1, T + 2}, POINT{L + 2, T + 1}})
            SetPixel(dc, p.x, p.y, dark);
        for (POINT p : lowerRight)
            SetPixel(dc, p.x, p.y, light);
    } else {
        for (POINT p : lowerRight)
            SetPixel(dc, p.x, p.y, dark);
        SetPixel(dc, L + 2, T + 2, light);
    }
    Line(dc, mid, L + 2, B - 2, R - 2, B - 2);
    Line(dc, mid, R - 2, B - 3, R - 2, T + 1);
}

void CCustomButton::DrawCheckFace(HDC dc, const RECT& rect)
{
    const bool checked = m_checked != 0;
    Fill(dc, rect, checked ? m_checkedBackColor : m_backColor);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, checked ? m_checkedTextColor : m_textColor);
    SetBkColor(dc, checked ? m_checkedBackColor : m_backColor);

    const HBITMAP image = checked ? m_checkedBitmap : m_normalBitmap;
    if (image == nullptr)
        m_bitmapWidth = m_bitmapHeight = kCheckMarkSize;
    const int bw = static_cast<int>(m_bitmapWidth);
    const int bh = static_cast<int>(m_bitmapHeight);
    const DWORD style = GetStyle();
    const UINT format = TextFormat(style) | DT_EXPANDTABS | DT_WORDBREAK;
    const CString text = GetWindowText();

    RECT client{};
    GetClientRect(&client);
    RECT textRect = client;
    textRect.right -= bw + 4;
    int th = 0;
    if (!text.empty()) {
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, format | DT_CALCRECT);
        th = Height(textRect);
        textRect.right = client.right - bw - 4;
    }
    const FaceLayout layout = CheckFaceLayout(m_drawStyle, style, Width(client), Height(client), bw, bh, th);
    if (image != nullptr) {
        DrawTransparentBitmap(dc, image, m_bitmapWidth, m_bitmapHeight, layout.image.x, layout.image.y);
    } else {
        RECT box{layout.image.x, layout.image.y, layout.image.x + bw, layout.image.y + bh};
        const UINT kind = m_kind == kCheckBox ? DFCS_BUTTONCHECK : DFCS_BUTTONRADIO;
        DrawFrameControl(dc, &box, DFC_BUTTON, kind | (checked ? DFCS_CHECKED : 0));
    }
    if (!text.empty()) {
        RECT placed = Moved(textRect, layout.text);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &placed, format);
    }
}

void CCustomButton::DrawGroupBox(HDC dc, const RECT& rect)
{
    const CString caption = GetWindowText();
    const bool atBottom = (m_drawStyle & kPlacementMask) == kImageAboveText;
    int th = 0;
    if (!caption.empty()) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        th = extent.cy;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, m_frameColor);
    HBRUSH brush = CreateSolidBrush(m_backColor);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    if (atBottom)
        Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom - th / 2);
    else
        Rectangle(dc, rect.left, rect.top + th / 2, rect.right, rect.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    if (caption.empty())
        return;

    const RECT band = atBottom ? RECT{rect.left, rect.bottom - th, rect.right, rect.bottom}
                               : RECT{rect.left, rect.top, rect.right, rect.top + th};
    Fill(dc, band, m_frameColor);
    // The caption sits on the band in the face colour: the text colour is
    // the band's own colour and would not show.
    SetTextColor(dc, m_backColor);
    SetBkMode(dc, TRANSPARENT);
    RECT client{};
    GetClientRect(&client);
    client.left += kCaptionInset;
    client.right -= kCaptionInset;
    UINT format = DT_SINGLELINE;
    const DWORD align = GetStyle() & kAlignMask;
    if (align == BS_RIGHT)
        format |= DT_RIGHT;
    else if (align == BS_CENTER)
        format |= DT_CENTER;
    if (atBottom)
        format |= DT_BOTTOM;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client, format);
}
