// Layout and scrolling of the tab control, in the strip's own frame (see
// TabStripGeometry), and the geometry value it hands painting and
// hit-testing.
#include "controls/CustomTabCtrl.h"

#include <algorithm>
#include <initializer_list>

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

// Shows or takes away buttons that come and go together, the first one
// speaking for the rest. Buttons that stay keep their states, so a held
// button stays pressed; buttons that appear start shown.
void ShowTogether(bool shown, std::initializer_list<int*> states)
{
    if (!shown) {
        for (int* state : states)
            *state = TabButtonAbsent;
    } else if (**states.begin() == TabButtonAbsent) {
        for (int* state : states)
            *state = TabButtonShown;
    }
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
    const int total = RecalcRectangles();
    const TabStripGeometry::ButtonPlan plan = Geometry().PlanButtons(GetItemCount(), total);
    ShowButtons(plan);
    if (!plan.scroll) {
        // Every tab fits: nothing is scrolled out.
        m_firstVisible = 0;
        RecalcOffset(plan.rowWidth);
        if (kind == TabRecalc::Editor)
            PlaceEditor(0, index);
        return;
    }
    if (!m_items.empty())
        ScrollTabs(kind, index, plan);
}

void CCustomTabCtrl::ShowButtons(const TabStripGeometry::ButtonPlan& plan)
{
    ShowTogether(plan.close, {&m_closeButton});
    ShowTogether(plan.scroll, {&m_prevButton, &m_nextButton});
    ShowTogether(plan.toEnds, {&m_firstButton, &m_lastButton});
}

void CCustomTabCtrl::Reflow(int offset)
{
    RecalcRectangles();
    RecalcOffset(offset);
}

void CCustomTabCtrl::ScrollTabs(TabRecalc kind, int index, const TabStripGeometry::ButtonPlan& plan)
{
    const int offset = plan.rowWidth;
    const int last = GetItemCount() - 1;
    switch (kind) {
    case TabRecalc::Prev:
        RecalcOffset(offset);
        if (m_firstVisible > 0) {
            --m_firstVisible;
            Reflow(offset);
        }
        return;
    case TabRecalc::Next:
        RecalcOffset(offset);
        if (m_items.back()->rect.right > plan.tabsRight && m_firstVisible != last) {
            ++m_firstVisible;
            Reflow(offset);
        }
        return;
    case TabRecalc::EnsureVisible:
        RecalcOffset(offset);
        BringIntoView(index, plan);
        return;
    case TabRecalc::First:
        m_firstVisible = 0;
        Reflow(offset);
        return;
    case TabRecalc::Editor:
        RecalcOffset(offset);
        PlaceEditor(offset, index);
        return;
    case TabRecalc::Close: Reflow(offset); return;
    case TabRecalc::Last: m_firstVisible = last; [[fallthrough]];
    default:
        RecalcOffset(offset);
        FillStrip(plan);
        return;
    }
}

void CCustomTabCtrl::BringIntoView(int index, const TabStripGeometry::ButtonPlan& plan)
{
    if (!ValidIndex(index))
        return;
    const TabItem& item = *m_items[static_cast<std::size_t>(index)];
    if (item.shape == TabShapeEdge) {
        --m_firstVisible;
        Reflow(plan.rowWidth);
        return;
    }
    // A tab two or more places before the first shown one stays out of view.
    while (m_firstVisible < index) {
        if (item.shape != TabShapeShown || item.rect.right <= plan.tabsRight || item.rect.left <= plan.tabsLeft)
            break;
        ++m_firstVisible;
        Reflow(plan.rowWidth);
    }
}

void CCustomTabCtrl::FillStrip(const TabStripGeometry::ButtonPlan& plan)
{
    // Scroll back while the last tab still ends before the right edge;
    // ending exactly at the edge counts as not fitting.
    if (m_firstVisible < 0)
        return;
    auto lastRight = [&] { return m_items.back()->rect.right; };
    bool steppedBack = false;
    for (;;) {
        if (lastRight() >= plan.tabsRight) {
            if (steppedBack) {
                ++m_firstVisible;
                Reflow(plan.rowWidth);
            }
            return;
        }
        --m_firstVisible;
        steppedBack = true;
        if (m_firstVisible < 0) {
            m_firstVisible = 0;
            Reflow(plan.rowWidth);
            return;
        }
        Reflow(plan.rowWidth);
    }
}

int CCustomTabCtrl::HitTest(int x, int y) const
{
    return Geometry().HitTest(x, y);
}
