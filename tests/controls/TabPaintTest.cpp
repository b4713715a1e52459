// Pixels of the painted strip: the baseline and its gap, tab fills and
// outlines, the button area, pressed buttons and glyphs.
#include "TabTestSupport.h"

#include "platform/Testing.h"

namespace {

constexpr COLORREF kStrip = RGB(200, 0, 0);
constexpr COLORREF kTab = RGB(0, 200, 0);
constexpr COLORREF kSelected = RGB(0, 0, 200);
constexpr COLORREF kTabText = RGB(255, 255, 0);
constexpr COLORREF kSelectedText = RGB(0, 255, 255);
constexpr COLORREF kOutline = RGB(50, 50, 50);

class Paint : public TabFixture<TestTab> {
protected:
    TestTab& MakePainted(DWORD style, std::initializer_list<const char16_t*> titles, int select = -1)
    {
        TestTab& tab = Make(style);
        const TabColors colors{kStrip, kTab, kSelected, kTabText, kSelectedText, kOutline, RGB(1, 2, 3)};
        tab.SetColors(&colors, FALSE);
        Add(titles);
        if (select >= 0)
            tab.SetCurSel(select, FALSE, FALSE);
        Repaint();
        return tab;
    }

    void Repaint()
    {
        tab->Invalidate(FALSE);
        tab->UpdateWindow();
    }

    COLORREF Pixel(int x, int y)
    {
        HDC dc = tab->GetDC();
        const COLORREF c = GetPixel(dc, x, y);
        tab->ReleaseDC(dc);
        return c;
    }

    bool AnyPixel(const RECT& r, COLORREF colour)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Pixel(x, y) == colour)
                    return true;
        return false;
    }
};

TEST_F(Paint, BaselineOpensUnderTheSelectedTabOnly)
{
    TestTab& tab = MakePainted(kProgramStyle, {u"Scanner", u"Options"}, 0);
    const RECT selected = tab.Item(0).rect;
    const RECT other = tab.Item(1).rect;
    EXPECT_EQ(Pixel(selected.left + 3, 24), kSelected);
    EXPECT_EQ(Pixel(selected.right - 3, 24), kSelected);
    EXPECT_EQ(Pixel(other.left + 3, 24), kOutline);
    EXPECT_EQ(Pixel(other.left + 3, 23), kTab);
    EXPECT_EQ(Pixel(195, 24), kOutline);
    EXPECT_EQ(Pixel(195, 10), kStrip);
    // Outlined on three sides, open towards the page.
    EXPECT_EQ(Pixel(other.left + 3, 0), kOutline);
    EXPECT_EQ(Pixel(other.right, 10), kOutline);
    // Titles in their colours.
    EXPECT_TRUE(AnyPixel(tab.Item(0).rect, kSelectedText));
    EXPECT_TRUE(AnyPixel(tab.Item(1).rect, kTabText));
}

TEST_F(Paint, WithoutSelectionTheBaselineRunsUnbroken)
{
    TestTab& tab = MakePainted(kProgramStyle, {u"Scanner", u"Options"});
    for (int x : {0, tab.Item(0).rect.left + 3, tab.Item(1).rect.left + 3, 199})
        EXPECT_EQ(Pixel(x, 24), kOutline) << x;
}

TEST_F(Paint, HighlightedTabTakesSelectedColoursButKeepsTheBaseline)
{
    TestTab& tab = MakePainted(kProgramStyle | TabStyleMultiHighlight, {u"Scanner", u"Options"}, 0);
    tab.HighlightItem(1, FALSE, TRUE);
    Repaint();
    EXPECT_EQ(Pixel(tab.Item(1).rect.left + 3, 10), kSelected);
    EXPECT_TRUE(AnyPixel(tab.Item(1).rect, kSelectedText));
    EXPECT_EQ(Pixel(tab.Item(1).rect.left + 3, 24), kOutline);
}

TEST_F(Paint, NoOutlineStyleDrawsFillsAndTitlesOnly)
{
    TestTab& tab = MakePainted(kProgramStyle | TabStyleNoOutline, {u"Scanner", u"Options"}, 0);
    const RECT other = tab.Item(1).rect;
    EXPECT_EQ(Pixel(other.left + 3, 24), kTab);
    EXPECT_EQ(Pixel(other.left, 10), kTab);
    EXPECT_EQ(Pixel(other.left + 3, 0), kTab);
    EXPECT_EQ(Pixel(195, 24), kStrip);
    EXPECT_TRUE(AnyPixel(other, kTabText));
}

TEST_F(Paint, EmptyStripShowsButtonsOnlyWithoutAutoHide)
{
    MakePainted(kProgramStyle, {});
    for (int x : {0, 12, 100, 199}) {
        EXPECT_EQ(Pixel(x, 10), kStrip) << x;
        EXPECT_EQ(Pixel(x, 24), kOutline) << x;
    }

    MakePainted(TabStyleTop | TabStylePageArea, {});
    // The button area (0..49) is framed in the outline colour and holds
    // the two buttons; the baseline starts after it.
    EXPECT_EQ(Pixel(0, 10), kOutline);
    EXPECT_NE(Pixel(12, 10), kStrip);
    EXPECT_EQ(Pixel(100, 10), kStrip);
    EXPECT_EQ(Pixel(100, 24), kOutline);
}

