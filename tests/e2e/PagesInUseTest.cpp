// The pages as a user works them: tabs tapped through Qt, the event loop
// left to paint, and what shows looked at in the widgets and their pixels.
#include "app/Globals.h"
#include "app/MainDlg.h"
#include "catalogue/ApList.h"
#include "pages/ChannelsDlg.h"
#include "pages/OptionsDlg.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
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
        const POINT at = TabPoint(index);
        ASSERT_GE(at.x, 0) << "tab " << index << " not on the strip";
        QTest::mouseClick(WidgetOf(m_dialog->m_tabs.m_hWnd), Qt::LeftButton, Qt::NoModifier, QPoint(at.x, at.y));
        Settle();
        ASSERT_EQ(m_dialog->m_tabs.GetCurSel(), index);
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

    // One network heard, with its name.
    void Hear(const char16_t* name, LONG rssi = -50)
    {
        ScanEntry entry{};
        const BYTE mac[6] = {2, 0, 0, 0, 0, 9};
        std::memcpy(entry.mac, mac, 6);
        std::copy(name, name + std::char_traits<char16_t>::length(name), entry.ssid);
        entry.rssi = rssi;
        entry.channel = 6;
        entry.infrastructureMode = 1;
        g_apList.Merge(&entry, 1);
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

// The widest run of pixels of one colour along any row of the image.
int WidestRun(const QImage& image, QRect area, QRgb ink)
{
    int widest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int run = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            run = image.pixel(x, y) == ink ? run + 1 : 0;
            widest = std::max(widest, run);
        }
    }
    return widest;
}

TEST_F(PagesInUse, ListNamesAreBoldAtEveryFontSize)
{
    Hear(u"llll");
    Scanner().Refresh();
    QTableView* table = TableOf(List());
    ASSERT_NE(table, nullptr);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const QRgb ink = qRgb(GetRValue(text), GetGValue(text), GetBValue(text));
    auto stem = [&](LONG size) {
        Scanner().SetFontSize(size);
        Scanner().Invalidate(TRUE);
        Settle();
        const QImage shown = table->viewport()->grab().toImage();
        return WidestRun(shown, table->visualRect(table->model()->index(0, 0)), ink);
    };
    const int atTwelve = stem(12);
    EXPECT_GE(atTwelve, 2);
    EXPECT_GE(stem(16), atTwelve);
    EXPECT_GE(stem(20), atTwelve);
}

