#include "platform/core/ComboBox.h"
#include "platform/core/Window.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Command {
    WPARAM wParam;
    LPARAM lParam;
    std::u16string textThen;  // the combo box's text when the parent heard of it
};

std::vector<Command> g_commands;

LRESULT ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        WCHAR text[64] = {};
        GetWindowTextW(reinterpret_cast<HWND>(lParam), text, 64);
        g_commands.push_back({wParam, lParam, text});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr int kComboId = IDC_ADAPTER_LIST;

class ComboBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = u"ComboParent";
        RegisterClassW(&wc);
    }

    void SetUp() override
    {
        g_commands.clear();
        m_font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 1, 0, 0, 0, 0, u"Tahoma");
        m_parent =
            CreateWindowExW(0, u"ComboParent", u"parent", WS_VISIBLE, 0, 0, 200, 200, nullptr, 0, nullptr, nullptr);
        m_combo.m_hWnd = nullptr;
        Create(CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP);
    }

    void TearDown() override
    {
        m_combo.UnsubclassWindow();
        DestroyWindow(m_parent);
        DeleteObject(m_font);
    }

    void Create(DWORD style)
    {
        if (m_combo.m_hWnd != nullptr)
            DestroyWindow(m_combo.UnsubclassWindow());
        HWND window = CreateWindowExW(0, WC_COMBOBOXW, u"", WS_CHILD | WS_VISIBLE | style, 10, 10, 120, 60, m_parent,
                                      kComboId, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        m_combo.SubclassWindow(window);
    }

    QComboBox* Box() const { return platform::core::Lookup(m_combo.m_hWnd)->widget->findChild<QComboBox*>(); }

    std::vector<std::u16string> Entries() const
    {
        std::vector<std::u16string> out;
        for (int i = 0; i < m_combo.GetCount(); ++i) {
            CString text;
            m_combo.GetLBText(i, text);
            out.push_back(text);
        }
        return out;
    }

    HWND m_parent = nullptr;
    HFONT m_font = nullptr;
    CComboBox m_combo;
};