// The back button of a strip without auto-hide: drawn in (1, 1, 24, 25),
// its glyph 8 x 7 at (8, 9). Row 3 of the left-pointing triangle is its tip:
// columns 2 to 4.
TEST_F(Paint, PressedButtonIsSunkenAndItsGlyphKeepsItsColour)
{
    MakePainted(TabStyleTop | TabStylePageArea, {});
    const COLORREF raisedCorner = Pixel(1, 1);
    const COLORREF glyph = Pixel(10, 12);
    const COLORREF face = Pixel(5, 12);
    EXPECT_EQ(glyph, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(Pixel(8, 12), face);  // the glyph's background shows the button

    platform::core::HoldTimers(true);
    tab->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ASSERT_EQ(tab->m_prevButton, TabButtonPressed);
    Repaint();
    EXPECT_NE(Pixel(1, 1), raisedCorner);
    EXPECT_EQ(Pixel(10, 12), glyph);
    EXPECT_EQ(Pixel(8, 12), Pixel(5, 12));

    tab->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    platform::core::HoldTimers(false);
    Repaint();
    EXPECT_EQ(Pixel(1, 1), raisedCorner);
}

// Each glyph drawn on a coloured ground: glyph pixels take the glyph colour,
// every other pixel keeps the ground.
TEST_F(Paint, GlyphsAreDrawnTransparentlyInTheirColour)
{
    struct Case {
        int glyph;
        const char* rows[7];
    };
    const Case cases[] = {
        {0, {".#....#.", ".#...##.", ".#..###.", ".#.###..", ".#..###.", ".#...##.", ".#....#."}},
        {1, {".....#..", "....##..", "...###..", "..###...", "...###..", "....##..", ".....#.."}},
        {2, {"..#.....", "..##....", "..###...", "...###..", "..###...", "..##....", "..#....."}},
        {3, {".#....#.", ".##...#.", ".###..#.", "..###.#.", ".###..#.", ".##...#.", ".#....#."}},
        {4, {"##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##"}},
    };
    TestTab& tab = Make(kProgramStyle);
    constexpr COLORREF ground = RGB(10, 200, 30);
    constexpr COLORREF ink = RGB(200, 0, 90);
    HDC window = tab.GetDC();
    HDC dc = CreateCompatibleDC(window);
    HBITMAP image = CreateCompatibleBitmap(window, 16, 16);
    tab.ReleaseDC(window);
    HGDIOBJ old = SelectObject(dc, image);
    HBRUSH brush = CreateSolidBrush(ground);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.glyph);
        const RECT all{0, 0, 16, 16};
        FillRect(dc, &all, brush);
        tab.m_glyphColors[2] = ink;
        tab.DrawGlyph(dc, POINT{4, 5}, c.glyph, 2);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool inside = x >= 4 && x < 12 && y >= 5 && y < 12;
                const bool mark = inside && c.rows[y - 5][x - 4] == '#';
                EXPECT_EQ(GetPixel(dc, x, y), mark ? ink : ground) << x << "," << y;
            }
        }
    }
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteObject(image);
    DeleteDC(dc);
}

TEST_F(Paint, CloseButtonShowsItsCross)
{
    // Close button before the tabs: (1, 1, 24, 25), w = 23 is odd, so the
    // cross sits one pixel right of centre: at (9, 9).
    MakePainted(TabStyleTop | TabStylePageArea | TabStyleAutoHideButtons | TabStyleCloseButton, {u"A"});
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(Pixel(9, 9), ink);
    EXPECT_EQ(Pixel(16, 9), ink);
    EXPECT_NE(Pixel(11, 9), ink);
    EXPECT_EQ(Pixel(12, 12), ink);
}

// A vertical strip 30 pixels wide and 200 high: its tabs run up from the
// bottom, and painting and hit-testing turn the same way.
TEST_F(Paint, VerticalStripIsDrawnAndHitTurnedTheSameWay)
{
    TestTab& tab = Make(TabStyleTop | TabStyleAutoHideButtons | 0x0800, 30, 200);
    const TabColors colors{kStrip, kTab, kSelected, kTabText, kSelectedText, kOutline, RGB(1, 2, 3)};
    tab.SetColors(&colors, FALSE);
    Add({u"", u""});
    tab.SetCurSel(0, FALSE, FALSE);
    Repaint();
    // Untitled tabs are 34 pixels long: tab 0 takes rows 166 to 199.
    EXPECT_EQ(tab.HitTest(10, 190), 0);
    EXPECT_EQ(tab.HitTest(10, 150), 1);
    EXPECT_EQ(tab.HitTest(10, 10), HitItem(TabHit::Nowhere));
    EXPECT_EQ(Pixel(10, 190), kSelected);
    EXPECT_EQ(Pixel(10, 150), kTab);
    EXPECT_EQ(Pixel(10, 10), kStrip);
    // The baseline runs down the right-hand column, open beside tab 0.
    EXPECT_EQ(Pixel(29, 190), kSelected);
    EXPECT_EQ(Pixel(29, 150), kOutline);
    EXPECT_EQ(Pixel(29, 10), kOutline);
}

}  // namespace
