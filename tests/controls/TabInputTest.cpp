// Taps, double taps and held buttons, seen as the notifications the parent
// receives, and the repeat of a held scroll button on a controlled clock.
#include "TabTestSupport.h"

#include "platform/Testing.h"

namespace {

using Input = TabFixture<TestTab>;
using Sequence = std::vector<Heard>;

TEST_F(Input, TapsNotifyTheParent)
{
    struct Case {
        const char* name;
        int tapTab;  // a tab index, or -1 for the empty strip
        Sequence expected;
        int selectedAfter;
    };
    const Case cases[] = {
        {"tap on the selected tab", 0, {{NM_CLICK, 0}}, 0},
        {"tap on another tab", 1, {{NM_CLICK, 1}, {TabNotifySelChange, 1}}, 1},
        {"tap on the empty strip", -1, {{NM_CLICK, HitItem(TabHit::Nowhere)}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTab& tab = Make(kProgramStyle);
        Add({u"Scanner", u"Options"});
        tab.SetCurSel(0, FALSE, FALSE);
        parent.heard.clear();
        parent.records.clear();
        // The click is told before anything changes.
        parent.answer = [&](const TabNotify& n) {
            if (n.hdr.code == NM_CLICK) {
                EXPECT_EQ(tab.GetCurSel(), 0);
            }
            return LRESULT{0};
        };
        Tap(c.tapTab >= 0 ? tab.Centre(c.tapTab) : POINT{190, 10});
        EXPECT_EQ(parent.heard, c.expected);
        EXPECT_EQ(tab.GetCurSel(), c.selectedAfter);
        EXPECT_EQ(GetCapture(), nullptr);
        parent.answer = nullptr;
    }
}

TEST_F(Input, NotificationRecordDescribesTheTab)
{
    TestTab& tab = Make(kProgramStyle);
    tab.InsertItem(0, u"Scanner", 11);
    tab.InsertItem(1, u"Options", 22);
    tab.SetCurSel(0, FALSE, FALSE);
    const POINT p = tab.Centre(1);
    Tap(p);
    ASSERT_EQ(parent.records.size(), 2u);
    const TabNotify& click = parent.records[0];
    EXPECT_EQ(click.hdr.hwndFrom, tab.m_hWnd);
    EXPECT_EQ(click.hdr.idFrom, static_cast<UINT_PTR>(kTabId));
    EXPECT_EQ(CString(click.text), u"Options");
    EXPECT_EQ(click.data, 22u);
    EXPECT_EQ(click.point.x, p.x);
    EXPECT_EQ(click.point.y, p.y);
    EXPECT_FALSE(click.selected);  // still the old selection
    EXPECT_EQ(click.textRect.left, tab.Item(1).textRect.left);
    const TabNotify& change = parent.records[1];
    EXPECT_TRUE(change.selected);

    // A hit code carries only the header, the code and the point.
    parent.records.clear();
    Tap(POINT{190, 10});
    ASSERT_EQ(parent.records.size(), 1u);
    EXPECT_EQ(parent.records[0].item, HitItem(TabHit::Nowhere));
    EXPECT_EQ(parent.records[0].text[0], 0);
    EXPECT_EQ(parent.records[0].data, 0u);
    EXPECT_EQ(parent.records[0].point.x, 190);
}

TEST_F(Input, DoubleTapPressesTwiceButNotifiesTheSelectionOnce)
{
    TestTab& tab = Make(kProgramStyle);
    Add({u"Scanner", u"Options"});
    tab.SetCurSel(0, FALSE, FALSE);
    const POINT p = tab.Centre(1);
    const LPARAM at = MAKELPARAM(p.x, p.y);
    tab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    tab.SendMessage(WM_LBUTTONUP, 0, at);
    tab.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    tab.SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(parent.heard, (Sequence{{NM_CLICK, 1}, {TabNotifySelChange, 1}, {NM_DBLCLK, 1}}));
}

TEST_F(Input, HighlightChangesAreToldAfterTheTap)
{
    TestTab& tab = Make(kProgramStyle | TabStyleMultiHighlight);
    Add({u"A", u"B", u"C"});
    tab.SetCurSel(0, FALSE, FALSE);
    // A plain tap moves the selection and the highlight with it.
    Tap(tab.Centre(1));
    EXPECT_EQ(
        parent.heard,
        (Sequence{
            {NM_CLICK, 1}, {TabNotifySelChange, 1}, {TabNotifyHighlightChange, 0}, {TabNotifyHighlightChange, 1}}));
    // Ctrl+tap adds a highlight and leaves the selection.
    parent.heard.clear();
    Tap(tab.Centre(2), MK_CONTROL);
    EXPECT_EQ(parent.heard, (Sequence{{NM_CLICK, 2}, {TabNotifyHighlightChange, 2}}));
    EXPECT_EQ(tab.GetCurSel(), 1);
    EXPECT_TRUE(tab.Item(2).highlighted);
    // Ctrl+tap on the selected tab changes nothing.
    parent.heard.clear();
    Tap(tab.Centre(1), MK_CONTROL);
    EXPECT_EQ(parent.heard, (Sequence{{NM_CLICK, 1}}));
    // Once the style is taken away, a tap tells of no highlight change: the
    // marks left by the last tap with the style are not told again.
    Tap(tab.Centre(2), MK_CONTROL);
    ASSERT_TRUE(tab.Item(2).highlightChanged);
    tab.ModifyTabStyle(TabStyleMultiHighlight, 0, 0);
    parent.heard.clear();
    Tap(tab.Centre(0));
    EXPECT_EQ(parent.heard, (Sequence{{NM_CLICK, 0}, {TabNotifySelChange, 0}}));
}

TEST_F(Input, CloseButtonShowsPressedUntilReleaseAndDoesNothingElse)
{
    TestTab& tab = Make(kProgramStyle | TabStyleCloseButton);
    Add({u"A", u"B"});
    tab.SetCurSel(1, FALSE, FALSE);
    tab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(parent.heard, (Sequence{{NM_CLICK, HitItem(TabHit::Close)}}));
    EXPECT_EQ(tab.m_closeButton, TabButtonPressed);
    EXPECT_EQ(GetCapture(), tab.m_hWnd);
    EXPECT_EQ(platform::core::TimerPeriod(tab.m_hWnd, kTabRepeatTimer), 0u);
    tab.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(tab.m_closeButton, TabButtonShown);
    EXPECT_EQ(tab.GetItemCount(), 2);
    EXPECT_EQ(tab.GetCurSel(), 1);
    EXPECT_EQ(parent.heard.size(), 1u);
}

// A parent that takes tabs away when it hears of the click must not make
// the press act on a tab that is gone.
TEST_F(Input, TapSurvivesTheParentDeletingTabsOnTheClick)
{
    TestTab& tab = Make(kProgramStyle);
    Add({u"A", u"B", u"C"});
    tab.SetCurSel(0, FALSE, FALSE);
    const POINT p = tab.Centre(2);
    parent.answer = [&](const TabNotify& n) {
        if (n.hdr.code == NM_CLICK) {
            tab.DeleteItem(2);
            tab.DeleteItem(1);
        }
        return LRESULT{0};
    };
    Tap(p);
    EXPECT_EQ(parent.heard, (Sequence{{NM_CLICK, 2}}));
    EXPECT_EQ(tab.GetCurSel(), 0);
}

// Ten untitled tabs on a 150-pixel strip; the forward button is at x 24..48.
TEST_F(Input, HeldForwardButtonRepeatsEveryHalfSecond)
{
    DWORD now = 1000;
    platform::core::SetTickCountOverride([&] { return now; });
    platform::core::HoldTimers(true);
    TestTab& tab = Make(kProgramStyle, 150);
    for (int i = 0; i < 10; ++i)
        tab.InsertItem(i, u"", 0);
    ASSERT_EQ(tab.HitTest(30, 10), HitItem(TabHit::Next));

    tab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
    EXPECT_EQ(tab.m_firstVisible, 1);  // once at the press
    EXPECT_EQ(tab.m_nextButton, TabButtonPressed);
    EXPECT_EQ(platform::core::TimerPeriod(tab.m_hWnd, kTabRepeatTimer), 100u);

    struct Tick {
        DWORD at;
        int firstVisible;
    };
    const Tick ticks[] = {
        {1100, 1}, {1200, 1}, {1499, 1}, {1500, 2}, {1600, 2}, {1999, 2}, {2000, 3}, {2600, 4}, {3100, 5},
    };
    for (const Tick& t : ticks) {
        now = t.at;
        tab.SendMessage(WM_TIMER, kTabRepeatTimer, 0);
        EXPECT_EQ(tab.m_firstVisible, t.firstVisible) << "at " << t.at;
    }
    // Another timer id is not the repeat.
    now = 5000;
    tab.SendMessage(WM_TIMER, 7, 0);
    EXPECT_EQ(tab.m_firstVisible, 5);

    // Release: the button comes up, the timer stops, nothing scrolls.
    tab.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
    EXPECT_EQ(tab.m_firstVisible, 5);
    EXPECT_EQ(tab.m_nextButton, TabButtonShown);
    EXPECT_EQ(tab.m_prevButton, TabButtonShown);
    EXPECT_EQ(platform::core::TimerPeriod(tab.m_hWnd, kTabRepeatTimer), 0u);
    now = 9000;
    tab.SendMessage(WM_TIMER, kTabRepeatTimer, 0);
    EXPECT_EQ(tab.m_firstVisible, 5);

    platform::core::HoldTimers(false);
    platform::core::SetTickCountOverride({});
}

TEST_F(Input, RepeatCountsAcrossTheTickCounterWrapping)
{
    DWORD now = 0xFFFFFF00u;
    platform::core::SetTickCountOverride([&] { return now; });
    platform::core::HoldTimers(true);
    TestTab& tab = Make(kProgramStyle, 150);
    for (int i = 0; i < 10; ++i)
        tab.InsertItem(i, u"", 0);
    tab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
    now = 0xFFFFFF00u + 499u;
    tab.SendMessage(WM_TIMER, kTabRepeatTimer, 0);
    EXPECT_EQ(tab.m_firstVisible, 1);
    now = 0xFFFFFF00u + 500u;  // past zero
    tab.SendMessage(WM_TIMER, kTabRepeatTimer, 0);
    EXPECT_EQ(tab.m_firstVisible, 2);
    tab.SendMessage(WM_LBUTTONUP, 0, 0);
    platform::core::HoldTimers(false);
    platform::core::SetTickCountOverride({});
}

TEST_F(Input, ScrollButtonsEachRunTheirPass)
{
    struct Case {
        int x;
        int firstVisibleBefore;
        int firstVisibleAfter;
    };
    // Four buttons before the tabs, 23 pixels each: first, back, forward, last.
    const Case cases[] = {{5, 4, 0}, {30, 4, 3}, {50, 4, 5}, {80, 0, 8}};
    platform::core::HoldTimers(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        TestTab& tab = Make(kProgramStyle | TabStyleFourButtons, 150);
        for (int i = 0; i < 10; ++i)
            tab.InsertItem(i, u"", 0);
        tab.m_firstVisible = c.firstVisibleBefore;
        tab.RecalcLayout(TabRecalc::Plain, -1);
        Tap(POINT{c.x, 10});
        EXPECT_EQ(tab.m_firstVisible, c.firstVisibleAfter);
        EXPECT_EQ(tab.m_firstButton, TabButtonShown);
        EXPECT_EQ(tab.m_lastButton, TabButtonShown);
    }
    platform::core::HoldTimers(false);
}

}  // namespace
