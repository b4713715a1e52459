#include "pages/LabelLayout.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numeric>
#include <set>

namespace {

// Spots are tried every so many pixels: finer would not look different.
constexpr int kStep = 2;
// A box moved down over the hills hides more than one moved up into the
// free air, so each pixel down counts twice.
constexpr int kDownWeight = 2;

struct Spot {
    int dx;
    int dy;
    int cost;
};

// The spots around the ideal one, cheapest first; among equal costs up
// before down, then the smaller move sideways, then left before right.
std::vector<Spot> SpotsByCost()
{
    std::vector<Spot> spots;
    const int reach = LabelLayout::kReach;
    for (int dy = -reach; dy <= reach / kDownWeight; dy += kStep)
        for (int dx = -reach; dx <= reach; dx += kStep) {
            const int cost = std::abs(dx) + (dy < 0 ? -dy : dy * kDownWeight);
            if (cost <= reach)
                spots.push_back({dx, dy, cost});
        }
    std::sort(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) {
        if (a.cost != b.cost)
            return a.cost < b.cost;
        if (a.dy != b.dy)
            return a.dy < b.dy;
        if (std::abs(a.dx) != std::abs(b.dx))
            return std::abs(a.dx) < std::abs(b.dx);
        return a.dx < b.dx;
    });
    return spots;
}

RECT Grown(const RECT& r, int by)
{
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// What the names already placed take of the area, pixel by pixel: their
// boxes, and their boxes with their lines. With the running sums of the
// latter a spot is tried in a few steps however many names there are, so a
// band of a thousand networks costs no more than a look at every spot.
struct Taken {
    RECT area{};
    int width = 0;
    std::vector<unsigned char> boxes;  // 1 where a box is
    std::vector<unsigned char> used;   // 1 where a box or a line is
    std::vector<int> sums;             // of `used`, over the rectangle from the area's corner, one row and column more
};

Taken TakenOf(const RECT& area)
{
    Taken t;
    t.area = area;
    t.width = std::max<int>(area.right - area.left, 0);
    const auto pixels =
        static_cast<std::size_t>(t.width) * static_cast<std::size_t>(std::max<int>(area.bottom - area.top, 0));
    t.boxes.assign(pixels, 0);
    t.used.assign(pixels, 0);
    t.sums.assign(static_cast<std::size_t>(t.width + 1) * static_cast<std::size_t>(area.bottom - area.top + 1), 0);
    return t;
}

std::size_t At(const Taken& t, int x, int y)
{
    return static_cast<std::size_t>(y - t.area.top) * static_cast<std::size_t>(t.width) +
           static_cast<std::size_t>(x - t.area.left);
}

bool InArea(const Taken& t, int x, int y)
{
    return x >= t.area.left && x < t.area.right && y >= t.area.top && y < t.area.bottom;
}

// Calls visit(x, y) at each pixel along the line from a to b, both ends
// included, stepping along its longer direction, until visit says stop.
template <typename Visit> void AlongLine(POINT a, POINT b, Visit visit)
{
    const int steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
    for (int i = 0; i <= steps; ++i)
        if (visit(a.x + (steps == 0 ? 0 : (b.x - a.x) * i / steps), a.y + (steps == 0 ? 0 : (b.y - a.y) * i / steps)))
            return;
}

void Take(Taken& t, const PlacedLabel& label)
{
    for (int y = label.box.top; y < label.box.bottom; ++y)
        for (int x = label.box.left; x < label.box.right; ++x)
            if (InArea(t, x, y))
                t.boxes[At(t, x, y)] = t.used[At(t, x, y)] = 1;
    if (label.leader)
        AlongLine(label.from, label.to, [&t](int x, int y) {
            if (InArea(t, x, y))
                t.used[At(t, x, y)] = 1;
            return false;
        });
    const int height = t.area.bottom - t.area.top;
    const auto stride = static_cast<std::size_t>(t.width + 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < t.width; ++x) {
            const std::size_t here = static_cast<std::size_t>(y + 1) * stride + static_cast<std::size_t>(x + 1);
            t.sums[here] =
                t.used[static_cast<std::size_t>(y) * static_cast<std::size_t>(t.width) + static_cast<std::size_t>(x)] +
                t.sums[here - 1] + t.sums[here - stride] - t.sums[here - stride - 1];
        }
}

// Whether the box, cut to the area, holds nothing taken.
bool IsFree(const Taken& t, const RECT& box)
{
    const int left = std::max<int>(box.left, t.area.left) - t.area.left;
    const int top = std::max<int>(box.top, t.area.top) - t.area.top;
    const int right = std::min<int>(box.right, t.area.right) - t.area.left;
    const int bottom = std::min<int>(box.bottom, t.area.bottom) - t.area.top;
    if (left >= right || top >= bottom)
        return true;
    const auto stride = static_cast<std::size_t>(t.width + 1);
    auto sum = [&](int x, int y) { return t.sums[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)]; };
    return sum(right, bottom) - sum(left, bottom) - sum(right, top) + sum(left, top) == 0;
}

