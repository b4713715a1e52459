// What the button and slider tests share: a parent window that records the
// notifications it hears, solid test images, and pixel reading from a
// window's own image.
#pragma once

#include "controls/CustomButton.h"
#include "controls/CustomSlider.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// One message as the parent heard it.
struct Heard {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Heard&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Heard& h)
{
    return out << "{0x" << std::hex << h.message << std::dec << ", code " << LOWORD(h.wParam) << ", high "
               << HIWORD(h.wParam) << "}";
}

// A parent that keeps the commands and scroll messages its children send.
class Host : public CWnd {
public:
    Host()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"ButtonTestHost";
        RegisterClassW(&wc);
        EXPECT_TRUE(CreateEx(0, u"ButtonTestHost", u"", WS_VISIBLE, RECT{0, 0, 240, 200}, nullptr, 0));
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || message == WM_HSCROLL || message == WM_VSCROLL)
            heard.push_back({message, wParam, lParam});
        return CWnd::WindowProc(message, wParam, lParam);
    }

    // Creates a child of this window and returns its handle.
    HWND Child(const WCHAR* className, const WCHAR* text, DWORD style, RECT rect, int id)
    {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, m_hWnd, static_cast<UINT_PTR>(id),
                               nullptr, nullptr);
    }

    std::vector<Heard> heard;
};

// A 32-bit bitmap of one colour (0x00BBGGRR, as everywhere).
inline HBITMAP SolidBitmap(int width, int height, COLORREF colour)
{
    const std::uint32_t pixel = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(width * height), pixel);
    return CreateBitmap(width, height, 1, 32, bits.data());
}

// Paints the window now, whatever it looked like before.
inline void Repaint(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

inline COLORREF PixelAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// The smallest rectangle holding every pixel of the window that is (or,
// with `other`, is not) the colour; empty when there is none.
inline RECT ColourBox(HWND window, COLORREF colour, bool other = false)
{
    RECT client{};
    GetClientRect(window, &client);
    RECT box{client.right, client.bottom, 0, 0};
    HDC dc = GetDC(window);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if ((GetPixel(dc, x, y) == colour) != other) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    ReleaseDC(window, dc);
    if (box.right == 0)
        return RECT{};
    return box;
}

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

inline std::ostream& operator<<(std::ostream& out, const POINT& p)
{
    return out << "(" << p.x << ", " << p.y << ")";
}

// A tap of the stylus at a client point: down, then up at the same place.
inline void Tap(HWND window, int x = 3, int y = 3)
{
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// The button with its insides in reach.
class ProbeButton : public CCustomButton {
public:
    using CCustomButton::m_bitmapHeight;
    using CCustomButton::m_bitmapWidth;
    using CCustomButton::m_checked;
    using CCustomButton::m_checkedBitmap;
    using CCustomButton::m_flat;
    using CCustomButton::m_font;
    using CCustomButton::m_kind;
    using CCustomButton::m_normalBitmap;
};

// True while the handle still names a live object.
inline bool Alive(HGDIOBJ object)
{
    return GetObjectW(object, 0, nullptr) > 0;
}
