#include "controls/CustomSlider.h"

#include "controls/DrawTransparentBitmap.h"

#include <algorithm>

namespace {

constexpr const WCHAR* kClassName = u"CustomSliderClass";

// Replaces an owned image, reading the new one's size. The old size goes
// when an image is replaced, so one whose size cannot be read has none.
void ReplaceImage(HBITMAP& slot, UINT& width, UINT& height, HBITMAP image)
{
    if (image == nullptr)
        return;
    if (slot != nullptr)
        width = height = 0;
    slot = image;
    ReadBitmapSize(image, width, height);
}

}  // namespace

bool SliderScale::CanMap() const
{
    return maximum > minimum && length > thumbLength;
}

int SliderScale::ThumbCentre(UINT position) const
{
    const std::int64_t half = thumbLength / 2;
    std::int64_t q = 0;
    if (CanMap()) {
        const UINT shown = std::clamp(position, minimum, maximum);
        q = static_cast<std::int64_t>(length - thumbLength) * (shown - minimum) / (maximum - minimum);
    }
    std::int64_t centre = 0;
    if (horizontal)
        centre = reversed ? length - q - half : half + q;
    else
        centre = reversed ? q + half : length - q - half;
    return static_cast<int>(centre);
}

UINT SliderScale::ValueAt(int coordinate) const
{
    if (!CanMap())
        return minimum;
    const std::int64_t half = thumbLength / 2;
    const std::int64_t range = maximum - minimum;
    // Values grow from the start end: the left, or the bottom of a
    // vertical slider; reversing swaps the ends.
    const bool fromLeft = horizontal != reversed;
    if (coordinate < half)
        return fromLeft ? minimum : maximum;
    if (coordinate > length - half)
        return fromLeft ? maximum : minimum;
    const std::int64_t step = (coordinate - half) * range / (length - thumbLength);
    const std::int64_t value = fromLeft ? std::int64_t{minimum} + step : std::int64_t{maximum} - step;
    return static_cast<UINT>(std::clamp<std::int64_t>(value, minimum, maximum));
}

IMPLEMENT_DYNAMIC(CCustomSlider, CWnd)

CCustomSlider::CCustomSlider() : m_backColor(GetSysColor(COLOR_WINDOW))
{
    RegisterWindowClass();
}

CCustomSlider::~CCustomSlider()
{
    DeleteReplacedBitmaps({m_trackBitmap, m_thumbBitmap, m_pressedThumbBitmap}, {});
    m_trackBitmap = m_thumbBitmap = m_pressedThumbBitmap = nullptr;
    ReleaseOffscreenImage(m_memDC, m_offscreen, m_savedBitmap);
}

BOOL CCustomSlider::RegisterWindowClass()
{
    return RegisterControlClass(kClassName);
}

void CCustomSlider::SetRange(UINT minimum, UINT maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    Invalidate(TRUE);
}

void CCustomSlider::SetPos(UINT value)
{
    if (value > m_maximum)
        m_position = m_maximum;
    else if (value < m_minimum)
        m_position = m_minimum;
    else
        m_position = value;
    Invalidate(TRUE);
}

void CCustomSlider::SetReversed(BOOL reversed)
{
    m_reversed = reversed ? 1 : 0;
    Invalidate(TRUE);
}

void CCustomSlider::SetBackColor(COLORREF colour)
{
    m_backColor = colour;
    Invalidate(TRUE);
}

void CCustomSlider::SetBitmaps(HBITMAP track, HBITMAP thumb, HBITMAP pressedThumb)
{
    const HBITMAP oldTrack = m_trackBitmap;
    const HBITMAP oldThumb = m_thumbBitmap;
    const HBITMAP oldPressed = m_pressedThumbBitmap;
    ReplaceImage(m_trackBitmap, m_trackWidth, m_trackHeight, track);
    ReplaceImage(m_thumbBitmap, m_thumbWidth, m_thumbHeight, thumb);
    m_pressedThumbBitmap = pressedThumb != nullptr ? pressedThumb : m_thumbBitmap;
    DeleteReplacedBitmaps({oldTrack, oldThumb, oldPressed}, {m_trackBitmap, m_thumbBitmap, m_pressedThumbBitmap});
}

