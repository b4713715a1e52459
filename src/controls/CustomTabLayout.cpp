// Layout and scrolling of the tab control, in the strip's own frame (see
// TabStripGeometry), and the geometry value it hands painting and
// hit-testing.
#include "controls/CustomTabCtrl.h"

#include <algorithm>

namespace {

RECT Shifted(RECT r, int dx)
{
    r.left += dx;
    r.right += dx;
    return r;
}

int Width(const RECT& r)
{
    return r.right - r.left;
}

}  // namespace

TabStripGeometry CCustomTabCtrl::Geometry() const
{
    TabStripGeometry g;
    GetClientRect(&g.client);
    g.stripHeight = m_stripHeight;
    g.style = TabStyle();
    g.close = m_closeButton != TabButtonAbsent;
    g.scroll = m_prevButton != TabButtonAbsent;
    g.toEnds = m_firstButton != TabButtonAbsent;
    g.tabs.reserve(m_items.size());
    for (const auto& item : m_items)
        g.tabs.push_back(item->shape != TabShapeHidden ? item->rect : RECT{});
    return g;
}

int CCustomTabCtrl::*CCustomTabCtrl::ButtonMember(TabHit hit)
{
    switch (hit) {
    case TabHit::First: return &CCustomTabCtrl::m_firstButton;
    case TabHit::Prev: return &CCustomTabCtrl::m_prevButton;
    case TabHit::Next: return &CCustomTabCtrl::m_nextButton;
    case TabHit::Last: return &CCustomTabCtrl::m_lastButton;
    default: return &CCustomTabCtrl::m_closeButton;
    }
}

int CCustomTabCtrl::RecalcRectangles()
{
    const RECT r = Geometry().WorkRect();
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

void CCustomTabCtrl::RecalcLayout(TabRecalc kind, int index)
{
    RECT r = Geometry().WorkRect();
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
        if (kind == TabRecalc::Editor)
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
    case TabRecalc::Prev:
        RecalcOffset(buttons);
        if (m_firstVisible > 0) {
            --m_firstVisible;
            recompute();
        }
        return;
    case TabRecalc::Next:
        RecalcOffset(buttons);
        if (lastRight() > w && m_firstVisible != last) {
            ++m_firstVisible;
            recompute();
        }
        return;
    case TabRecalc::EnsureVisible: {
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
    case TabRecalc::First:
        m_firstVisible = 0;
        recompute();
        return;
    case TabRecalc::Editor:
        RecalcOffset(buttons);
        PlaceEditor(buttons, index);
        return;
    case TabRecalc::Close: recompute(); return;
    case TabRecalc::Last: m_firstVisible = last; [[fallthrough]];
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
    return Geometry().HitTest(x, y);
}
