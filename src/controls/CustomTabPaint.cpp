// Painting of the tab control: the strip, its tabs, the button area with
// its push buttons and glyphs, and the baseline that opens under the
// selected tab. Everything is composed off-screen and copied in one go.
#include "controls/CustomTabCtrl.h"
#include "controls/GdiOwned.h"
#include "controls/GdiSelect.h"

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

// Copies the composed strip from image to the window's context; a vertical
// strip is turned a quarter on the way, its x running up the window from its
// bottom.
void ShowImage(HDC window, HDC image, const TabStripGeometry& geometry)
{
    const RECT strip = geometry.StripRect();
    const RECT r = geometry.WorkRect();
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (!geometry.Has(TabStyleVertical)) {
        BitBlt(window, r.left, r.top, w, h, image, r.left, r.top, SRCCOPY);
        return;
    }
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            SetPixel(window, strip.left + y, strip.top + w - 1 - x, GetPixel(image, x, y));
}

}  // namespace

void CCustomTabCtrl::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    if (dc == nullptr)
        return;
    std::fill(std::begin(m_glyphColors), std::end(m_glyphColors), GetSysColor(SYS_COLOR_INDEX_FLAG | COLOR_BTNTEXT));
    PaintStrip(dc, Geometry());
    EndPaint(m_hWnd, &paint);
}

void CCustomTabCtrl::PaintStrip(HDC dc, const TabStripGeometry& geometry)
{
    const RECT r = geometry.WorkRect();
    RECT client{};
    GetClientRect(&client);
    // A vertical strip is composed unturned, so the image must hold the
    // working rectangle as well as the client area.
    const int imageWidth = std::max<int>(client.right, r.right);
    const int imageHeight = std::max<int>(client.bottom, r.bottom);

    const GdiOwned<HDC> mem(CreateCompatibleDC(dc));
    const GdiOwned<HBITMAP> image(mem ? CreateCompatibleBitmap(dc, imageWidth, imageHeight) : nullptr);
    if (!mem || !image)
        return;
    const GdiSelect drawingInto(mem.get(), image.get());

    {
        const GdiOwned<HBRUSH> back(CreateSolidBrush(m_colors.stripBack));
        FillRect(mem.get(), &r, back.get());
    }
    DrawTabs(mem.get());
    DrawButtons(mem.get(), geometry);
    if (!HasStyle(TabStyleNoOutline))
        DrawBaseline(mem.get(), geometry);
    ShowImage(dc, mem.get(), geometry);
}

const TabItem* CCustomTabCtrl::ShownSelection() const
{
    if (!ValidIndex(m_selected) || m_items[static_cast<std::size_t>(m_selected)]->shape == TabShapeHidden)
        return nullptr;
    return m_items[static_cast<std::size_t>(m_selected)].get();
}

void CCustomTabCtrl::DrawTabs(HDC dc)
{
    const BOOL top = HasStyle(TabStyleTop);
    const BOOL noOutline = HasStyle(TabStyleNoOutline);
    for (int i = 0; i < GetItemCount(); ++i) {
        const TabItem& item = *m_items[static_cast<std::size_t>(i)];
        if (item.shape != TabShapeHidden && i != m_selected)
            DrawItem(item, dc, item.highlighted ? m_boldFont : m_font, m_colors, top, noOutline);
    }
    // The selected tab goes last, over its neighbours' shared edges.
    if (const TabItem* selected = ShownSelection())
        DrawItem(*selected, dc, m_boldFont, m_colors, top, noOutline);
}

void CCustomTabCtrl::DrawButtons(HDC dc, const TabStripGeometry& geometry)
{
    if (m_closeButton == TabButtonAbsent && m_prevButton == TabButtonAbsent)
        return;
    {
        const RECT area = geometry.ButtonAreaRect();
        const GdiOwned<HPEN> pen(CreatePen(PS_SOLID, 1, m_colors.outline));
        const GdiSelect outlined(dc, pen.get());
        Rectangle(dc, area.left, area.top, area.right, area.bottom);
    }
    if (m_closeButton != TabButtonAbsent)
        DrawCloseButton(dc, geometry.CloseButtonRect());
    if (m_prevButton != TabButtonAbsent)
        DrawScrollButtons(dc, geometry);
}