SliderScale CCustomSlider::Scale() const
{
    RECT client{};
    GetClientRect(&client);
    SliderScale scale;
    scale.minimum = m_minimum;
    scale.maximum = m_maximum;
    scale.horizontal = m_horizontal != 0;
    scale.reversed = m_reversed != 0;
    scale.length = scale.horizontal ? client.right - client.left : client.bottom - client.top;
    scale.thumbLength = static_cast<int>(scale.horizontal ? m_thumbWidth : m_thumbHeight);
    return scale;
}

LRESULT CCustomSlider::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Input may come before the first paint: the orientation must be known.
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_MOUSEMOVE)
        Prepare();
    switch (message) {
    case WM_ERASEBKGND: return OnEraseBkgnd();
    case WM_PAINT: OnPaint(); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(lParam); return Default();
    case WM_LBUTTONUP: OnLButtonUp(); return Default();
    case WM_MOUSEMOVE: OnMouseMove(lParam); return Default();
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CCustomSlider::Prepare()
{
    if (m_prepared)
        return;
    m_prepared = 1;
    m_horizontal = (GetStyle() & TBS_VERT) != 0 ? 0 : 1;
    CreateOffscreenImage(m_hWnd, m_memDC, m_offscreen, m_savedBitmap);
}

LRESULT CCustomSlider::OnEraseBkgnd()
{
    // The background goes into the off-screen image; the screen is only
    // ever written by the one copy at the end of a paint.
    if (m_memDC != nullptr) {
        RECT client{};
        GetClientRect(&client);
        HBRUSH brush = CreateSolidBrush(m_backColor);
        FillRect(m_memDC, &client, brush);
        DeleteObject(brush);
    }
    return TRUE;
}

void CCustomSlider::OnPaint()
{
    Prepare();
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    if (dc == nullptr)
        return;
    RECT client{};
    GetClientRect(&client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (m_memDC != nullptr) {
        if (m_trackBitmap != nullptr) {
            DrawTransparentBitmap(m_memDC, m_trackBitmap, m_trackWidth, m_trackHeight, 0, 0);
            const HBITMAP thumb = m_dragging && m_pressedThumbBitmap != nullptr ? m_pressedThumbBitmap : m_thumbBitmap;
            if (thumb != nullptr) {
                const int centre = Scale().ThumbCentre(m_position);
                const int tw = static_cast<int>(m_thumbWidth);
                const int th = static_cast<int>(m_thumbHeight);
                const int x = m_horizontal ? centre - tw / 2 : (w - tw) / 2;
                const int y = m_horizontal ? (h - th) / 2 : centre - th / 2;
                DrawTransparentBitmap(m_memDC, thumb, m_thumbWidth, m_thumbHeight, x, y);
            }
        }
        BitBlt(dc, 0, 0, w, h, m_memDC, 0, 0, SRCCOPY);
    }
    EndPaint(m_hWnd, &paint);
}

UINT CCustomSlider::ValueAtPoint(LPARAM point) const
{
    return Scale().ValueAt(m_horizontal ? GET_X_LPARAM(point) : GET_Y_LPARAM(point));
}

void CCustomSlider::OnLButtonDown(LPARAM point)
{
    m_dragging = 1;
    SetCapture();
    m_position = ValueAtPoint(point);
    Notify(SB_THUMBPOSITION);
    Invalidate(TRUE);
}

void CCustomSlider::OnMouseMove(LPARAM point)
{
    if (!m_dragging)
        return;
    RECT client{};
    GetClientRect(&client);
    const int x = GET_X_LPARAM(point);
    const int y = GET_Y_LPARAM(point);
    if (x >= client.left && x < client.right && y >= client.top && y < client.bottom) {
        m_position = ValueAtPoint(point);
        Notify(SB_THUMBTRACK);
    } else {
        // Leaving the slider ends the drag where the thumb last was.
        m_dragging = 0;
        ReleaseCapture();
        Notify(SB_THUMBPOSITION);
    }
    Invalidate(TRUE);
}

void CCustomSlider::OnLButtonUp()
{
    m_dragging = 0;
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
    Invalidate(TRUE);
    Notify(SB_THUMBPOSITION);
}

void CCustomSlider::Notify(UINT code)
{
    HWND parent = GetParentHwnd();
    if (parent == nullptr)
        return;
    ::SendMessageW(parent, m_horizontal ? WM_HSCROLL : WM_VSCROLL,
                   MAKEWPARAM(static_cast<int>(code), static_cast<int>(m_position)), reinterpret_cast<LPARAM>(m_hWnd));
}
