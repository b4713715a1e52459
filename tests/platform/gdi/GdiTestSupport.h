// A colour memory context of a given size for the drawing tests, and helpers
// to read its pixels back.
#pragma once

#include "platform/gdi/Gdi.h"

#include <string>
#include <vector>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
        : m_dc(CreateCompatibleDC(nullptr)), m_bitmap(CreateBitmap(width, height, 1, 32, nullptr))
    {
        m_previous = SelectObject(m_dc, m_bitmap);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all{0, 0, width, height};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }

    // One character a pixel: the given colour is '#', every other '.'.
    std::string Row(int y, int x0, int x1, COLORREF ink) const
    {
        std::string out;
        for (int x = x0; x < x1; ++x) {
            out += GetPixel(m_dc, x, y) == ink ? '#' : '.';
        }
        return out;
    }

    // Pixels of the given colour inside the rectangle.
    int Count(COLORREF color, RECT area) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                count += GetPixel(m_dc, x, y) == color ? 1 : 0;
            }
        }
        return count;
    }

    // The smallest rectangle holding every pixel of the colour; empty if none.
    RECT Bounds(COLORREF color, RECT area) const
    {
        RECT out{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (GetPixel(m_dc, x, y) == color) {
                    out.left = std::min<LONG>(out.left, x);
                    out.top = std::min<LONG>(out.top, y);
                    out.right = std::max<LONG>(out.right, x + 1);
                    out.bottom = std::max<LONG>(out.bottom, y + 1);
                }
            }
        }
        return out;
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous = nullptr;
};