bool LineHitsABox(const Taken& t, POINT a, POINT b)
{
    bool hit = false;
    AlongLine(a, b, [&](int x, int y) {
        hit = InArea(t, x, y) && t.boxes[At(t, x, y)] != 0;
        return hit;
    });
    return hit;
}

bool Overlaps(int left1, int right1, int left2, int right2)
{
    return left1 < right2 && left2 < right1;
}

// Fills in whether a box away from its hill needs a line to the hill's top,
// and where the line runs: from the box's edge nearest the top to the top.
// A box right on its hill's top needs none, nor one stacked on a box that
// needs none over the same channel: the names stand one over the other
// above their hills.
void JoinToHill(std::span<const LabelWish> wishes, std::span<const PlacedLabel> placed,
                std::span<const std::size_t> shown, const LabelWish& wish, const RECT& area, PlacedLabel& label)
{
    const RECT& box = label.box;
    const bool overHill = Overlaps(box.left, box.right, wish.anchorLeft, wish.anchorRight + 1);
    const int onTop = wish.anchorTop - 1;  // the bottom of a box sitting on the top
    // A hill that reaches the top of the area has no room above it: its
    // name at the very top, over the hill's top, sits on it.
    const bool againstTheTop = box.top == area.top && box.top <= wish.anchorTop && box.bottom > onTop;
    bool sits = overHill && (std::abs(box.bottom - onTop) <= 2 || againstTheTop);
    for (std::size_t i = 0; i < shown.size() && overHill && !sits; ++i) {
        const PlacedLabel& below = placed[shown[i]];
        const LabelWish& other = wishes[shown[i]];
        sits = !below.leader && box.bottom <= below.box.top && below.box.top - box.bottom <= LabelLayout::kGap + 2 &&
               Overlaps(box.left, box.right, below.box.left, below.box.right) &&
               Overlaps(wish.anchorLeft, wish.anchorRight + 1, other.anchorLeft, other.anchorRight + 1) &&
               box.bottom <= wish.anchorTop;
    }
    label.leader = !sits;
    if (!label.leader)
        return;
    const int middle = (box.left + box.right) / 2;
    label.to = POINT{std::clamp(middle, wish.anchorLeft, wish.anchorRight), wish.anchorTop};
    const int x = std::clamp<int>(label.to.x, box.left, box.right - 1);
    if (box.bottom <= wish.anchorTop)
        label.from = POINT{x, box.bottom};
    else if (box.top > wish.anchorTop)
        label.from = POINT{x, box.top - 1};
    else
        label.from = POINT{label.to.x < box.left ? box.left - 1 : box.right, wish.anchorTop};
}

}  // namespace

bool LabelLayout::Crosses(POINT a, POINT b, const RECT& box)
{
    bool crosses = false;
    AlongLine(a, b, [&](int x, int y) {
        crosses = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
        return crosses;
    });
    return crosses;
}

bool LabelLayout::Intersect(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::vector<PlacedLabel> LabelLayout::Place(std::span<const LabelWish> wishes, const RECT& area)
{
    std::vector<PlacedLabel> placed(wishes.size());
    std::vector<std::size_t> order(wishes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return wishes[a].rssi > wishes[b].rssi; });
    static const std::vector<Spot> spots = SpotsByCost();
    Taken taken = TakenOf(area);
    std::vector<std::size_t> shown;
    // Names that found no room, by their hill's top and their size: the room
    // only shrinks, so another name of that size over the same top is not
    // tried again (many networks share a channel and a signal). Only a box
    // stacked on a name placed since could have been had, and a name that
    // weak does without it.
    std::set<std::array<int, 5>> refused;
    for (std::size_t index : order) {
        const LabelWish& wish = wishes[index];
        const int width = wish.size.cx;
        const int height = wish.size.cy;
        if (width > area.right - area.left || height > area.bottom - area.top)
            continue;
        // Right over the middle of the top, moved into the area as far as
        // it takes: a hill at the edge has its name beside the edge, and
        // that is no move away from the hill.
        const int idealLeft =
            std::clamp<int>((wish.anchorLeft + wish.anchorRight + 1) / 2 - width / 2, area.left, area.right - width);
        const int idealTop = std::clamp<int>(wish.anchorTop - 1 - height, area.top, area.bottom - height);
        const std::array<int, 5> asked{wish.anchorLeft, wish.anchorRight, wish.anchorTop, width, height};
        if (refused.contains(asked))
            continue;
        for (const Spot& spot : spots) {
            PlacedLabel label;
            label.box =
                RECT{idealLeft + spot.dx, idealTop + spot.dy, idealLeft + spot.dx + width, idealTop + spot.dy + height};
            if (!Inside(label.box, area))
                continue;
            if (!IsFree(taken, Grown(label.box, kGap)))
                continue;
            JoinToHill(wishes, placed, shown, wish, area, label);
            if (label.leader && LineHitsABox(taken, label.from, label.to))
                continue;
            label.shown = true;
            placed[index] = label;
            Take(taken, label);
            shown.push_back(index);
            break;
        }
        if (!placed[index].shown)
            refused.insert(asked);
    }
    return placed;
}
