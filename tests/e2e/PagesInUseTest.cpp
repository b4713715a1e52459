// The pages as a user works them: tabs tapped through Qt, the event loop
// left to paint, and what shows looked at in the widgets and their pixels.
#include "app/Globals.h"
#include "app/MainDlg.h"
#include "catalogue/ApList.h"
#include "pages/OptionsDlg.h"
#include "pages/ScannerDlg.h"
#include "platform/TestingWidgets.h"
#include "platform/core/ComboBox.h"
#include "platform/core/ListView.h"
#include "platform/core/Menu.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"
#include "tests/e2e/MainWindowFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <cstring>

namespace {

constexpr int kList = IDC_NETWORK_LIST;
constexpr int kStatus = IDC_STATUS;
constexpr int kHint = IDC_HINT;
constexpr int kFontSizeSlider = IDC_FONT_SIZE_SLIDER;
constexpr UINT kGoLarge = ID_GO_LARGE;

using platform::testing::WidgetOf;

QTableView* TableOf(HWND list)
{
    QWidget* widget = WidgetOf(list);
    return widget != nullptr ? widget->findChild<QTableView*>() : nullptr;
}

// Lets the event loop run: paints, posted messages, queued input.
void Settle()
{
    QTest::qWait(60);
}

class PagesInUse : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g_apList.Clear();
        Open();
        Settle();
    }
    void TearDown() override
    {
        platform::core::SetMenuChooser(nullptr);
        MainWindowTest::TearDown();
        g_apList.Clear();
    }

    CScannerDlg& Scanner() const { return *m_dialog->GetScannerPage(); }
    COptionsDlg& Options() const { return *m_dialog->GetOptionsPage(); }
    HWND List() const { return Scanner().GetDlgItemHwnd(kList); }

    // A tap of the stylus on a tab, where the strip shows it.
    void TapTab(int index)
    {
        CCustomTabContainer& tabs = m_dialog->m_tabs;
        RECT strip{};
        tabs.GetClientRect(&strip);
        const int y = 8;
        int x = 0;
        while (x < strip.right && tabs.HitTest(x, y) != index)
            ++x;
        ASSERT_LT(x, strip.right) << "tab " << index << " not on the strip";
        QTest::mouseClick(WidgetOf(tabs.m_hWnd), Qt::LeftButton, Qt::NoModifier, QPoint(x + 2, y));
        Settle();
        ASSERT_EQ(tabs.GetCurSel(), index);
    }

    void Tap(HWND window, QPoint at)
    {
        QTest::mouseClick(WidgetOf(window), Qt::LeftButton, Qt::NoModifier, at);
        Settle();
    }

    CString Text(int id) const
    {
        WCHAR text[64] = {};
        ::GetWindowTextW(Scanner().GetDlgItemHwnd(id), text, 64);
        return text;
    }

    void HearTwoNetworks()
    {
        ScanEntry entries[2]{};
        for (int i = 0; i < 2; ++i) {
            const BYTE mac[6] = {2, 0, 0, 0, 0, static_cast<BYTE>(i + 1)};
            std::memcpy(entries[i].mac, mac, 6);
            entries[i].ssid[0] = static_cast<WCHAR>(u'A' + i);
            entries[i].rssi = -50 - i;
            entries[i].channel = 6;
            entries[i].infrastructureMode = 1;
        }
        g_apList.Merge(entries, 2);
    }

    // A scan tick's refresh fills the list; then a tap on the first row and
    // "Go large" chosen from its popup.
    void GoLarge()
    {
        Scanner().Refresh();
        Settle();
        platform::core::SetMenuChooser([](HMENU, POINT) { return kGoLarge; });
        QTableView* table = TableOf(List());
        ASSERT_NE(table, nullptr);
        const QRect row = table->visualRect(table->model()->index(0, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        Settle();
        ASSERT_FALSE(::IsWindowVisible(List()));
        ASSERT_EQ(Text(kHint), u"Tap to restore");
    }
};

// The colour a dialog answers a control's colour request with.
QRgb AnsweredColour(HWND dialog, UINT message, HWND control)
{
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    DeleteDC(dc);
    LOGBRUSH record{};
    GetObjectW(brush, sizeof record, &record);
    return qRgb(GetRValue(record.lbColor), GetGValue(record.lbColor), GetBValue(record.lbColor));
}

TEST_F(PagesInUse, ListFontSizePickedOnTheOptionsPageShowsWhenTheScannerTabComesBack)
{
    QTableView* table = TableOf(List());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->columnWidth(0), CScannerDlg::ColumnWidth(0, 12));

    TapTab(1);
    // The stylus at the right end of the font size slider picks 20.
    const HWND slider = Options().GetDlgItemHwnd(kFontSizeSlider);
    RECT client{};
    ::GetClientRect(slider, &client);
    Tap(slider, QPoint(client.right - 2, client.bottom / 2));
    LONG size = 0;
    g_settings.GetValue(SettingFontSize, size);
    ASSERT_EQ(size, 20);

    TapTab(0);
    for (int column = 0; column < CScannerDlg::kColumnCount; ++column) {
        EXPECT_EQ(table->columnWidth(column), CScannerDlg::ColumnWidth(column, 20)) << "column " << column;
        EXPECT_EQ(::SendMessageW(List(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0),
                  CScannerDlg::ColumnWidth(column, 20));
    }
    // The list holds a 20-pixel font, and its rows show in it.
    auto font = reinterpret_cast<HFONT>(::SendMessageW(List(), WM_GETFONT, 0, 0));
    LOGFONTW record{};
    ASSERT_EQ(GetObjectW(font, sizeof record, &record), static_cast<int>(sizeof record));
    EXPECT_EQ(record.lfHeight, 20);
    QFont shown;
    ASSERT_TRUE(platform::testing::FontOf(font, shown));
    EXPECT_EQ(table->font().pixelSize(), shown.pixelSize());
    EXPECT_EQ(table->font().family(), shown.family());
}

TEST_F(PagesInUse, TapAnywhereOnTheLargeViewRestoresTheList)
{
    HearTwoNetworks();
    const HWND page = Scanner().m_hWnd;
    struct Case {
        const char* name;
        HWND window;
    };
    const Case cases[] = {
        {"status text", Scanner().GetDlgItemHwnd(kStatus)},
        {"hint text", Scanner().GetDlgItemHwnd(kHint)},
        {"page", page},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GoLarge();
        RECT client{};
        ::GetClientRect(c.window, &client);
        Tap(c.window, QPoint(client.right / 2, client.bottom / 2));
        EXPECT_TRUE(::IsWindowVisible(List()));
        EXPECT_EQ(Text(kHint), u"Tap an AP name");
    }
}

TEST_F(PagesInUse, AdapterBoxAndItsListTakeTheOptionsPageColours)
{
    TapTab(1);
    const HWND combo = Options().GetDlgItemHwnd(IDC_ADAPTER_LIST);
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"wlan0"));
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"wlan1"));
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    auto* box = WidgetOf(combo)->findChild<QComboBox*>();
    ASSERT_NE(box, nullptr);
    Settle();

    const QRgb field = AnsweredColour(Options().m_hWnd, WM_CTLCOLOREDIT, combo);
    ASSERT_NE(field, qRgb(255, 255, 255));  // the page's tint, not the window colour
    const QImage edit = box->lineEdit()->grab().toImage();
    // Right of the text, inside the field.
    EXPECT_EQ(edit.pixel(edit.width() - 3, edit.height() / 2), field);

    box->showPopup();
    Settle();
    QAbstractItemView* view = box->view();
    const QRect second = view->visualRect(view->model()->index(1, 0));
    const QImage list = view->viewport()->grab().toImage();
    EXPECT_EQ(list.pixel(second.right() - 2, second.center().y()),
              AnsweredColour(Options().m_hWnd, WM_CTLCOLORLISTBOX, combo));
    box->hidePopup();
}

TEST_F(PagesInUse, ListHasNoFrameAndTheTabKeyGivesItTheFocus)
{
    QTableView* table = TableOf(List());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->frameWidth(), 0);
    // The list's left edge shows its (empty) background, not a frame.
    const QImage shown = WidgetOf(List())->grab().toImage();
    const QColor background = table->viewport()->palette().color(QPalette::Base);
    EXPECT_EQ(shown.pixel(0, shown.height() / 2), background.rgb());

    QWidget* top = WidgetOf(m_dialog->m_hWnd);
    top->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(top));
    ::SetFocus(m_dialog->m_exitButton.m_hWnd);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    Settle();
    EXPECT_EQ(::GetFocus(), List());
    EXPECT_TRUE(table->hasFocus());
}

}  // namespace