TEST_F(ComboBoxTest, EntriesGoWhereTheStyleSays)
{
    struct Case {
        const char* name;
        DWORD style;
        std::vector<std::u16string> added;
        std::vector<int> indices;  // what each CB_ADDSTRING returned
        std::vector<std::u16string> order;
    };
    const Case cases[] = {
        {"sorted ignores case",
         CBS_DROPDOWN | CBS_SORT,
         {u"wlan1", u"eth0", u"Wlan0", u"ATH9K"},
         {0, 0, 1, 0},
         {u"ATH9K", u"eth0", u"Wlan0", u"wlan1"}},
        {"equal names keep their order",
         CBS_DROPDOWN | CBS_SORT,
         {u"wlan0", u"WLAN0", u"Wlan0"},
         {0, 1, 2},
         {u"wlan0", u"WLAN0", u"Wlan0"}},
        {"unsorted appends", CBS_DROPDOWN, {u"wlan1", u"eth0", u"Wlan0"}, {0, 1, 2}, {u"wlan1", u"eth0", u"Wlan0"}},
        {"drop-down list sorts too", CBS_DROPDOWNLIST | CBS_SORT, {u"b", u"a"}, {0, 0}, {u"a", u"b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Create(c.style);
        std::vector<int> indices;
        for (const auto& text : c.added)
            indices.push_back(m_combo.AddString(text.c_str()));
        EXPECT_EQ(indices, c.indices);
        EXPECT_EQ(Entries(), c.order);
        // Adding never selects anything.
        EXPECT_EQ(m_combo.GetCurSel(), CB_ERR);
        EXPECT_EQ(m_combo.GetWindowText(), u"");
    }
}

TEST_F(ComboBoxTest, SelectionShowsItsTextAndStaysOnItsEntry)
{
    m_combo.AddString(u"wlan0");
    m_combo.AddString(u"wlan1");
    EXPECT_EQ(m_combo.SetCurSel(1), 1);
    EXPECT_EQ(m_combo.GetWindowText(), u"wlan1");
    // An entry sorted in before the selected one moves the selection with it.
    EXPECT_EQ(m_combo.AddString(u"eth0"), 0);
    EXPECT_EQ(m_combo.GetCurSel(), 2);
    EXPECT_EQ(m_combo.GetWindowText(), u"wlan1");
    EXPECT_EQ(Box()->currentIndex(), 2);

    // Out of range clears the selection and the text, and says so.
    EXPECT_EQ(m_combo.SetCurSel(3), CB_ERR);
    EXPECT_EQ(m_combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(m_combo.GetWindowText(), u"");
    EXPECT_EQ(m_combo.SetCurSel(0), 0);
    EXPECT_EQ(m_combo.SetCurSel(-1), CB_ERR);
    EXPECT_EQ(m_combo.GetWindowText(), u"");

    m_combo.SetCurSel(0);
    m_combo.DeleteString(0);
    EXPECT_EQ(m_combo.GetCurSel(), CB_ERR);
    m_combo.ResetContent();
    EXPECT_EQ(m_combo.GetCount(), 0);
    EXPECT_EQ(m_combo.GetWindowText(), u"");
}

TEST_F(ComboBoxTest, TextRequestsAreBoundedAndCheckTheirIndex)
{
    m_combo.AddString(u"wlan0");
    CString text = u"stale";
    EXPECT_EQ(m_combo.GetLBText(5, text), CB_ERR);
    EXPECT_EQ(text, u"");
    EXPECT_EQ(m_combo.GetLBText(-1, text), CB_ERR);
    EXPECT_EQ(SendMessageW(m_combo, CB_GETLBTEXT, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(m_combo, CB_ADDSTRING, 0, 0), CB_ERR);
    EXPECT_EQ(m_combo.GetLBTextLen(0), 5);

    // The edit field's text is cut to the caller's buffer, terminated.
    SetWindowTextW(m_combo, u"typed adapter");
    WCHAR small[6];
    EXPECT_EQ(GetWindowTextW(m_combo, small, 6), 5);
    EXPECT_EQ(std::u16string(small), u"typed");
    EXPECT_EQ(GetWindowTextLengthW(m_combo), 13);
    EXPECT_EQ(m_combo.GetCurSel(), CB_ERR);
}

TEST_F(ComboBoxTest, ItemHeightFollowsTheFontAndTheWindowHoldsTheDroppedList)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    const int item = m_combo.GetItemHeight(0);
    EXPECT_EQ(item, metrics.tmHeight);
    EXPECT_GT(m_combo.GetItemHeight(-1), item);

    HFONT big = CreateFontW(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 1, 0, 0, 0, 0, u"Tahoma");
    m_combo.SetFont(big);
    EXPECT_GT(m_combo.GetItemHeight(0), item);
    m_combo.SetFont(m_font);
    DeleteObject(big);

    // Six entries high: the window keeps that height, the box shows one
    // entry and the dropped list the other five.
    m_combo.MoveWindow(10, 10, 120, 6 * item);
    RECT rect;
    m_combo.GetWindowRect(&rect);
    EXPECT_EQ(rect.bottom - rect.top, 6 * item);
    EXPECT_EQ(Box()->height(), m_combo.GetItemHeight(-1));
    EXPECT_EQ(Box()->maxVisibleItems(), (6 * item - m_combo.GetItemHeight(-1)) / item);

    // A control under the dropped list's room still takes its own taps.
    HWND below = CreateWindowExW(0, u"static", u"", WS_CHILD | WS_VISIBLE, 10, 10 + 4 * item, 120, item, m_parent, 9,
                                 nullptr, nullptr);
    QWidget* parentWidget = platform::core::Lookup(m_parent)->widget;
    EXPECT_EQ(parentWidget->childAt(50, 10 + 4 * item + 2), platform::core::Lookup(below)->widget.data());
    QWidget* onBox = parentWidget->childAt(50, 12);
    ASSERT_NE(onBox, nullptr);
    EXPECT_TRUE(platform::core::Lookup(m_combo.m_hWnd)->widget->isAncestorOf(onBox));
}

TEST_F(ComboBoxTest, OnlyTheUsersPicksNotifyTheParent)
{
    for (const char16_t* name : {u"wlan2", u"wlan0", u"wlan1"})
        m_combo.AddString(name);
    m_combo.SetCurSel(0);
    SetWindowTextW(m_combo, u"other");
    m_combo.ResetContent();
    for (const char16_t* name : {u"wlan2", u"wlan0", u"wlan1"})
        m_combo.AddString(name);
    m_combo.SetCurSel(0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(g_commands.empty());

    // The user steps down with the keyboard...
    Box()->setFocus();
    QTest::keyClick(Box(), Qt::Key_Down);
    ASSERT_EQ(g_commands.size(), 1u);
    EXPECT_EQ(g_commands[0].wParam, MAKEWPARAM(kComboId, CBN_SELCHANGE));
    EXPECT_EQ(g_commands[0].lParam, reinterpret_cast<LPARAM>(m_combo.m_hWnd));
    // ...and the parent already reads the new choice.
    EXPECT_EQ(g_commands[0].textThen, u"wlan1");
    EXPECT_EQ(m_combo.GetCurSel(), 1);

    // ...then picks from the dropped list.
    Box()->showPopup();
    QAbstractItemView* view = Box()->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(Box()->model()->index(2, 0)).center());
    ASSERT_EQ(g_commands.size(), 2u);
    EXPECT_EQ(g_commands[1].textThen, u"wlan2");
    EXPECT_EQ(m_combo.GetCurSel(), 2);
}

TEST_F(ComboBoxTest, TypedTextIsTheWindowText)
{
    m_combo.AddString(u"wlan0");
    m_combo.SetCurSel(0);
    Box()->lineEdit()->selectAll();
    QTest::keyClicks(Box()->lineEdit(), QStringLiteral("mon0"));
    EXPECT_EQ(m_combo.GetWindowText(), u"mon0");
    EXPECT_EQ(m_combo.GetCount(), 1);
    EXPECT_TRUE(g_commands.empty());
}

}  // namespace
