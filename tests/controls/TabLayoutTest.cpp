// The tab control's model and layout: tab rectangles, scrolling by each
// kind of layout pass, hit-testing of buttons and tabs, the bookkeeping of
// insert, delete and select, and the page-area request.
#include "TabTestSupport.h"

#include "platform/Testing.h"

#include <string>

namespace {

using Layout = TabFixture<TestTab>;

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// Width of a title in the control's bold font, measured apart from the
// control's own measuring.
int TitleWidth(const TestTab& tab, const CString& title)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, tab.m_boldFont);
    SIZE size{};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

// Untitled tabs are H + 4 pixels wide: 29 on a 25-pixel strip.
constexpr int kPlainTab = 29;

TEST_F(Layout, RectanglesLieEdgeToEdgeWithTheLabelInTheMiddle)
{
    struct Case {
        DWORD style;
        int clientHeight;
        RECT first;
        RECT firstText;
    };
    const Case cases[] = {
        // Top strip: rows 0 to 24; the label stops one row short of the bottom.
        {TabStyleTop | TabStylePageArea, 100, {0, 0, 29, 25}, {12, 0, 16, 24}},
        // Bottom strip: the band ends at the client's bottom.
        {TabStylePageArea, 100, {0, 75, 29, 100}, {12, 75, 16, 99}},
        // Without a page area the strip is the whole client area.
        {TabStyleTop, 40, {0, 0, 44, 40}, {20, 0, 24, 39}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TestTab& tab = Make(c.style, 200, c.clientHeight);
        Add({u"", u"", u""});
        const int total = tab.RecalcRectangles();
        const int width = c.first.right - c.first.left;
        EXPECT_EQ(total, 3 * width);
        for (int i = 0; i < 3; ++i) {
            RECT expected = c.first;
            expected.left += i * width;
            expected.right += i * width;
            RECT expectedText = c.firstText;
            expectedText.left += i * width;
            expectedText.right += i * width;
            EXPECT_TRUE(Same(tab.Item(i).rect, expected)) << i << " " << Show(tab.Item(i).rect);
            EXPECT_TRUE(Same(tab.Item(i).textRect, expectedText)) << i << " " << Show(tab.Item(i).textRect);
        }
    }
}

TEST_F(Layout, TabsTakeTheirTitleWidthOrTheWidestWithFixedWidth)
{
    for (DWORD fixed : {DWORD{0}, TabStyleFixedWidth}) {
        SCOPED_TRACE(fixed);
        TestTab& tab = Make(TabStyleTop | TabStylePageArea | fixed, 400);
        Add({u"i", u"WWWW"});
        tab.RecalcRectangles();
        const int narrow = TitleWidth(tab, u"i");
        const int wide = TitleWidth(tab, u"WWWW");
        ASSERT_GT(wide, narrow);
        const RECT& a = tab.Item(0).rect;
        const RECT& b = tab.Item(1).rect;
        EXPECT_EQ(a.right - a.left, 25 + (fixed ? wide : narrow) + 4);
        EXPECT_EQ(b.right - b.left, 25 + wide + 4);
        EXPECT_EQ(b.left, a.right);
    }
}

TEST_F(Layout, OffsetHidesTabsBeforeTheFirstVisibleOne)
{
    struct Case {
        DWORD extra;
        int offset;
        int firstShownLeft;  // where tab 2 starts
    };
    const Case cases[] = {
        {0, 10, 10},
        {0, 0, 0},
        // Buttons after the tabs leave no room before them: the offset is ignored.
        {TabStyleButtonsAfter, 10, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        TestTab& tab = Make(TabStyleTop | TabStylePageArea | c.extra, 400);
        Add({u"", u"", u"", u""});
        tab.m_firstVisible = 2;
        tab.RecalcRectangles();
        tab.RecalcOffset(c.offset);
        // Hidden: its rectangle keeps its place, its label area goes.
        EXPECT_EQ(tab.Item(0).shape, TabShapeHidden);
        EXPECT_TRUE(Same(tab.Item(0).rect, RECT{0, 0, kPlainTab, 25}));
        EXPECT_TRUE(Same(tab.Item(0).textRect, RECT{}));
        // The edge tab leaves no mark at all.
        EXPECT_EQ(tab.Item(1).shape, TabShapeEdge);
        EXPECT_TRUE(Same(tab.Item(1).rect, RECT{}));
        EXPECT_EQ(tab.Item(2).shape, TabShapeShown);
        EXPECT_EQ(tab.Item(2).rect.left, c.firstShownLeft);
        EXPECT_EQ(tab.Item(3).rect.left, c.firstShownLeft + kPlainTab);
        EXPECT_EQ(tab.Item(2).textRect.left, c.firstShownLeft + 12);
    }
}

TEST_F(Layout, AutoHiddenButtonsAppearOnlyWhenTabsDoNotFit)
{
    struct Case {
        const char* name;
        DWORD style;
        int tabs;
        bool wideTitle;
        int width;
        bool buttons;
    };
    const Case cases[] = {
        {"no tabs", kProgramStyle, 0, false, 200, false},
        {"one tab wider than the strip", kProgramStyle, 1, true, 60, false},
        {"two tabs that fit", kProgramStyle, 2, false, 200, false},
        {"two tabs exactly as wide as the strip", kProgramStyle, 2, false, 2 * kPlainTab, false},
        {"two tabs a pixel too wide", kProgramStyle, 2, false, 2 * kPlainTab - 1, true},
        {"no tabs without auto-hide", TabStyleTop | TabStylePageArea, 0, false, 200, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTab& tab = Make(c.style, c.width);
        for (int i = 0; i < c.tabs; ++i)
            tab.InsertItem(i, c.wideTitle ? u"A rather long title here" : u"", 0);
        tab.RecalcLayout(TabRecalc::Plain, tab.GetCurSel());
        EXPECT_EQ(tab.m_prevButton != TabButtonAbsent, c.buttons);
        EXPECT_EQ(tab.m_nextButton != TabButtonAbsent, c.buttons);
        EXPECT_EQ(tab.m_firstButton, TabButtonAbsent);
        if (!c.buttons) {
            EXPECT_EQ(tab.m_firstVisible, 0);
        }
    }
}

TEST_F(Layout, ButtonStylesShowTheirButtons)
{
    TestTab& tab = Make(TabStyleTop | TabStylePageArea | TabStyleFourButtons | TabStyleCloseButton);
    EXPECT_EQ(tab.m_closeButton, TabButtonShown);
    EXPECT_EQ(tab.m_prevButton, TabButtonShown);
    EXPECT_EQ(tab.m_firstButton, TabButtonShown);
    EXPECT_EQ(tab.m_lastButton, TabButtonShown);
    EXPECT_EQ(tab.Geometry().ButtonSlots(), 5);
    // Taking the styles away takes the buttons away.
    tab.ModifyTabStyle(TabStyleFourButtons | TabStyleCloseButton, 0, 0);
    EXPECT_EQ(tab.m_closeButton, TabButtonAbsent);
    EXPECT_EQ(tab.m_firstButton, TabButtonAbsent);
    EXPECT_EQ(tab.Geometry().ButtonSlots(), 2);
}

// The button plan as a value, on a 200 x 25 strip (buttons 22 pixels, the
// row 3 more) unless the case turns it: which buttons a layout pass shows
// and the room they leave the tabs.
TEST(TabButtonPlan, ButtonsShowAsTheStyleAndTheTabsNeed)
{
    struct Case {
        const char* name;
        DWORD style;
        RECT client;
        int tabCount;
        int tabsWidth;
        bool close;
        bool scroll;
        bool toEnds;
        int rowWidth;
        int tabsLeft;
        int tabsRight;
    };
    const DWORD strip = TabStyleTop | TabStylePageArea;
    const DWORD hide = TabStyleAutoHideButtons;
    const DWORD four = TabStyleFourButtons;
    const DWORD close = TabStyleCloseButton;
    const DWORD after = TabStyleButtonsAfter;
    const RECT wide{0, 0, 200, 100};
    const Case cases[] = {
        {"scroll buttons always, without auto-hide", strip, wide, 0, 0, false, true, false, 47, 47, 200},
        {"auto-hide: all tabs fit", strip | hide, wide, 3, 200, false, false, false, 0, 0, 200},
        {"auto-hide: a pixel too wide", strip | hide, wide, 3, 201, false, true, false, 47, 47, 200},
        {"auto-hide: one tab never scrolls", strip | hide, wide, 1, 500, false, false, false, 0, 0, 200},
        {"auto-hide: fits beside the close button", strip | hide | close, wide, 2, 175, true, false, false, 25, 25,
         200},
        {"auto-hide: a pixel too wide beside the close button", strip | hide | close, wide, 2, 176, true, true, false,
         69, 69, 200},
        {"auto-hide: go-to-end buttons go with the others", strip | hide | four, wide, 2, 100, false, false, false, 0,
         0, 200},
        {"four and close", strip | four | close, wide, 5, 400, true, true, true, 113, 113, 200},
        {"buttons after: the room ends at the row", strip | four | after, wide, 5, 400, false, true, true, 91, 0, 109},
        {"buttons after, close only", strip | hide | close | after, wide, 2, 100, true, false, false, 25, 0, 175},
        // Turned: the strip runs 200 along the window's height and is 30 across.
        {"vertical strip", TabStyleVertical, RECT{0, 0, 30, 200}, 4, 400, false, true, false, 57, 57, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TabStripGeometry geometry;
        geometry.client = c.client;
        geometry.style = c.style;
        const TabStripGeometry::ButtonPlan plan = geometry.PlanButtons(c.tabCount, c.tabsWidth);
        EXPECT_EQ(plan.close, c.close);
        EXPECT_EQ(plan.scroll, c.scroll);
        EXPECT_EQ(plan.toEnds, c.toEnds);
        EXPECT_EQ(plan.rowWidth, c.rowWidth);
        EXPECT_EQ(plan.tabsLeft, c.tabsLeft);
        EXPECT_EQ(plan.tabsRight, c.tabsRight);
    }
}

// Ten untitled tabs (290 pixels) on a 150-pixel strip with back and forward
// before them (47 pixels): tab k ends at 47 + (k - first + 1) * 29.
TEST_F(Layout, EachKindScrollsAsItShould)
{
    struct Case {
        const char* name;
        int firstVisible;  // before the pass
        TabRecalc kind;
        int index;
        int width;
        int expected;
    };
    const Case cases[] = {
        {"next scrolls one tab", 0, TabRecalc::Next, 0, 150, 1},
        {"next stops once the last tab fits", 7, TabRecalc::Next, 0, 150, 7},
        {"next scrolls while the last tab overhangs", 6, TabRecalc::Next, 0, 150, 7},
        {"prev scrolls one tab back", 4, TabRecalc::Prev, 0, 150, 3},
        {"prev stays at the first tab", 0, TabRecalc::Prev, 0, 150, 0},
        {"first goes to the start", 5, TabRecalc::First, 0, 150, 0},
        // Last goes to the last tab, then scrolls back while the last tab
        // still ends before the edge.
        {"last brings in as many tabs as fit", 0, TabRecalc::Last, 0, 150, 7},
        {"plain keeps a full strip", 7, TabRecalc::Plain, 0, 150, 7},
        // Widened to 250: first 3 would end the last tab exactly at the edge,
        // which counts as not fitting.
        {"plain scrolls back after widening", 7, TabRecalc::Plain, 0, 250, 4},
        {"plain scrolls back to the start when all but fit", 7, TabRecalc::Plain, 0, 290, 0},
        {"ensure-visible scrolls a tab in from the right", 0, TabRecalc::EnsureVisible, 5, 150, 3},
        {"ensure-visible leaves a shown tab alone", 2, TabRecalc::EnsureVisible, 3, 150, 2},
        {"ensure-visible brings in the edge tab", 3, TabRecalc::EnsureVisible, 2, 150, 2},
        {"ensure-visible ignores a tab further left", 3, TabRecalc::EnsureVisible, 0, 150, 3},
        {"an unknown kind acts as plain", 9, static_cast<TabRecalc>(42), 0, 150, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTab& tab = Make(kProgramStyle, c.width);
        for (int i = 0; i < 10; ++i)
            tab.InsertItem(i, u"", 0);
        tab.m_firstVisible = c.firstVisible;
        tab.RecalcLayout(c.kind, c.index);
        EXPECT_EQ(tab.m_firstVisible, c.expected);
        // Whatever the pass, the first shown tab starts right after the buttons.
        if (tab.m_prevButton != TabButtonAbsent) {
            EXPECT_EQ(tab.Item(tab.m_firstVisible).rect.left, 47);
        }
    }
}

TEST_F(Layout, WideningTheWindowScrollsBackAndAllFittingHidesTheButtons)
{
    TestTab& tab = Make(kProgramStyle, 150);
    for (int i = 0; i < 10; ++i)
        tab.InsertItem(i, u"", 0);
    tab.RecalcLayout(TabRecalc::Last, 0);
    ASSERT_EQ(tab.m_firstVisible, 7);
    tab.MoveWindow(0, 0, 250, 100);
    EXPECT_EQ(tab.m_firstVisible, 4);
    tab.MoveWindow(0, 0, 300, 100);
    EXPECT_EQ(tab.m_firstVisible, 0);
    EXPECT_EQ(tab.m_prevButton, TabButtonAbsent);
    EXPECT_EQ(tab.Item(0).rect.left, 0);
}

// Hit rectangles on a 200-pixel strip of 25 rows (button width s = 23),
// without tabs so that only the buttons answer.
TEST_F(Layout, ButtonsAreHitWhereTheyLie)
{
    struct Case {
        const char* name;
        DWORD style;
        std::vector<std::pair<int, int>> points;  // x, expected hit
    };
    const DWORD four = TabStyleFourButtons;
    const DWORD close = TabStyleCloseButton;
    const DWORD after = TabStyleButtonsAfter;
    const Case cases[] = {
        {"before, two",
         0,
         {{0, HitItem(TabHit::Prev)},
          {23, HitItem(TabHit::Prev)},
          {24, HitItem(TabHit::Next)},
          {48, HitItem(TabHit::Next)},
          {49, HitItem(TabHit::Nowhere)}}},
        {"before, two and close",
         close,
         {{0, HitItem(TabHit::Close)},
          {23, HitItem(TabHit::Close)},
          {24, HitItem(TabHit::Prev)},
          {46, HitItem(TabHit::Prev)},
          {47, HitItem(TabHit::Next)},
          {71, HitItem(TabHit::Next)},
          {72, HitItem(TabHit::Nowhere)}}},
        {"before, four",
         four,
         {{0, HitItem(TabHit::First)},
          {23, HitItem(TabHit::First)},
          {24, HitItem(TabHit::Prev)},
          {46, HitItem(TabHit::Prev)},
          {47, HitItem(TabHit::Next)},
          {70, HitItem(TabHit::Next)},
          {71, HitItem(TabHit::Last)},
          {94, HitItem(TabHit::Last)},
          {95, HitItem(TabHit::Nowhere)}}},
        {"before, four and close",
         four | close,
         {{23, HitItem(TabHit::Close)},
          {24, HitItem(TabHit::First)},
          {46, HitItem(TabHit::First)},
          {47, HitItem(TabHit::Prev)},
          {70, HitItem(TabHit::Next)},
          {93, HitItem(TabHit::Next)},
          {94, HitItem(TabHit::Last)},
          {117, HitItem(TabHit::Last)},
          {118, HitItem(TabHit::Nowhere)}}},
        {"after, two",
         after,
         {{150, HitItem(TabHit::Nowhere)},
          {151, HitItem(TabHit::Prev)},
          {175, HitItem(TabHit::Prev)},
          {176, HitItem(TabHit::Next)},
          {199, HitItem(TabHit::Next)}}},
        {"after, two and close",
         after | close,
         {{127, HitItem(TabHit::Nowhere)},
          {128, HitItem(TabHit::Prev)},
          {152, HitItem(TabHit::Prev)},
          {153, HitItem(TabHit::Next)},
          {175, HitItem(TabHit::Next)},
          {176, HitItem(TabHit::Close)},
          {199, HitItem(TabHit::Close)}}},
        {"after, four",
         after | four,
         {{104, HitItem(TabHit::Nowhere)},
          {105, HitItem(TabHit::First)},
          {129, HitItem(TabHit::Prev)},
          {153, HitItem(TabHit::Next)},
          {175, HitItem(TabHit::Next)},
          {176, HitItem(TabHit::Last)},
          {199, HitItem(TabHit::Last)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTab& tab = Make(TabStyleTop | TabStylePageArea | c.style);
        for (auto [x, hit] : c.points) {
            EXPECT_EQ(tab.HitTest(x, 12), hit) << "x " << x;
        }
        // The strip's rows only: the page area below is nobody's.
        EXPECT_EQ(tab.HitTest(c.points.front().first, 24), c.points.front().second);
        EXPECT_EQ(tab.HitTest(c.points.front().first, 25), HitItem(TabHit::Nowhere));
    }
}

TEST_F(Layout, OnlyShownTabsAreHit)
{
    TestTab& tab = Make(kProgramStyle, 150);
    for (int i = 0; i < 10; ++i)
        tab.InsertItem(i, u"", 0);
    tab.m_firstVisible = 3;
    tab.RecalcLayout(TabRecalc::Plain, 0);
    ASSERT_EQ(tab.m_firstVisible, 3);
    // Tab 0 is scrolled out but keeps its unshifted rectangle (0..29), which
    // lies under the back button: the button answers, never the hidden tab.
    EXPECT_EQ(tab.HitTest(5, 5), HitItem(TabHit::Prev));
    // The forward button's hit area reaches two pixels into the first tab.
    EXPECT_EQ(tab.HitTest(47, 5), HitItem(TabHit::Next));
    EXPECT_EQ(tab.HitTest(49, 5), 3);
    // Tab 1 is hidden too, its rectangle (29..58) still under this point.
    EXPECT_EQ(tab.HitTest(50, 5), 3);
    EXPECT_EQ(tab.HitTest(47 + kPlainTab, 5), 4);
    EXPECT_EQ(tab.HitTest(149, 5), 6);
}

// The selected tab, tracked by its title.
CString SelectedTitle(const TestTab& tab)
{
    return tab.GetCurSel() < 0 ? CString(u"-") : tab.Title(tab.GetCurSel());
}

// Exactly the tab at m_selected carries the selected flag.
void ExpectOneSelectedFlag(const TestTab& tab)
{
    for (int i = 0; i < tab.GetItemCount(); ++i) {
        EXPECT_EQ(tab.Item(i).selected != FALSE, i == tab.GetCurSel()) << "tab " << i;
    }
}

TEST_F(Layout, InsertAndDeleteKeepTheSelectedTab)
{
    struct Case {
        const char* name;
        int select;  // before the change; -1 for none
        bool insert;
        int index;
        int result;
        CString selected;
        int count;
    };
    // Tabs A B C.
    const Case cases[] = {
        {"insert before the selected tab", 1, true, 0, 0, u"B", 4},
        {"insert at the selected tab's place", 1, true, 1, 1, u"B", 4},
        {"insert after the selected tab", 1, true, 3, 3, u"B", 4},
        {"insert never selects", -1, true, 0, 0, u"-", 4},
        {"delete the selected last tab", 2, false, 2, 0, u"B", 2},
        {"delete the selected middle tab", 1, false, 1, 0, u"C", 2},
        {"delete the selected first tab", 0, false, 0, 0, u"B", 2},
        {"delete before the selected tab", 2, false, 0, 0, u"C", 2},
        {"delete after the selected tab", 0, false, 2, 0, u"A", 2},
        {"insert below zero", 1, true, -1, TabErrIndex, u"B", 3},
        {"insert past the end", 1, true, 4, TabErrIndex, u"B", 3},
        {"delete past the end", 1, false, 3, TabErrIndex, u"B", 3},
        {"delete below zero", 1, false, -1, TabErrIndex, u"B", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTab& tab = Make(kProgramStyle);
        Add({u"A", u"B", u"C"});
        if (c.select >= 0) {
            ASSERT_EQ(tab.SetCurSel(c.select, FALSE, FALSE), 0);
        }
        const int result = c.insert ? tab.InsertItem(c.index, u"N", 0) : tab.DeleteItem(c.index);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(tab.GetItemCount(), c.count);
        EXPECT_TRUE(SelectedTitle(tab) == c.selected);
        ExpectOneSelectedFlag(tab);
    }
}

TEST_F(Layout, FirstTabStaysUnselectedAndTheOnlyTabLeavesNothingSelected)
{
    TestTab& tab = Make(kProgramStyle);
    EXPECT_EQ(tab.InsertItem(0, u"Only", 7), 0);
    EXPECT_EQ(tab.GetCurSel(), -1);
    EXPECT_EQ(tab.SetCurSel(0, FALSE, FALSE), 0);
    EXPECT_EQ(tab.DeleteItem(0), 0);
    EXPECT_EQ(tab.GetCurSel(), -1);
    EXPECT_EQ(tab.GetItemCount(), 0);
}

TEST_F(Layout, TitlesLongerThan29CharactersAreRefused)
{
    TestTab& tab = Make(kProgramStyle);
    const CString longest(29, u'x');
    EXPECT_EQ(tab.InsertItem(0, longest, 0), 0);
    EXPECT_EQ(tab.InsertItem(1, longest + u"x", 0), TabErrTextTooLong);
    EXPECT_EQ(tab.GetItemCount(), 1);
}

TEST_F(Layout, SelectionByProgramScrollsTheTabToTheFront)
{
    TestTab& tab = Make(kProgramStyle, 150);
    for (int i = 0; i < 10; ++i)
        tab.InsertItem(i, u"", 0);
    EXPECT_EQ(tab.SetCurSel(10, FALSE, FALSE), TabErrIndex);
    EXPECT_EQ(tab.GetCurSel(), -1);
    EXPECT_EQ(tab.SetCurSel(4, FALSE, FALSE), 0);
    EXPECT_EQ(tab.m_firstVisible, 4);
    // Near the end the strip stays full instead.
    EXPECT_EQ(tab.SetCurSel(9, FALSE, FALSE), 0);
    EXPECT_EQ(tab.m_firstVisible, 7);
    ExpectOneSelectedFlag(tab);
}

TEST_F(Layout, HighlightNeedsItsStyleAndFollowsTheSelection)
{
    TestTab& plain = Make(kProgramStyle);
    Add({u"A", u"B", u"C"});
    EXPECT_EQ(plain.HighlightItem(0, FALSE, FALSE), TabErrNoMultiHighlight);
    EXPECT_FALSE(plain.Item(0).highlighted);

    TestTab& tab = Make(kProgramStyle | TabStyleMultiHighlight);
    Add({u"A", u"B", u"C"});
    tab.SetCurSel(0, FALSE, FALSE);
    EXPECT_TRUE(tab.Item(0).highlighted);
    // Ctrl toggles others, never the selected tab.
    EXPECT_EQ(tab.HighlightItem(2, TRUE, TRUE), 0);
    EXPECT_TRUE(tab.Item(2).highlighted);
    EXPECT_TRUE(tab.Item(2).highlightChanged);
    tab.HighlightItem(0, TRUE, TRUE);
    EXPECT_TRUE(tab.Item(0).highlighted);
    // A plain selection highlights the selected tab alone.
    tab.SetCurSel(1, TRUE, FALSE);
    EXPECT_TRUE(tab.Item(1).highlighted);
    EXPECT_FALSE(tab.Item(0).highlighted);
    EXPECT_FALSE(tab.Item(2).highlighted);
    // Taking the style away clears every highlight; giving it back marks the selected tab.
    tab.ModifyTabStyle(TabStyleMultiHighlight, 0, 0);
    EXPECT_FALSE(tab.Item(1).highlighted);
    tab.ModifyTabStyle(0, TabStyleMultiHighlight, 0);
    EXPECT_TRUE(tab.Item(1).highlighted);
}

TEST_F(Layout, VerticalBitsCanOnlyBeTakenAway)
{
    TestTab& tab = Make(kProgramStyle);
    EXPECT_TRUE(tab.ModifyTabStyle(0, 0x0800, 0));
    EXPECT_EQ(tab.GetStyle() & TabStyleVertical, 0u);
    TestTab& vertical = Make(kProgramStyle | 0x1000);
    vertical.ModifyTabStyle(0, 0, 0);
    EXPECT_EQ(vertical.GetStyle() & TabStyleVertical, 0u);
}

TEST_F(Layout, AttachingAddsClipChildren)
{
    TestTab& tab = Make(kProgramStyle);
    EXPECT_NE(tab.GetStyle() & 0x02000000u, 0u);
}

TEST_F(Layout, PageAreaRequest)
{
    struct Case {
        DWORD style;
        BOOL larger;
        RECT expected;
    };
    // The control sits at (3, 4) on its parent, 155 x 107.
    const Case cases[] = {
        {kProgramStyle, FALSE, {0, 25, 155, 107}},
        {TabStylePageArea, FALSE, {0, 0, 155, 82}},
        {TabStyleTop, FALSE, {0, 0, 155, 107}},
        {kProgramStyle, TRUE, {3, 4, 158, 111}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TestTab& tab = Make(c.style, 155, 107, 3, 4);
        RECT r{};
        tab.GetClientRect(&r);
        EXPECT_EQ(tab.AdjustRect(c.larger, &r), 0);
        EXPECT_TRUE(Same(r, c.expected)) << Show(r);
        EXPECT_EQ(tab.SendMessage(TCM_ADJUSTRECT, 0, 0), 0);
    }
    // Without a window nothing is asked and nothing changes.
    TestTab unattached;
    RECT r{1, 2, 3, 4};
    EXPECT_EQ(unattached.AdjustRect(FALSE, &r), 0);
    EXPECT_TRUE(Same(r, RECT{1, 2, 3, 4}));
}

// A screen with either side above 320 pixels gets a strip twice as high and
// fonts twice as large.
TEST_F(Layout, LargeScreenDoublesTheStripAndItsFont)
{
    struct Case {
        int screenWidth;
        int screenHeight;
        int strip;
        int fontHeight;
    };
    const Case cases[] = {{240, 320, 25, 12}, {320, 240, 25, 12}, {321, 240, 50, 24}, {480, 640, 50, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight));
        platform::core::SetScreenSize(c.screenWidth, c.screenHeight);
        TestTab& tab = Make(kProgramStyle, 155, 107);
        platform::core::SetScreenSize(0, 0);
        RECT page{};
        tab.GetClientRect(&page);
        tab.AdjustRect(FALSE, &page);
        EXPECT_EQ(page.top, c.strip);
        Add({u"", u""});
        EXPECT_EQ(tab.Item(0).rect.bottom, c.strip);
        LOGFONTW normal;
        LOGFONTW bold;
        ASSERT_NE(GetObjectW(tab.m_font, sizeof(normal), &normal), 0);
        ASSERT_NE(GetObjectW(tab.m_boldFont, sizeof(bold), &bold), 0);
        EXPECT_EQ(normal.lfHeight, c.fontHeight);
        EXPECT_EQ(normal.lfWeight, FW_NORMAL);
        EXPECT_EQ(bold.lfHeight, c.fontHeight);
        EXPECT_EQ(bold.lfWeight, FW_BOLD);
        EXPECT_EQ(CString(bold.lfFaceName), u"Tahoma");
    }
}

TEST_F(Layout, RegisteredClassAsksForDoubleTaps)
{
    Make(kProgramStyle);
    WNDCLASSW wc{};
    ASSERT_TRUE(GetClassInfoW(AfxGetInstanceHandle(), u"CCustomTabCtrl", &wc));
    EXPECT_EQ(wc.style, 0x000Bu);
    EXPECT_TRUE(CCustomTabCtrl::RegisterWindowClass());
    EXPECT_TRUE(tab->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_STREQ(tab->GetRuntimeClass()->m_lpszClassName, "CCustomTabCtrl");
}

}  // namespace
