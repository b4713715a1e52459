// Layout, scrolling and hit-testing of the tab control, and the button
// rectangles that painting and hit-testing share.
//
// Everything here works in the strip's own frame: for a vertical strip the
// working rectangle has width and height exchanged, and points are turned
// into it before they are tested.
#include "controls/CustomTabCtrl.h"

#include <algorithm>

namespace {

RECT Shifted(RECT r, int dx)
{
    r.left += dx;
    r.right += dx;
    return r;
}

bool Contains(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

}  // namespace

RECT CCustomTabCtrl::GetStripRect() const
{
    RECT r{};
    GetClientRect(&r);
    if (HasStyle(TabStylePageArea)) {
        if (HasStyle(TabStyleTop))
            r.bottom = r.top + m_stripHeight;
        else
            r.top = r.bottom - m_stripHeight;
    }
    return r;
}

RECT CCustomTabCtrl::GetWorkRect() const
{
    const RECT strip = GetStripRect();
    if (HasStyle(TabStyleVertical))
        return RECT{0, 0, strip.bottom - strip.top, strip.right - strip.left};
    return strip;
}

int CCustomTabCtrl::ButtonSlots() const
{
    return (m_closeButton != TabButtonAbsent ? 1 : 0) + (m_prevButton != TabButtonAbsent ? 2 : 0) +
           (m_firstButton != TabButtonAbsent ? 2 : 0);
}

int CCustomTabCtrl::*CCustomTabCtrl::ButtonMember(int hit)
{
    switch (hit) {
    case HitFirst: return &CCustomTabCtrl::m_firstButton;
    case HitPrev: return &CCustomTabCtrl::m_prevButton;
    case HitNext: return &CCustomTabCtrl::m_nextButton;
    case HitLast: return &CCustomTabCtrl::m_lastButton;
    default: return &CCustomTabCtrl::m_closeButton;
    }
}

RECT CCustomTabCtrl::CloseHitRect() const
{
    if (m_closeButton == TabButtonAbsent)
        return RECT{};
    const RECT r = GetWorkRect();
    const int w = Width(r);
    const int s = (r.bottom - r.top) - 2;
    if (HasStyle(TabStyleButtonsAfter))
        return RECT{w - s - 1, r.top, w, r.bottom};
    return RECT{0, r.top, s + 1, r.bottom};
}

RECT CCustomTabCtrl::ScrollHitRect(int hit) const
{
    const RECT r = GetWorkRect();
    const int w = Width(r);
    const int s = (r.bottom - r.top) - 2;
    const int n = ButtonSlots();
    const int x0 = m_closeButton != TabButtonAbsent ? s : 0;
    const bool four = n >= 4;
    if (n < 2 || (!four && (hit == HitFirst || hit == HitLast)))
        return RECT{};
    auto span = [&](int left, int right) { return RECT{left, r.top, right, r.bottom}; };
    if (!HasStyle(TabStyleButtonsAfter)) {
        if (four) {
            switch (hit) {
            case HitFirst: return span(x0, x0 + s + 1);
            case HitPrev: return span(x0 + s + 1, x0 + 2 * s + 1);
            case HitNext: return span(x0 + 2 * s + 1, x0 + 3 * s + 2);
            case HitLast: return span(x0 + 3 * s + 2, x0 + 4 * s + 3);
            default: return RECT{};
            }
        }
        switch (hit) {
        case HitPrev: return span(x0, x0 + s + 1);
        case HitNext: return span(x0 + s + 1, x0 + 2 * s + 3);
        default: return RECT{};
        }
    }
    if (four) {
        switch (hit) {
        case HitFirst: return span(w - x0 - 4 * s - 3, w - x0 - 3 * s - 2);
        case HitPrev: return span(w - x0 - 3 * s - 2, w - x0 - 2 * s - 1);
        case HitNext: return span(w - x0 - 2 * s - 1, w - x0 - s - 1);
        case HitLast: return span(w - x0 - s - 1, w - x0);
        default: return RECT{};
        }
    }
    switch (hit) {
    case HitPrev: return span(w - x0 - 2 * s - 3, w - x0 - s - 1);
    case HitNext: return span(w - x0 - s - 1, w - x0);
    default: return RECT{};
    }
}

RECT CCustomTabCtrl::ButtonAreaRect() const
{
    const int g = ButtonSlots();
    if (g == 0)
        return RECT{};
    const RECT r = GetWorkRect();
    const int h = r.bottom - r.top;
    const int s = h - 2;
    RECT area = HasStyle(TabStyleTop) ? RECT{0, 0, s * g + 3, h - 1} : RECT{0, r.top, s * g + 3, r.bottom};
    if (HasStyle(TabStyleButtonsAfter))
        area = Shifted(area, Width(r) - Width(area));
    return area;
}

RECT CCustomTabCtrl::CloseButtonRect() const
{
    if (m_closeButton == TabButtonAbsent)
        return RECT{};
    const RECT r = GetWorkRect();
    const int w = Width(r);
    const int h = r.bottom - r.top;
    const int s = h - 2;
    const bool top = HasStyle(TabStyleTop);
    if (HasStyle(TabStyleButtonsAfter))
        return top ? RECT{w - s - 2, 1, w - 1, h} : RECT{w - s - 2, r.top, w - 1, r.bottom - 1};
    return top ? RECT{1, 1, s + 1, h} : RECT{1, r.top, s + 1, r.bottom - 1};
}

RECT CCustomTabCtrl::ScrollButtonRect(int hit) const
{
    const int g = ButtonSlots();
    if (m_prevButton == TabButtonAbsent || (g < 4 && (hit == HitFirst || hit == HitLast)))
        return RECT{};
    const RECT r = GetWorkRect();
    const int h = r.bottom - r.top;
    const int s = h - 2;
    int x0 = m_closeButton != TabButtonAbsent ? s : 0;
    if (HasStyle(TabStyleButtonsAfter))
        x0 = ButtonAreaRect().left;
    const int top = HasStyle(TabStyleTop) ? 1 : r.top;
    const int bottom = HasStyle(TabStyleTop) ? h : r.bottom;
    auto span = [&](int left, int right) { return RECT{x0 + left, top, x0 + right, bottom}; };
    if (g >= 4) {
        switch (hit) {
        case HitFirst: return span(1, s + 1);
        case HitPrev: return span(s + 1, 2 * s + 1);
        case HitNext: return span(2 * s + 2, 3 * s + 2);
        case HitLast: return span(3 * s + 2, 4 * s + 2);
        default: return RECT{};
        }
    }
    switch (hit) {
    case HitPrev: return span(1, s + 1);
    case HitNext: return span(s + 2, 2 * s + 2);
    default: return RECT{};
    }
}

int CCustomTabCtrl::RecalcRectangles()
{
    const RECT r = GetWorkRect();
    const int h = r.bottom - r.top;
    const bool top = HasStyle(TabStyleTop);
    const int tabTop = top ? 0 : r.top;
    const int tabBottom = top ? h : r.bottom;

    std::vector<int> widths;
    widths.reserve(m_items.size());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, m_boldFont);
    for (const auto& item : m_items) {
        RECT measured{0, 0, 0, 0};
        const int ok = DrawTextW(dc, item->text.c_str(), static_cast<int>(item->text.size()), &measured,
                                 DT_CALCRECT | DT_SINGLELINE);
        widths.push_back(ok != 0 ? Width(measured) : 0);
    }
    if (oldFont != nullptr)
        SelectObject(dc, oldFont);
    DeleteDC(dc);

