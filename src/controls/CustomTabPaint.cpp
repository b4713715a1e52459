// Painting of the tab control: the strip, its tabs, the button area with
// its push buttons and glyphs, and the baseline that opens under the
// selected tab. Everything is composed off-screen and copied in one go.
#include "controls/CustomTabCtrl.h"

#include <algorithm>

namespace {

constexpr UINT kTitleFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 7;

enum Glyph { GlyphFirst = 0, GlyphPrev = 1, GlyphNext = 2, GlyphLast = 3, GlyphClose = 4 };

// Draws a line from one point up to, not including, the other.
void Segment(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

}  // namespace

void CCustomTabCtrl::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    if (dc == nullptr)
        return;
    std::fill(std::begin(m_glyphColors), std::end(m_glyphColors), GetSysColor(SYS_COLOR_INDEX_FLAG | COLOR_BTNTEXT));

    const TabStripGeometry geometry = Geometry();
    const RECT strip = geometry.StripRect();
    const RECT r = geometry.WorkRect();
    const int h = r.bottom - r.top;
    const int w = r.right - r.left;
    const bool top = HasStyle(TabStyleTop);
    const bool vertical = HasStyle(TabStyleVertical);

    RECT client{};
    GetClientRect(&client);
    // A vertical strip is composed unturned, so the image must hold the
    // working rectangle as well as the client area.
    const int imageWidth = std::max<int>(client.right, r.right);
    const int imageHeight = std::max<int>(client.bottom, r.bottom);

    HPEN pen = CreatePen(PS_SOLID, 1, m_colors.outline);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP image = mem != nullptr ? CreateCompatibleBitmap(dc, imageWidth, imageHeight) : nullptr;
    if (mem == nullptr || image == nullptr) {
        DeleteDC(mem);
        DeleteObject(pen);
        EndPaint(m_hWnd, &paint);
        return;
    }
    HGDIOBJ oldBitmap = SelectObject(mem, image);

    HBRUSH back = CreateSolidBrush(m_colors.stripBack);
    FillRect(mem, &r, back);
    DeleteObject(back);

    const RECT area = geometry.ButtonAreaRect();
    for (int i = 0; i < GetItemCount(); ++i) {
        const TabItem& item = *m_items[static_cast<std::size_t>(i)];
        if (item.shape != TabShapeHidden && i != m_selected)
            DrawItem(item, mem, item.highlighted ? m_boldFont : m_font, m_colors, top, HasStyle(TabStyleNoOutline));
    }
    // The selected tab goes last, over its neighbours' shared edges.
    if (ValidIndex(m_selected) && m_items[static_cast<std::size_t>(m_selected)]->shape != TabShapeHidden)
        DrawItem(*m_items[static_cast<std::size_t>(m_selected)], mem, m_boldFont, m_colors, top,
                 HasStyle(TabStyleNoOutline));

    if (m_closeButton != TabButtonAbsent || m_prevButton != TabButtonAbsent) {
        HGDIOBJ oldPen = SelectObject(mem, pen);
        Rectangle(mem, area.left, area.top, area.right, area.bottom);
        SelectObject(mem, oldPen);
    }

    if (m_closeButton != TabButtonAbsent) {
        const RECT rc = geometry.CloseButtonRect();
        const int bw = rc.right - rc.left;
        const int bh = rc.bottom - rc.top;
        const POINT origin{rc.left + (bw % 2) + (bw - kGlyphWidth) / 2, rc.top + (bh - kGlyphHeight) / 2};
        DrawButton(mem, rc, origin, GlyphClose, m_closeButton);
    }

    if (m_prevButton != TabButtonAbsent) {
        struct Button {
            TabHit hit;
            int glyph;
        };
        std::vector<Button> buttons;
        if (geometry.ButtonSlots() >= 4)
            buttons = {{TabHit::First, GlyphFirst}, {TabHit::Last, GlyphLast}};
        buttons.push_back({TabHit::Prev, GlyphPrev});
        buttons.push_back({TabHit::Next, GlyphNext});
        for (const Button& b : buttons) {
            RECT rect = geometry.ScrollButtonRect(b.hit);
            const POINT origin{rect.left + (rect.right - rect.left - kGlyphWidth) / 2,
                               rect.top + (rect.bottom - rect.top - kGlyphHeight) / 2};
            // The forward button's frame reaches one pixel further left than
            // its glyph is centred in.
            if (b.hit == TabHit::Next)
                --rect.left;
            DrawButton(mem, rect, origin, b.glyph, this->*ButtonMember(b.hit));
        }
    }

