// TabStripGeometry: where the parts of a tab strip lie, as a value. Layout,
// painting and hit-testing all ask it, so a button is drawn where it is hit.
//
// Everything is in the strip's own frame: for a vertical strip the working
// rectangle has width and height exchanged, and points are turned into it
// before they are tested.
#pragma once

#include "controls/TabTypes.h"

#include <vector>

struct TabStripGeometry {
    RECT client{};           // the control's client area
    int stripHeight = 25;    // the band's height when the control has a page area
    DWORD style = 0;         // the TabStyle bits
    bool close = false;      // the close button is there
    bool scroll = false;     // the back and forward buttons are there
    bool toEnds = false;     // the go-to-first and go-to-last buttons are there
    std::vector<RECT> tabs;  // each tab's rectangle; empty for a tab out of view

    // What a layout pass puts in the strip besides the tabs: the buttons
    // that show and the room they leave. Each button takes H - 3 pixels of a
    // strip H high, and the row 3 more for its border.
    struct ButtonPlan {
        bool close = false;   // the close button shows
        bool scroll = false;  // back and forward show
        bool toEnds = false;  // go-to-first and go-to-last show
        int rowWidth = 0;     // the button row, 0 with no buttons
        int tabsLeft = 0;     // where the first shown tab starts: after the row, or 0 with buttons after
        int tabsRight = 0;    // where the room for tabs ends: the strip's end, or the row with buttons after
    };

    bool Has(DWORD bits) const { return (style & bits) != 0; }

    // The buttons for tabCount tabs that together are tabsWidth wide. With
    // auto-hidden buttons back and forward stay away while fewer than two
    // tabs are there or all of them fit beside the close button.
    ButtonPlan PlanButtons(int tabCount, int tabsWidth) const;

    // The strip in client pixels: the client area, or the band of it when
    // the control has a page area.
    RECT StripRect() const;
    // The strip, with width and height exchanged for a vertical strip.
    RECT WorkRect() const;
    // How many button widths the button row takes: 1 for close, 2 for back
    // and forward, 2 for first and last.
    int ButtonSlots() const;
    // Whether the button a hit code names is there.
    bool HasButton(TabHit hit) const;

    // The rectangles the stylus hits.
    RECT CloseHitRect() const;
    RECT ScrollHitRect(TabHit hit) const;
    // The rectangles the buttons are drawn in (they differ from the hit
    // rectangles by a pixel here and there).
    RECT ButtonAreaRect() const;
    RECT CloseButtonRect() const;
    RECT ScrollButtonRect(TabHit hit) const;

    // A point in client pixels turned into the strip's frame.
    POINT ToStripFrame(int x, int y) const;
    // A tab index, or a TabHit as its HitItem, for a point in client pixels.
    int HitTest(int x, int y) const;
};