TEST_F(PagesInUse, LargeViewNameStripHoldsAccentedCapitals)
{
    Hear(u"\u00DCnsere \u00C5lborg 0369");
    GoLarge();
    const HWND page = Scanner().m_hWnd;
    RECT client{};
    ::GetClientRect(page, &client);
    // The name as it would be drawn with nothing cut, 20 pixels lower.
    platform::testing::Canvas free(client.right, 60);
    HFONT font = CreateFontW(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    HGDIOBJ old = SelectObject(free.dc(), font);
    SetTextColor(free.dc(), RGB(0, 0, 0));
    SetBkMode(free.dc(), TRANSPARENT);
    RECT strip{0, 20, client.right, 40};
    const std::u16string name = u"\u00DCnsere \u00C5lborg 0369";
    DrawTextW(free.dc(), name.c_str(), static_cast<int>(name.size()), &strip,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    SelectObject(free.dc(), old);
    DeleteObject(font);
    int whole = 0;
    int inside = 0;
    for (int x = 0; x < client.right; ++x) {
        for (int y = 0; y < 60; ++y)
            whole += GetPixel(free.dc(), x, y) == RGB(0, 0, 0) ? 1 : 0;
        for (int y = 0; y < 20; ++y)
            inside += platform::testing::ImagePixel(page, x, y) == RGB(0, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(whole, 100);
    EXPECT_EQ(inside, whole);  // the dots and round tops are all in the strip
}

TEST_F(PagesInUse, GermanSuspendCaptionFitsItsButton)
{
    Close();
    g_language.SelectLanguage(6);
    Open();
    Settle();
    CCustomButton& button = m_dialog->m_suspendButton;
    ASSERT_EQ(button.GetWindowText(), u"Unterbrechen");
    RECT client{};
    button.GetClientRect(&client);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_dialog->m_dialogFont);
    RECT text{};
    DrawTextW(dc, u"Unterbrechen", -1, &text, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteDC(dc);
    // Inside the two-pixel frame on either side, also when pressed (the
    // caption then moves one pixel right and down).
    EXPECT_LE(text.right - text.left + 1, client.right - client.left - 4);
    EXPECT_LE(text.bottom - text.top + 1, client.bottom - client.top - 4);
}

TEST_F(PagesInUse, TappedRowIsHighlightedWhileItsPopupIsOpen)
{
    HearTwoNetworks();
    Scanner().Refresh();
    Settle();
    QTableView* table = TableOf(List());
    ASSERT_NE(table, nullptr);
    auto colourOf = [](int index) {
        const COLORREF c = GetSysColor(index);
        return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
    };
    // The background at the right end of each row's last cell.
    auto rowBackgrounds = [&] {
        table->viewport()->repaint();
        const QImage shown = table->viewport()->grab().toImage();
        std::vector<QRgb> out;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const QRect cell = table->visualRect(table->model()->index(row, 0));
            out.push_back(shown.pixel(cell.right() - 1, cell.top() + 1));
        }
        return out;
    };
    const QRgb window = colourOf(COLOR_WINDOW);
    const QRgb highlight = colourOf(COLOR_HIGHLIGHT);
    ASSERT_NE(window, highlight);
    std::vector<std::vector<QRgb>> seen;
    platform::core::SetMenuChooser([&](HMENU, POINT) {
        seen.push_back(rowBackgrounds());
        // A scan while the popup is open: the tapped network (the second
        // row) is heard no more, so it moves below a newly heard one.
        ScanEntry fresh{};
        const BYTE mac[6] = {2, 0, 0, 0, 0, 7};
        std::memcpy(fresh.mac, mac, 6);
        fresh.ssid[0] = u'C';
        fresh.rssi = -40;
        fresh.infrastructureMode = 1;
        ApRecord other{};
        g_apList.GetDisplayed(0, other);
        ScanEntry kept{};
        std::memcpy(kept.mac, other.mac, 6);
        kept.ssid[0] = other.ssid[0];
        kept.rssi = other.rssi;
        kept.infrastructureMode = 1;
        const ScanEntry scan[2] = {kept, fresh};
        g_apList.Merge(scan, 2);
        Scanner().Refresh();
        seen.push_back(rowBackgrounds());
        return 0u;
    });
    const QRect second = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    Settle();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (std::vector<QRgb>{window, highlight}));
    EXPECT_EQ(seen[1], (std::vector<QRgb>{window, window, highlight}));
    EXPECT_EQ(rowBackgrounds(), (std::vector<QRgb>{window, window, window}));
}

TEST_F(PagesInUse, LeavingTheLargeViewWhileSuspendedShowsTheRowsAtOnce)
{
    HearTwoNetworks();
    GoLarge();
    m_dialog->m_suspendButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    m_dialog->m_suspendButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(Period(CMainDlg::kScanTimer), 0u);  // no scan tick will come
    RECT client{};
    ::GetClientRect(Scanner().m_hWnd, &client);
    Tap(Scanner().m_hWnd, QPoint(client.right / 2, client.bottom / 2));
    ASSERT_TRUE(::IsWindowVisible(List()));
    EXPECT_EQ(::SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(TableOf(List())->model()->rowCount(), 2);
    EXPECT_EQ(Text(kStatus), u"2/2 active");
}

// The channels tab tapped, then its graph: each tap moves on to the next band
// that holds networks, and a scan tick keeps the band and renews the texts.
TEST_F(PagesInUse, TapsOnTheChannelsGraphStepThroughTheBandsThatHoldNetworks)
{
    ScanEntry entries[2]{};
    const ULONG frequencies[2] = {2437, 5500};
    for (int i = 0; i < 2; ++i) {
        const BYTE mac[6] = {2, 0, 0, 0, 1, static_cast<BYTE>(i + 1)};
        std::memcpy(entries[i].mac, mac, 6);
        entries[i].rssi = -60;
        entries[i].frequency = frequencies[i];
        entries[i].width = 20;
        entries[i].infrastructureMode = 1;
    }
    g_apList.Merge(entries, 2);
    TapTab(2);
    CChannelsDlg& page = *m_dialog->GetChannelsPage();
    ASSERT_TRUE(page.IsWindowVisible());
    page.Refresh();
    Settle();
    auto band = [&] {
        WCHAR text[32] = {};
        ::GetWindowTextW(page.GetDlgItemHwnd(IDC_CHANNEL_BAND), text, 32);
        return CString(text);
    };
    auto quietest = [&] {
        WCHAR text[64] = {};
        ::GetWindowTextW(page.GetDlgItemHwnd(IDC_QUIETEST_CHANNEL), text, 64);
        return CString(text);
    };
    EXPECT_EQ(band(), u"2.4 GHz");
    EXPECT_EQ(quietest(), u"Quietest channel: 1");
    const RECT plot = page.PlotRect();
    const QPoint graph((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);
    Tap(page.m_hWnd, graph);
    EXPECT_EQ(band(), u"5 GHz");
    EXPECT_EQ(quietest(), u"Quietest channel: 36");
    // No 6 GHz network: back to 2.4 GHz.
    Tap(page.m_hWnd, graph);
    EXPECT_EQ(band(), u"2.4 GHz");
    Tap(page.m_hWnd, graph);
    // The line under the graph takes no tap.
    Tap(page.GetDlgItemHwnd(IDC_QUIETEST_CHANNEL), QPoint(4, 4));
    EXPECT_EQ(band(), u"5 GHz");
}

}  // namespace