    if (!HasStyle(TabStyleNoOutline)) {
        const int y = top ? r.bottom - 1 : r.top;
        const int areaWidth = area.right - area.left;
        const bool shown =
            ValidIndex(m_selected) && m_items[static_cast<std::size_t>(m_selected)]->shape != TabShapeHidden;
        const int ls = shown ? m_items[static_cast<std::size_t>(m_selected)]->rect.left : 0;
        const int rs = shown ? m_items[static_cast<std::size_t>(m_selected)]->rect.right : 0;
        HGDIOBJ oldPen = SelectObject(mem, pen);
        if (HasStyle(TabStyleButtonsAfter)) {
            if (shown) {
                Segment(mem, r.left, y, ls, y);
                Segment(mem, rs, y, r.right - areaWidth, y);
            } else {
                Segment(mem, r.left, y, r.right - areaWidth, y);
            }
        } else if (shown) {
            Segment(mem, areaWidth, y, ls, y);
            Segment(mem, rs, y, r.right, y);
        } else {
            Segment(mem, areaWidth, y, r.right, y);
        }
        SelectObject(mem, oldPen);
    }

    if (!vertical) {
        BitBlt(dc, r.left, r.top, w, h, mem, r.left, r.top, SRCCOPY);
    } else {
        // Turned a quarter: the strip's x runs up the window from its bottom.
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                SetPixel(dc, strip.left + y, strip.top + w - 1 - x, GetPixel(mem, x, y));
    }

    SelectObject(mem, oldBitmap);
    DeleteObject(pen);
    DeleteObject(image);
    DeleteDC(mem);
    EndPaint(m_hWnd, &paint);
}

void CCustomTabCtrl::DrawButton(HDC dc, RECT rect, POINT glyphOrigin, int glyph, int state)
{
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (state == TabButtonPressed ? DFCS_PUSHED : 0));
    DrawGlyph(dc, glyphOrigin, glyph, state - 1);
}

void CCustomTabCtrl::DrawItem(const TabItem& item, HDC dc, HFONT font, const TabColors& colors, BOOL top,
                              BOOL noOutline)
{
    const bool plain = !item.selected && !item.highlighted;
    const COLORREF fill = plain ? colors.tabBack : colors.selectedBack;
    const COLORREF text = plain ? colors.tabText : colors.selectedText;
    const RECT& r = item.rect;

    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &r, brush);

    HPEN pen = nullptr;
    HGDIOBJ oldPen = nullptr;
    if (!noOutline) {
        pen = CreatePen(PS_SOLID, 1, colors.outline);
        oldPen = SelectObject(dc, pen);
        // Three sides; the side towards the page stays open.
        const POINT topOpen[] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}};
        const POINT bottomOpen[] = {{r.left, r.top}, {r.left, r.bottom - 1}, {r.right, r.bottom - 1}, {r.right, r.top}};
        Polyline(dc, top ? topOpen : bottomOpen, 4);
    }

    const COLORREF oldBack = SetBkColor(dc, fill);
    const COLORREF oldText = SetTextColor(dc, text);
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int half = (r.bottom - r.top) / 2;
    RECT textRect{r.left + half, r.top + 2, r.right - half, r.bottom - 2};
    DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &textRect, kTitleFormat);

    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (oldPen != nullptr)
        SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void CCustomTabCtrl::DrawGlyph(HDC dc, POINT origin, int glyph, int colorEntry)
{
    HDC mask = CreateCompatibleDC(dc);
    HDC colour = CreateCompatibleDC(dc);
    HBITMAP colourImage = CreateCompatibleBitmap(dc, kGlyphWidth, kGlyphHeight);
    if (mask == nullptr || colour == nullptr || colourImage == nullptr) {
        DeleteDC(mask);
        DeleteDC(colour);
        DeleteObject(colourImage);
        return;
    }
    HGDIOBJ oldMask = SelectObject(mask, m_glyphs);
    HGDIOBJ oldColour = SelectObject(colour, colourImage);

    // The glyph in its colour on white.
    const COLORREF glyphColour = m_glyphColors[std::clamp(colorEntry, 0, 3)];
    const COLORREF oldColourText = SetTextColor(colour, glyphColour);
    BitBlt(colour, 0, 0, kGlyphWidth, kGlyphHeight, mask, glyph * kGlyphWidth, 0, SRCCOPY);
    SetTextColor(colour, oldColourText);

    // XOR in, clear the glyph's pixels through the mask, XOR again: the
    // background comes back as it was and the glyph takes its colour.
    const COLORREF oldBack = SetBkColor(dc, kWhite);
    const COLORREF oldText = SetTextColor(dc, kBlack);
    BitBlt(dc, origin.x, origin.y, kGlyphWidth, kGlyphHeight, colour, 0, 0, SRCINVERT);
    BitBlt(dc, origin.x, origin.y, kGlyphWidth, kGlyphHeight, mask, glyph * kGlyphWidth, 0, SRCAND);
    BitBlt(dc, origin.x, origin.y, kGlyphWidth, kGlyphHeight, colour, 0, 0, SRCINVERT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);

    SelectObject(colour, oldColour);
    SelectObject(mask, oldMask);
    DeleteObject(colourImage);
    DeleteDC(colour);
    DeleteDC(mask);
}
