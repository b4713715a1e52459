// The "edit" window class: text in and out, the selection, the text limit,
// the change notification, and keys that pass through a waiting loop.
#include "platform/TestingWidgets.h"
#include "platform/core/Edit.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/Wnd.h"
#include "tests/support/PlainWindow.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace {

class CommandRecorder : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back({wParam, lParam});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::pair<WPARAM, LPARAM>> commands;
};

class EditControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreatePlainWindow(parent, RECT{0, 0, 200, 100}));
        edit = CreateWindowExW(0, u"EDIT", u"start", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 120, 20,
                               parent.m_hWnd, 7, AfxGetInstanceHandle(), nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { parent.DestroyWindow(); }

    QLineEdit* Line() const { return platform::testing::WidgetOf(edit)->findChild<QLineEdit*>(); }

    CString Text() const
    {
        WCHAR buffer[64] = {};
        GetWindowTextW(edit, buffer, 64);
        return buffer;
    }

    CommandRecorder parent;
    HWND edit = nullptr;
};

TEST_F(EditControl, TextGoesInAndOutAndEveryChangeIsTold)
{
    EXPECT_EQ(Text(), u"start");
    EXPECT_EQ(GetWindowTextLengthW(edit), 5);
    SetWindowTextW(edit, u"Gr\u00FC\u00DFe");
    EXPECT_EQ(Text(), u"Gr\u00FC\u00DFe");
    ASSERT_EQ(parent.commands.size(), 1u);
    EXPECT_EQ(parent.commands[0].first, MAKEWPARAM(7, EN_UPDATE));
    EXPECT_EQ(parent.commands[0].second, reinterpret_cast<LPARAM>(edit));
    // A short buffer gets what fits, terminated.
    WCHAR small[3] = {u'?', u'?', u'?'};
    EXPECT_EQ(GetWindowTextW(edit, small, 3), 2);
    EXPECT_EQ(CString(small), u"Gr");
}

TEST_F(EditControl, SelectionFollowsTheEditMessages)
{
    SetWindowTextW(edit, u"abcdef");
    struct Case {
        LPARAM start;
        LPARAM end;
        DWORD gotStart;
        DWORD gotEnd;
    };
    const Case cases[] = {{0, -1, 0, 6}, {1, 3, 1, 3}, {2, 2, 2, 2}, {4, 99, 4, 6}, {6, 6, 6, 6}};
    for (const Case& c : cases) {
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
        DWORD start = 99;
        DWORD end = 99;
        const LRESULT packed =
            SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, c.gotStart) << c.start << ".." << c.end;
        EXPECT_EQ(end, c.gotEnd) << c.start << ".." << c.end;
        EXPECT_EQ(packed, MAKELPARAM(c.gotStart, c.gotEnd));
    }
}

TEST_F(EditControl, TypedKeysTypeAndStopAtTheLimit)
{
    SetWindowTextW(edit, u"");
    SendMessageW(edit, EM_LIMITTEXT, 4, 0);
    QTest::keyClicks(Line(), "abcdef");
    EXPECT_EQ(Text(), u"abcd");
    QTest::keyClick(Line(), Qt::Key_Backspace);
    EXPECT_EQ(Text(), u"abc");
}

TEST_F(EditControl, WaitingLoopSeesKeysFirstAndMaySwallowThem)
{
    SetWindowTextW(edit, u"");
    QTimer::singleShot(0, [&] {
        QTest::keyClick(Line(), Qt::Key_A);
        QTest::keyClick(Line(), Qt::Key_Escape);
        QTest::keyClick(Line(), Qt::Key_F4, Qt::AltModifier);
        QTest::keyClick(Line(), Qt::Key_B);
    });
    struct Seen {
        HWND hwnd;
        UINT message;
        WPARAM key;
    };
    std::vector<Seen> seen;
    MSG msg;
    constexpr WPARAM alt = 0x12;
    while (seen.size() < 4 && GetMessageW(&msg, nullptr, 0, 0)) {
        // The Alt key itself comes too, as a key of its own.
        if (msg.wParam != alt)
            seen.push_back({msg.hwnd, msg.message, msg.wParam});
        // Escape is swallowed; the others are dispatched and type.
        if (msg.wParam != VK_ESCAPE) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].hwnd, edit);
    EXPECT_EQ(seen[0].message, WM_KEYDOWN);
    EXPECT_EQ(seen[0].key, WPARAM{'A'});
    EXPECT_EQ(seen[1].key, VK_ESCAPE);
    EXPECT_EQ(seen[2].message, WM_SYSKEYDOWN);
    EXPECT_EQ(seen[2].key, VK_F4);
    EXPECT_EQ(seen[3].key, WPARAM{'B'});
    EXPECT_EQ(Text(), u"ab");
}

TEST_F(EditControl, FocusGoesToTheLineEdit)
{
    parent.ShowWindow(SW_SHOW);
    SetFocus(edit);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_TRUE(Line()->hasFocus() || Line()->window()->focusWidget() == Line());
}

}  // namespace
