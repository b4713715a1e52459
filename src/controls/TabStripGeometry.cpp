#include "controls/TabStripGeometry.h"

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

RECT TabStripGeometry::StripRect() const
{
    RECT r{0, 0, client.right - client.left, client.bottom - client.top};
    if (Has(TabStylePageArea)) {
        if (Has(TabStyleTop))
            r.bottom = r.top + stripHeight;
        else
            r.top = r.bottom - stripHeight;
    }
    return r;
}

RECT TabStripGeometry::WorkRect() const
{
    const RECT strip = StripRect();
    if (Has(TabStyleVertical))
        return RECT{0, 0, strip.bottom - strip.top, strip.right - strip.left};
    return strip;
}

int TabStripGeometry::ButtonSlots() const
{
    return (close ? 1 : 0) + (scroll ? 2 : 0) + (toEnds ? 2 : 0);
}

TabStripGeometry::ButtonPlan TabStripGeometry::PlanButtons(int tabCount, int tabsWidth) const
{
    const RECT r = WorkRect();
    const int h = r.bottom - r.top;
    const int w = Width(r);
    ButtonPlan plan;
    plan.close = Has(TabStyleCloseButton);
    const int closeWidth = plan.close ? h : 0;
    const bool allFit = tabCount < 2 || tabsWidth <= w - closeWidth;
    plan.scroll = !(Has(TabStyleAutoHideButtons) && allFit);
    plan.toEnds = plan.scroll && Has(TabStyleFourButtons);
    const int slots = (plan.close ? 1 : 0) + (plan.scroll ? 2 : 0) + (plan.toEnds ? 2 : 0);
    plan.rowWidth = slots == 0 ? 0 : slots * (h - 3) + 3;
    const bool after = Has(TabStyleButtonsAfter);
    plan.tabsLeft = after ? 0 : plan.rowWidth;
    plan.tabsRight = after ? w - plan.rowWidth : w;
    return plan;
}

bool TabStripGeometry::HasButton(TabHit hit) const
{
    switch (hit) {
    case TabHit::First:
    case TabHit::Last: return toEnds;
    case TabHit::Prev:
    case TabHit::Next: return scroll;
    case TabHit::Close: return close;
    default: return false;
    }
}

RECT TabStripGeometry::CloseHitRect() const
{
    if (!close)
        return RECT{};
    const RECT r = WorkRect();
    const int w = Width(r);
    const int s = (r.bottom - r.top) - 2;
    if (Has(TabStyleButtonsAfter))
        return RECT{w - s - 1, r.top, w, r.bottom};
    return RECT{0, r.top, s + 1, r.bottom};
}

RECT TabStripGeometry::ScrollHitRect(TabHit hit) const
{
    const RECT r = WorkRect();
    const int w = Width(r);
    const int s = (r.bottom - r.top) - 2;
    const int n = ButtonSlots();
    const int x0 = close ? s : 0;
    const bool four = n >= 4;
    if (n < 2 || (!four && (hit == TabHit::First || hit == TabHit::Last)))
        return RECT{};
    auto span = [&](int left, int right) { return RECT{left, r.top, right, r.bottom}; };
    if (!Has(TabStyleButtonsAfter)) {
        if (four) {
            switch (hit) {
            case TabHit::First: return span(x0, x0 + s + 1);
            case TabHit::Prev: return span(x0 + s + 1, x0 + 2 * s + 1);
            case TabHit::Next: return span(x0 + 2 * s + 1, x0 + 3 * s + 2);
            case TabHit::Last: return span(x0 + 3 * s + 2, x0 + 4 * s + 3);
            default: return RECT{};
            }
        }
        switch (hit) {
        case TabHit::Prev: return span(x0, x0 + s + 1);
        case TabHit::Next: return span(x0 + s + 1, x0 + 2 * s + 3);
        default: return RECT{};
        }
    }
    if (four) {
        switch (hit) {
        case TabHit::First: return span(w - x0 - 4 * s - 3, w - x0 - 3 * s - 2);
        case TabHit::Prev: return span(w - x0 - 3 * s - 2, w - x0 - 2 * s - 1);
        case TabHit::Next: return span(w - x0 - 2 * s - 1, w - x0 - s - 1);
        case TabHit::Last: return span(w - x0 - s - 1, w - x0);
        default: return RECT{};
        }
    }
    switch (hit) {
    case TabHit::Prev: return span(w - x0 - 2 * s - 3, w - x0 - s - 1);
    case TabHit::Next: return span(w - x0 - s - 1, w - x0);
    default: return RECT{};
    }
}

