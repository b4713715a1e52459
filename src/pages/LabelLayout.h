// Where the channels page writes the networks' names: each name in a box of
// its own that no other name's box touches, as near to its hill's top as
// there is room. Pure geometry, shared by the painting and the tests.
#pragma once

#include "platform/Types.h"

#include <span>
#include <vector>

// What a name asks for: the size of its box and the hill it belongs to.
struct LabelWish {
    SIZE size{};         // the box, pixels, text and swatch included
    int anchorLeft = 0;  // the hill's flat top, first and last column
    int anchorRight = 0;
    int anchorTop = 0;  // the row of the flat top
    LONG rssi = -100;   // dBm; the stronger network chooses first
};

// Where a name went. A name with no room is not shown; its hill is drawn all
// the same.
struct PlacedLabel {
    bool shown = false;
    RECT box{};
    // Set when the box is neither sitting on its hill's top nor stacked on
    // names that do: a thin line joins the box (from) and the hill's top (to).
    bool leader = false;
    POINT from{};
    POINT to{};
};

class LabelLayout {
public:
    // Places the names in the order of their signals, strongest first, each
    // in the free spot inside `area` nearest to right over its hill's top:
    // stacked above it, moved aside or, when the air above is full, lower
    // down with a line to its top. A spot further than kReach from the top
    // is no spot: that name gives way. The result is in the order of
    // `wishes`. Boxes keep kGap pixels apart.
    static std::vector<PlacedLabel> Place(std::span<const LabelWish> wishes, const RECT& area);

    // Whether two boxes share a pixel.
    static bool Intersect(const RECT& a, const RECT& b);
    // Whether the line from a to b (both ends drawn) passes through the box.
    static bool Crosses(POINT a, POINT b, const RECT& box);

    static constexpr int kReach = 100;  // pixels, across plus down or up
    static constexpr int kGap = 1;
};
