// Editing a tab's title in place: the refusals, and the editor's own message
// loop driven by real key presses on the line edit.
#include "TabTestSupport.h"

#include "platform/TestingWidgets.h"
#include "platform/core/MessageQueue.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

class TitleEdit : public TabFixture<TestTab> {
protected:
    TestTab& MakeEditable(DWORD extra = TabStyleEditLabels)
    {
        TestTab& tab = Make(kProgramStyle | extra);
        Add({u"Alpha", u"Beta"});
        tab.SetCurSel(0, FALSE, FALSE);
        parent.heard.clear();
        return tab;
    }

    QLineEdit* Line()
    {
        QWidget* widget = platform::testing::WidgetOf(tab->m_editor.GetSafeHwnd());
        return widget != nullptr ? widget->findChild<QLineEdit*>() : nullptr;
    }

    // Runs the steps one after another from inside the editor's loop, each
    // a moment after the previous one, so that the keys of one step have
    // been through the loop before the next looks.
    void Script(std::vector<std::function<void()>> steps)
    {
        int delay = 0;
        for (auto& step : steps) {
            QTimer::singleShot(delay, step);
            delay += 30;
        }
    }

    std::vector<CString> seen;  // titles looked at during editing
};

TEST_F(TitleEdit, RefusalsComeInTheirOrder)
{
    struct Case {
        const char* name;
        DWORD style;
        int index;
        int expected;
    };
    const Case cases[] = {
        {"index out of range", TabStyleEditLabels, 5, TabErrIndex},
        {"no edit style", 0, 0, TabErrNoEditLabels},
        {"not the selected tab", TabStyleEditLabels, 1, TabErrNotSelected},
        {"vertical strip", TabStyleEditLabels | 0x0800, 0, TabErrVertical},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTab& tab = MakeEditable(c.style);
        EXPECT_EQ(tab.EditLabel(c.index, FALSE), c.expected);
        EXPECT_FALSE(tab.EditorExists());
    }
}

TEST_F(TitleEdit, EscapeRestoresTheTitleEditedLive)
{
    TestTab& tab = MakeEditable();
    int second = 0;
    Script({
        [&] {
            ASSERT_NE(Line(), nullptr);
            EXPECT_EQ(Line()->text(), "Alpha");
            EXPECT_EQ(Line()->selectedText(), "Alpha");  // all selected: typing replaces it
            QTest::keyClicks(Line(), "Wide title");
        },
        [&] {
            seen.push_back(tab.Title(0));
            // Asking again while the editor is open is refused.
            second = tab.EditLabel(0, FALSE);
            QTest::keyClick(Line(), Qt::Key_Escape);
        },
    });
    EXPECT_EQ(tab.EditLabel(0, FALSE), 0);
    EXPECT_EQ(seen, std::vector<CString>{u"Wide title"});
    EXPECT_EQ(second, TabErrEditing);
    EXPECT_EQ(tab.Title(0), u"Alpha");
    EXPECT_FALSE(tab.EditorExists());
    EXPECT_TRUE(parent.heard.empty());
    // The tab is laid out for its old title again.
    const RECT before = tab.Item(0).rect;
    tab.RecalcLayout(TabRecalc::Plain, 0);
    EXPECT_EQ(tab.Item(0).rect.right, before.right);
}

TEST_F(TitleEdit, ReturnRefusedByTheParentKeepsEditing)
{
    TestTab& tab = MakeEditable();
    LRESULT answer = 1;
    parent.answer = [&](const TabNotify& n) { return n.hdr.code == TabNotifyLabelUpdate ? answer : 0; };
    bool stillOpen = false;
    Script({
        [&] { QTest::keyClicks(Line(), "Gamma"); },
        [&] { QTest::keyClick(Line(), Qt::Key_Return); },
        [&] {
            stillOpen = tab.EditorExists();
            answer = 0;
            QTest::keyClick(Line(), Qt::Key_Return);
        },
    });
    EXPECT_EQ(tab.EditLabel(0, FALSE), 0);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(parent.heard, (std::vector<Heard>{{TabNotifyLabelUpdate, 0}, {TabNotifyLabelUpdate, 0}}));
    EXPECT_EQ(CString(parent.records[0].text), u"Gamma");
    EXPECT_EQ(tab.Title(0), u"Gamma");
    EXPECT_FALSE(tab.EditorExists());
}