RECT TabStripGeometry::ButtonAreaRect() const
{
    const int g = ButtonSlots();
    if (g == 0)
        return RECT{};
    const RECT r = WorkRect();
    const int h = r.bottom - r.top;
    const int s = h - 2;
    RECT area = Has(TabStyleTop) ? RECT{0, 0, s * g + 3, h - 1} : RECT{0, r.top, s * g + 3, r.bottom};
    if (Has(TabStyleButtonsAfter))
        area = Shifted(area, Width(r) - Width(area));
    return area;
}

RECT TabStripGeometry::CloseButtonRect() const
{
    if (!close)
        return RECT{};
    const RECT r = WorkRect();
    const int w = Width(r);
    const int h = r.bottom - r.top;
    const int s = h - 2;
    const bool top = Has(TabStyleTop);
    if (Has(TabStyleButtonsAfter))
        return top ? RECT{w - s - 2, 1, w - 1, h} : RECT{w - s - 2, r.top, w - 1, r.bottom - 1};
    return top ? RECT{1, 1, s + 1, h} : RECT{1, r.top, s + 1, r.bottom - 1};
}

RECT TabStripGeometry::ScrollButtonRect(TabHit hit) const
{
    const int g = ButtonSlots();
    if (!scroll || (g < 4 && (hit == TabHit::First || hit == TabHit::Last)))
        return RECT{};
    const RECT r = WorkRect();
    const int h = r.bottom - r.top;
    const int s = h - 2;
    int x0 = close ? s : 0;
    if (Has(TabStyleButtonsAfter))
        x0 = ButtonAreaRect().left;
    const int top = Has(TabStyleTop) ? 1 : r.top;
    const int bottom = Has(TabStyleTop) ? h : r.bottom;
    auto span = [&](int left, int right) { return RECT{x0 + left, top, x0 + right, bottom}; };
    if (g >= 4) {
        switch (hit) {
        case TabHit::First: return span(1, s + 1);
        case TabHit::Prev: return span(s + 1, 2 * s + 1);
        case TabHit::Next: return span(2 * s + 2, 3 * s + 2);
        case TabHit::Last: return span(3 * s + 2, 4 * s + 2);
        default: return RECT{};
        }
    }
    switch (hit) {
    case TabHit::Prev: return span(1, s + 1);
    case TabHit::Next: return span(s + 2, 2 * s + 2);
    default: return RECT{};
    }
}

POINT TabStripGeometry::ToStripFrame(int x, int y) const
{
    if (!Has(TabStyleVertical))
        return POINT{x, y};
    // As painting turns the strip: its x runs up the window from the bottom.
    const RECT strip = StripRect();
    const int w = Width(WorkRect());
    return POINT{w - 1 - (y - strip.top), x - strip.left};
}

int TabStripGeometry::HitTest(int x, int y) const
{
    const POINT p = ToStripFrame(x, y);
    if (Contains(CloseHitRect(), p.x, p.y))
        return HitItem(TabHit::Close);
    for (TabHit hit : {TabHit::First, TabHit::Prev, TabHit::Next, TabHit::Last}) {
        if (HasButton(hit) && Contains(ScrollHitRect(hit), p.x, p.y))
            return HitItem(hit);
    }
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (Contains(tabs[i], p.x, p.y))
            return static_cast<int>(i);
    }
    return HitItem(TabHit::Nowhere);
}