    const int widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
    int x = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const int w = HasStyle(TabStyleFixedWidth) ? widest : widths[i];
        TabItem& item = *m_items[i];
        item.rect = RECT{x, tabTop, x + h + w + 4, r.bottom};
        item.textRect = RECT{x + h / 2, tabTop, x + h / 2 + w + 4, tabBottom - 1};
        x += h + w + 4;
    }
    return m_items.empty() ? 0 : m_items.back()->rect.right;
}

void CCustomTabCtrl::RecalcOffset(int offset)
{
    if (HasStyle(TabStyleButtonsAfter))
        offset = 0;
    for (int i = 0; i < GetItemCount(); ++i) {
        TabItem& item = *m_items[static_cast<std::size_t>(i)];
        if (i < m_firstVisible - 1) {
            item.shape = TabShapeHidden;
            offset -= Width(item.rect);
            item.textRect = RECT{};
        } else if (i == m_firstVisible - 1) {
            item.shape = TabShapeEdge;
            offset -= Width(item.rect);
            item.rect = RECT{};
            item.textRect = RECT{};
        } else {
            item.shape = TabShapeShown;
            item.rect = Shifted(item.rect, offset);
            item.textRect = Shifted(item.textRect, offset);
        }
    }
}

void CCustomTabCtrl::RecalcLayout(int kind, int index)
{
    RECT r = GetWorkRect();
    const int h = r.bottom - r.top;
    int close = 0;
    if (HasStyle(TabStyleCloseButton)) {
        close = h;
        if (m_closeButton == TabButtonAbsent)
            m_closeButton = TabButtonShown;
    } else {
        m_closeButton = TabButtonAbsent;
    }

    const int total = RecalcRectangles();
    int w = Width(r);
    if (HasStyle(TabStyleAutoHideButtons) && (GetItemCount() < 2 || total <= w - close)) {
        m_prevButton = m_nextButton = m_firstButton = m_lastButton = TabButtonAbsent;
        m_firstVisible = 0;
        RecalcOffset(close);
        if (kind == RecalcEditor)
            PlaceEditor(0, index);
        return;
    }

    if (m_prevButton == TabButtonAbsent)
        m_prevButton = m_nextButton = TabButtonShown;
    int n = 2;
    if (HasStyle(TabStyleFourButtons)) {
        if (m_firstButton == TabButtonAbsent)
            m_firstButton = m_lastButton = TabButtonShown;
        n = 4;
    } else {
        m_firstButton = m_lastButton = TabButtonAbsent;
    }
    if (HasStyle(TabStyleCloseButton))
        ++n;
    if (m_items.empty())
        return;

    const int buttons = n * (h - 3) + 3;
    if (HasStyle(TabStyleButtonsAfter))
        w -= buttons;
    const int leftLimit = HasStyle(TabStyleButtonsAfter) ? 0 : buttons;
    const int last = GetItemCount() - 1;
    auto recompute = [&] {
        RecalcRectangles();
        RecalcOffset(buttons);
    };
    auto lastRight = [&] { return m_items.back()->rect.right; };

    switch (kind) {
    case RecalcPrev:
        RecalcOffset(buttons);
        if (m_firstVisible > 0) {
            --m_firstVisible;
            recompute();
        }
        return;
    case RecalcNext:
        RecalcOffset(buttons);
        if (lastRight() > w && m_firstVisible != last) {
            ++m_firstVisible;
            recompute();
        }
        return;
    case RecalcEnsureVisible: {
        RecalcOffset(buttons);
        if (!ValidIndex(index))
            return;
        const TabItem& item = *m_items[static_cast<std::size_t>(index)];
        if (item.shape == TabShapeEdge) {
            --m_firstVisible;
            recompute();
            return;
        }
        // A tab two or more places before the first shown one stays out of view.
        while (m_firstVisible < index) {
            if (item.shape != TabShapeShown || item.rect.right <= w || item.rect.left <= leftLimit)
                break;
            ++m_firstVisible;
            recompute();
        }
        return;
    }
    case RecalcFirst:
        m_firstVisible = 0;
        recompute();
        return;
    case RecalcEditor:
        RecalcOffset(buttons);
        PlaceEditor(buttons, index);
        return;
    case RecalcClose: recompute(); return;
    case RecalcLast: m_firstVisible = last; [[fallthrough]];
    default: {
        // Plain: scroll back while the last tab still ends before the right
        // edge; ending exactly at the edge counts as not fitting.
        RecalcOffset(buttons);
        if (m_firstVisible < 0)
            return;
        bool steppedBack = false;
        for (;;) {
            if (lastRight() >= w) {
                if (steppedBack) {
                    ++m_firstVisible;
                    recompute();
                }
                return;
            }
            --m_firstVisible;
            steppedBack = true;
            if (m_firstVisible < 0) {
                m_firstVisible = 0;
                recompute();
                return;
            }
            recompute();
        }
    }
    }
}

int CCustomTabCtrl::HitTest(int x, int y) const
{
    if (HasStyle(TabStyleVertical)) {
        // Into the strip's own frame, as painting turns it (see OnPaint).
        const RECT strip = GetStripRect();
        const int w = Width(GetWorkRect());
        const int turnedX = w - 1 - (y - strip.top);
        y = x - strip.left;
        x = turnedX;
    }
    if (Contains(CloseHitRect(), x, y))
        return HitClose;
    const int order[] = {HitFirst, HitPrev, HitNext, HitLast};
    for (int hit : order) {
        if (this->*ButtonMember(hit) != TabButtonAbsent && Contains(ScrollHitRect(hit), x, y))
            return hit;
    }
    for (int i = 0; i < GetItemCount(); ++i) {
        const TabItem& item = *m_items[static_cast<std::size_t>(i)];
        if (item.shape != TabShapeHidden && Contains(item.rect, x, y))
            return i;
    }
    return HitNowhere;
}