TEST_F(TitleEdit, EditorTakesAtMostThirtyCharacters)
{
    TestTab& tab = MakeEditable();
    Script({
        [&] { QTest::keyClicks(Line(), QString(35, 'x')); },
        [&] { QTest::keyClick(Line(), Qt::Key_Return); },
    });
    tab.EditLabel(0, FALSE);
    EXPECT_EQ(tab.Title(0), CString(30, u'x'));
}

TEST_F(TitleEdit, TapOnAnotherTabEndsTheEditAndActs)
{
    TestTab& tab = MakeEditable();
    const POINT other = tab.Centre(1);
    const POINT self = tab.Centre(0);
    Script({
        [&] { QTest::keyClicks(Line(), "New"); },
        [&] {
            // Taps on the tab being edited, and double taps, are swallowed.
            platform::core::DeliverInput(
                MSG{tab.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(self.x, self.y), 0, {}, 0});
            platform::core::DeliverInput(
                MSG{tab.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(other.x, other.y), 0, {}, 0});
        },
        [&] {
            seen.push_back(tab.EditorExists() ? u"open" : u"closed");
            platform::core::DeliverInput(
                MSG{tab.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(other.x, other.y), 0, {}, 0});
        },
    });
    tab.EditLabel(0, FALSE);
    EXPECT_EQ(seen, std::vector<CString>{u"open"});
    EXPECT_EQ(tab.Title(0), u"New");
    EXPECT_FALSE(tab.EditorExists());
    // The tap went on to the strip: the other tab is selected.
    EXPECT_EQ(tab.GetCurSel(), 1);
    EXPECT_EQ(parent.heard, (std::vector<Heard>{{TabNotifyLabelUpdate, 0}, {NM_CLICK, 1}, {TabNotifySelChange, 1}}));
}

TEST_F(TitleEdit, TapEndingTheEditActsOnTheStripAsShown)
{
    // More tabs than the strip holds, the last one selected and edited.
    TestTab& tab = Make(kProgramStyle | TabStyleEditLabels);
    Add({u"Alpha", u"Beta", u"Gamma", u"Delta", u"Epsilon", u"The long last title"});
    const int last = tab.GetItemCount() - 1;
    tab.SetCurSel(last, TRUE, FALSE);
    parent.heard.clear();
    int firstVisible = -1;
    int under = -1;
    Script({
        // A short title leaves room for more than one tab at the strip's
        // end while it is edited.
        [&] { QTest::keyClicks(Line(), "Z"); },
        [&] {
            firstVisible = tab.m_firstVisible;
            // Right of the edited tab the strip shows empty space; laid
            // out anew for the shorter title, other tabs would move there.
            POINT p = tab.Centre(last);
            p.x = tab.Item(last).rect.right + 10;
            under = tab.HitTest(p.x, p.y);
            platform::core::DeliverInput(MSG{tab.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y), 0, {}, 0});
        },
    });
    tab.EditLabel(last, FALSE);
    ASSERT_GT(firstVisible, 0) << "the strip was not scrolled";
    ASSERT_EQ(under, HitItem(TabHit::Nowhere));
    EXPECT_EQ(tab.Title(last), u"Z");
    EXPECT_FALSE(tab.EditorExists());
    // The tap hit what was under the stylus: nothing, so the selection stays.
    EXPECT_EQ(tab.GetCurSel(), last);
    EXPECT_EQ(tab.m_firstVisible, firstVisible);
    EXPECT_EQ(parent.heard, (std::vector<Heard>{{TabNotifyLabelUpdate, last}, {NM_CLICK, HitItem(TabHit::Nowhere)}}));
}

TEST_F(TitleEdit, DoubleTapOnTheSelectedTabEditsItsTitle)
{
    TestTab& tab = MakeEditable();
    const POINT p = tab.Centre(0);
    bool opened = false;
    Script({[&] {
        opened = tab.EditorExists();
        QTest::keyClick(Line(), Qt::Key_Escape);
    }});
    tab.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(opened);
    EXPECT_EQ(GetCapture(), nullptr);  // let go for the editor
    EXPECT_EQ(parent.heard, (std::vector<Heard>{{NM_DBLCLK, 0}}));
}

TEST_F(TitleEdit, QuitRequestCancelsTheEditAndStaysQueued)
{
    TestTab& tab = MakeEditable();
    Script({
        [&] { QTest::keyClicks(Line(), "Zeta"); },
        [&] { PostQuitMessage(3); },
    });
    tab.EditLabel(0, FALSE);
    EXPECT_EQ(tab.Title(0), u"Alpha");
    EXPECT_FALSE(tab.EditorExists());
    // The loop outside gets the request.
    MSG msg{};
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