void CCustomTabCtrl::DrawCloseButton(HDC dc, RECT rect)
{
    const int bw = rect.right - rect.left;
    const int bh = rect.bottom - rect.top;
    const POINT origin{rect.left + (bw % 2) + (bw - kGlyphWidth) / 2, rect.top + (bh - kGlyphHeight) / 2};
    DrawButton(dc, rect, origin, GlyphClose, m_closeButton);
}

void CCustomTabCtrl::DrawScrollButtons(HDC dc, const TabStripGeometry& geometry)
{
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
        DrawButton(dc, rect, origin, b.glyph, this->*ButtonMember(b.hit));
    }
}

void CCustomTabCtrl::DrawBaseline(HDC dc, const TabStripGeometry& geometry)
{
    // The line runs along the tabs' open side, from the button area to the
    // far end, with a gap under the selected tab.
    const RECT r = geometry.WorkRect();
    const RECT area = geometry.ButtonAreaRect();
    const int areaWidth = area.right - area.left;
    const bool after = HasStyle(TabStyleButtonsAfter);
    const int y = HasStyle(TabStyleTop) ? r.bottom - 1 : r.top;
    const int from = after ? r.left : areaWidth;
    const int to = after ? r.right - areaWidth : r.right;

    const GdiOwned<HPEN> pen(CreatePen(PS_SOLID, 1, m_colors.outline));
    const GdiSelect outlined(dc, pen.get());
    if (const TabItem* selected = ShownSelection()) {
        Segment(dc, from, y, selected->rect.left, y);
        Segment(dc, selected->rect.right, y, to, y);
    } else {
        Segment(dc, from, y, to, y);
    }
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

    {
        const GdiOwned<HBRUSH> brush(CreateSolidBrush(fill));
        FillRect(dc, &r, brush.get());
    }
    if (!noOutline) {
        const GdiOwned<HPEN> pen(CreatePen(PS_SOLID, 1, colors.outline));
        const GdiSelect outlined(dc, pen.get());
        // Three sides; the side towards the page stays open.
        const POINT topOpen[] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}};
        const POINT bottomOpen[] = {{r.left, r.top}, {r.left, r.bottom - 1}, {r.right, r.bottom - 1}, {r.right, r.top}};
        Polyline(dc, top ? topOpen : bottomOpen, 4);
    }

    const COLORREF oldBack = SetBkColor(dc, fill);
    const COLORREF oldText = SetTextColor(dc, text);
    {
        const GdiSelect lettered(dc, font);
        const int half = (r.bottom - r.top) / 2;
        RECT textRect{r.left + half, r.top + 2, r.right - half, r.bottom - 2};
        DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &textRect, kTitleFormat);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void CCustomTabCtrl::DrawGlyph(HDC dc, POINT origin, int glyph, int colorEntry)
{
    const GdiOwned<HDC> mask(CreateCompatibleDC(dc));
    const GdiOwned<HDC> colour(CreateCompatibleDC(dc));
    const GdiOwned<HBITMAP> colourImage(CreateCompatibleBitmap(dc, kGlyphWidth, kGlyphHeight));
    if (!mask || !colour || !colourImage)
        return;
    // The glyph strip is the control's own and stays alive; it is only lent
    // to the mask context while this glyph is drawn.
    const GdiSelect maskFromStrip(mask.get(), m_glyphs);
    const GdiSelect colourInto(colour.get(), colourImage.get());

    // The glyph in its colour on white.
    const COLORREF glyphColour = m_glyphColors[std::clamp(colorEntry, 0, 3)];
    const COLORREF oldColourText = SetTextColor(colour.get(), glyphColour);
    BitBlt(colour.get(), 0, 0, kGlyphWidth, kGlyphHeight, mask.get(), glyph * kGlyphWidth, 0, SRCCOPY);
    SetTextColor(colour.get(), oldColourText);

    // XOR in, clear the glyph's pixels through the mask, XOR again: the
    // background comes back as it was and the glyph takes its colour.
    const COLORREF oldBack = SetBkColor(dc, kWhite);
    const COLORREF oldText = SetTextColor(dc, kBlack);
    BitBlt(dc, origin.x, origin.y, kGlyphWidth, kGlyphHeight, colour.get(), 0, 0, SRCINVERT);
    BitBlt(dc, origin.x, origin.y, kGlyphWidth, kGlyphHeight, mask.get(), glyph * kGlyphWidth, 0, SRCAND);
    BitBlt(dc, origin.x, origin.y, kGlyphWidth, kGlyphHeight, colour.get(), 0, 0, SRCINVERT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}
