#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/core/Menu.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/Time.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstring>

extern CSettings g_settings;
extern CLanguage g_language;
extern CApList g_apList;

namespace {

ApRecord Record()
{
    ApRecord r{};
    const BYTE mac[6] = {0x00, 0x1a, 0x2B, 0xc3, 0x04, 0xFF};
    std::memcpy(r.mac, mac, 6);
    const std::u16string name = u"Cafe";
    std::copy(name.begin(), name.end(), r.ssid);
    r.rssi = -67;
    r.channel = 11;
    r.infrastructureMode = 1;
    r.privacy = 1;
    r.security = SECURITY_WPA2;
    r.active = 1;
    r.bestRssi = -45;
    r.worstRssi = -80;
    SYSTEMTIME t{2007, 3, 0, 9, 14, 5, 7, 0};
    SystemTimeToVariantTime(&t, &r.firstSeen);
    SYSTEMTIME u{2000, 12, 0, 31, 23, 59, 59, 0};
    SystemTimeToVariantTime(&u, &r.lastSeen);
    return r;
}

TEST(CellText, EveryColumnOfARecord)
{
    g_language.SelectLanguage(0);
    const ApRecord r = Record();
    const std::u16string expected[] = {u"Cafe",
                                       u"67",
                                       u"11",
                                       u"AP",
                                       u"WPA2",
                                       u"00-1a-2b-c3-04-ff",
                                       u"-45",
                                       u"-80",
                                       u"07/03/09 14:05:07",
                                       u"00/12/31 23:59:59"};
    for (int column = 0; column < CScannerDlg::kColumnCount; ++column)
        EXPECT_EQ(CScannerDlg::CellText(r, column), expected[column]) << "column " << column;
    EXPECT_EQ(CScannerDlg::CellText(r, 10), u"");
}

TEST(CellText, StateDependentCells)
{
    g_language.SelectLanguage(0);
    ApRecord r = Record();
    r.active = 0;
    r.infrastructureMode = 2;
    r.privacy = 0;
    r.security = SECURITY_OPEN;
    EXPECT_EQ(CScannerDlg::CellText(r, 1), u"-----");
    EXPECT_EQ(CScannerDlg::CellText(r, 3), u"?");
    EXPECT_EQ(CScannerDlg::CellText(r, 4), u"Open");
    r.infrastructureMode = 0;
    EXPECT_EQ(CScannerDlg::CellText(r, 3), u"Peer");
}

// The Sec cell names the strongest protection, in the same words in every
// language; a value the engine never writes reads as unknown.
TEST(CellText, SecurityCellNamesTheProtectionInEveryLanguage)
{
    struct Case {
        BYTE security;
        const char16_t* word;
    };
    const Case cases[] = {
        {SECURITY_OPEN, u"Open"},
        {SECURITY_WEP, u"WEP"},
        {SECURITY_WPA, u"WPA"},
        {SECURITY_OWE, u"OWE"},
        {SECURITY_WPA2, u"WPA2"},
        {SECURITY_WPA3, u"WPA3"},
        {6, u"?"},
        {255, u"?"},
    };
    for (int language = 0; language < 7; ++language) {
        g_language.SelectLanguage(language);
        for (const Case& c : cases) {
            ApRecord r = Record();
            r.security = c.security;
            EXPECT_EQ(CScannerDlg::CellText(r, 4), c.word) << "language " << language << " kind " << int(c.security);
        }
    }
    g_language.SelectLanguage(0);
}

TEST(CellText, NamesCannotHideOrReorderTheRow)
{
    ApRecord r = Record();
    const std::u16string hostile = u"a\u202Eb\u0007c\u2066d\u200Fe\u0085";
    std::fill(std::begin(r.ssid), std::end(r.ssid), 0);
    std::copy(hostile.begin(), hostile.end(), r.ssid);
    EXPECT_EQ(CScannerDlg::CellText(r, 0), u"a\uFFFDb\uFFFDc\uFFFDd\uFFFDe\uFFFD");
    // A full 32-character name shows whole, and nothing after it.
    std::fill(std::begin(r.ssid), std::end(r.ssid), u'x');
    EXPECT_EQ(CScannerDlg::CellText(r, 0), std::u16string(32, u'x'));
}

TEST(ColumnWidths, FollowTheFontSize)
{
    const int expected[3][10] = {{50, 35, 30, 40, 35, 90, 40, 40, 100, 100},
                                 {60, 40, 36, 48, 42, 108, 48, 48, 120, 120},
                                 {100, 59, 60, 80, 70, 180, 80, 80, 200, 200}};
    const LONG sizes[3] = {10, 12, 20};
    for (int s = 0; s < 3; ++s)
        for (int column = 0; column < 10; ++column)
            EXPECT_EQ(CScannerDlg::ColumnWidth(column, sizes[s]), expected[s][column])
                << "size " << sizes[s] << " column " << column;
}

// The page on a plain top-level window, with its list and statics.
class ProbePage : public CScannerDlg {
public:
    using CScannerDlg::m_fontApplied;
    using CScannerDlg::m_fontSize;
    using CScannerDlg::m_hintText;
    using CScannerDlg::m_largeView;
    using CScannerDlg::m_list;
    using CScannerDlg::m_selectedNumber;
    using CScannerDlg::m_statusText;
};

void SetClock(LPSYSTEMTIME time)
{
    *time = SYSTEMTIME{2026, 12, 3, 9, 10, 0, 0, 0};
}

ScanEntry Entry(BYTE last, LONG rssi, ULONG privacy, ULONG mode = 1)
{
    ScanEntry e{};
    const BYTE mac[6] = {2, 0, 0, 0, 0, last};
    std::memcpy(e.mac, mac, 6);
    e.ssid[0] = u'N';
    e.ssid[1] = static_cast<WCHAR>(u'0' + last);
    e.rssi = rssi;
    e.channel = 6;
    e.infrastructureMode = mode;
    e.privacy = privacy;
    return e;
}

class ScannerPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetLocalClockSource(SetClock);
        g_language.SelectLanguage(0);
        g_settings.SetValue(SettingFontSize, 12);
        g_settings.SetValue(SettingHideWEP, 0);
        g_settings.SetValue(SettingHidePeer, 0);
        g_settings.SetValue(SettingSoundOff, 1);
        g_apList.Clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"PageHost";
        RegisterClassW(&wc);
        m_host = CreateWindowExW(0, u"PageHost", u"", WS_VISIBLE, 0, 0, 240, 268, nullptr, 0, nullptr, nullptr);
        m_parent.SubclassWindow(m_host);
        ASSERT_TRUE(m_page.Create(IDD_SCANNER_PAGE, &m_parent));
        m_page.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        platform::core::SetMenuChooser(nullptr);
        m_page.DestroyWindow();
        DestroyWindow(m_host);
        SetLocalClockSource(nullptr);
    }
    void Merge(std::initializer_list<ScanEntry> entries)
    {
        std::vector<ScanEntry> scan(entries);
        g_apList.Merge(scan.data(), static_cast<int>(scan.size()));
    }
    LRESULT Notify(NMHDR& header)
    {
        header.hwndFrom = m_page.m_list.m_hWnd;
        header.idFrom = IDC_NETWORK_LIST;
        return m_page.SendMessage(WM_NOTIFY, IDC_NETWORK_LIST, reinterpret_cast<LPARAM>(&header));
    }
    void Click(int item)
    {
        NMITEMACTIVATE click{};
        click.hdr.code = NM_CLICK;
        click.iItem = item;
        click.ptAction = POINT{10, 10};
        Notify(click.hdr);
        platform::testing::ProcessEvents();
    }
    // The colours the list is told to use for one cell.
    std::pair<COLORREF, COLORREF> CellColours(int row, int column)
    {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_PREPAINT;
        EXPECT_EQ(Notify(draw.nmcd.hdr), CDRF_NOTIFYITEMDRAW);
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        EXPECT_EQ(Notify(draw.nmcd.hdr), CDRF_NOTIFYSUBITEMDRAW);
        platform::testing::Canvas canvas(60, 16);
        draw.nmcd.hdc = canvas.dc();
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        draw.nmcd.rc = RECT{0, 0, 60, 16};
        draw.iSubItem = column;
        EXPECT_EQ(Notify(draw.nmcd.hdr), CDRF_DODEFAULT);
        m_lastLeft = draw.nmcd.rc.left;
        return {draw.clrText, draw.clrTextBk};
    }

    CWnd m_parent;
    HWND m_host = nullptr;
    ProbePage m_page;
    LONG m_lastLeft = 0;
};

TEST_F(ScannerPage, StatusCountsShownAndActiveNetworks)
{
    m_page.Refresh();
    EXPECT_EQ(m_page.m_statusText, u"0/0 active");
    EXPECT_EQ(m_page.m_hintText, u"Tap an AP name");
    Merge({Entry(1, -50, 0), Entry(2, -60, 1), Entry(3, -70, 0, 0)});
    Merge({Entry(1, -50, 0), Entry(2, -60, 1)});
    m_page.Refresh();
    EXPECT_EQ(m_page.m_statusText, u"2/3 active");
    EXPECT_EQ(m_page.m_list.GetItemCount(), 3);
    WCHAR shown[32] = {};
    ::GetWindowTextW(m_page.GetDlgItemHwnd(IDC_STATUS), shown, 32);
    EXPECT_EQ(std::u16string(shown), u"2/3 active");  // pushed to the static
}

TEST_F(ScannerPage, CellColoursFollowTheNetworksState)
{
    Merge({Entry(1, -50, 0), Entry(2, -60, 1), Entry(3, -70, 1)});
    Merge({Entry(1, -50, 0), Entry(2, -60, 1)});
    m_page.Refresh();
    // Display order: active first, newest first: 2 (secured), 1, then 3 (inactive).
    const COLORREF red = 0x0000FF;
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(CellColours(0, 0).first, red);
    EXPECT_EQ(CellColours(0, 4).first, red);
    EXPECT_EQ(CellColours(0, 5).first, text);
    EXPECT_EQ(CellColours(1, 0).first, text);
    EXPECT_EQ(CellColours(2, 0).first, grey);  // secured but inactive: grey wins
    EXPECT_EQ(CellColours(2, 1).second, GetSysColor(COLOR_WINDOW));
    // The signal cell of a heard network leaves room for the wedge.
    CellColours(0, 1);
    EXPECT_EQ(m_lastLeft, 12 + 2);
    CellColours(2, 1);
    EXPECT_EQ(m_lastLeft, 0);
}

TEST_F(ScannerPage, CellTextFitsTheListsBufferAndOnlyWhenAsked)
{
    ScanEntry longName = Entry(1, -50, 0);
    std::fill(std::begin(longName.ssid), std::end(longName.ssid), u'x');
    Merge({longName});
    m_page.Refresh();
    struct Case {
        const char* name;
        UINT mask;
        int column;
        int capacity;
        std::u16string expected;
    };
    const std::u16string untouched(15, u'#');
    const Case cases[] = {
        {"whole", LVIF_TEXT, 2, 8, u"6"},
        {"cut to the buffer", LVIF_TEXT, 0, 6, u"xxxxx"},
        {"room for the terminator only", LVIF_TEXT, 0, 1, u""},
        {"no such column", LVIF_TEXT, 10, 8, u""},
        {"text not asked for", 0, 0, 8, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The buffer the list offers, with more room behind it that must
        // stay as it was.
        WCHAR buffer[16] = {};
        std::copy(untouched.begin(), untouched.end(), buffer);
        NMLVDISPINFOW info{};
        info.hdr.code = LVN_GETDISPINFOW;
        info.item.mask = c.mask;
        info.item.iItem = 0;
        info.item.iSubItem = c.column;
        info.item.pszText = buffer;
        info.item.cchTextMax = c.capacity;
        EXPECT_EQ(Notify(info.hdr), 0);
        EXPECT_EQ(std::u16string(buffer), c.expected);
        for (int i = c.capacity; i < 15; ++i)
            EXPECT_EQ(buffer[i], u'#') << "written beyond the buffer at " << i;
    }
}

TEST_F(ScannerPage, GoLargeAndTapToRestore)
{
    Merge({Entry(1, -50, 0), Entry(2, -67, 0)});
    m_page.Refresh();
    std::vector<UINT> offered;
    platform::core::SetMenuChooser([&](HMENU popup, POINT) {
        for (int i = 0; i < GetMenuItemCount(popup); ++i)
            offered.push_back(GetMenuItemID(popup, i));
        return 32771u;
    });
    Click(1);
    EXPECT_EQ(offered, std::vector<UINT>{ID_GO_LARGE});
    EXPECT_EQ(m_page.m_selectedNumber, 0);  // row 1 is the first network heard
    EXPECT_TRUE(m_page.m_largeView);
    EXPECT_EQ(m_page.m_hintText, u"Tap to restore");
    EXPECT_FALSE(m_page.m_list.IsWindowVisible());

    // Back from the large view the rows show at once, with no scan tick in
    // between (as while scanning is suspended).
    m_page.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(m_page.m_largeView);
    EXPECT_EQ(m_page.m_hintText, u"Tap an AP name");
    EXPECT_EQ(m_page.m_list.GetItemCount(), 2);
    EXPECT_EQ(m_page.m_statusText, u"2/2 active");
    EXPECT_TRUE(m_page.m_list.IsWindowVisible());
}

TEST_F(ScannerPage, RestoreAfterAHideFilterChangeShowsTheFilteredRowsAtOnce)
{
    Merge({Entry(1, -50, 0), Entry(2, -67, 0, 0)});
    m_page.Refresh();
    platform::core::SetMenuChooser([](HMENU, POINT) { return 32771u; });
    Click(0);
    ASSERT_TRUE(m_page.m_largeView);
    g_settings.SetValue(SettingHidePeer, 1);
    m_page.Restore();
    EXPECT_FALSE(m_page.m_largeView);
    EXPECT_EQ(m_page.m_list.GetItemCount(), 1);
    EXPECT_EQ(m_page.m_statusText, u"1/1 active");
}

// The row of a network, or -1 when it is not shown.
int RowOf(BYTE last)
{
    ApRecord record{};
    for (int row = 0; g_apList.GetDisplayed(row, record); ++row)
        if (record.mac[5] == last)
            return row;
    return -1;
}

TEST_F(ScannerPage, TappedNetworkStaysHighlightedAndGoesLargeWhenItsRowMoves)
{
    struct Case {
        const char* name;
        UINT chosen;
    };
    for (const Case c : {Case{"go large", 32771u}, Case{"dismissed", 0u}}) {
        SCOPED_TRACE(c.name);
        g_apList.Clear();
        Merge({Entry(1, -50, 0), Entry(2, -60, 0)});
        m_page.Refresh();
        const int tapped = RowOf(1);
        ASSERT_GE(tapped, 0);
        ApRecord record{};
        ASSERT_TRUE(g_apList.GetDisplayed(tapped, record));
        std::vector<int> highlighted;
        platform::core::SetMenuChooser([&](HMENU, POINT) {
            for (int row = 0; row < m_page.m_list.GetItemCount(); ++row)
                if (m_page.m_list.GetItemState(row, LVIS_SELECTED) == LVIS_SELECTED)
                    highlighted.push_back(row);
            // A scan arrives while the popup is open: network 1 is no longer
            // heard and a new one is, so its row moves to the end.
            Merge({Entry(2, -60, 0), Entry(3, -40, 0)});
            m_page.Refresh();
            for (int row = 0; row < m_page.m_list.GetItemCount(); ++row)
                if (m_page.m_list.GetItemState(row, LVIS_SELECTED) == LVIS_SELECTED)
                    highlighted.push_back(row);
            return c.chosen;
        });
        Click(tapped);
        EXPECT_EQ(highlighted, (std::vector<int>{tapped, RowOf(1)}));
        EXPECT_NE(RowOf(1), tapped);
        EXPECT_EQ(m_page.m_selectedNumber, record.number);
        EXPECT_EQ(m_page.m_largeView, c.chosen != 0);
        // The highlight goes with the popup.
        for (int row = 0; row < m_page.m_list.GetItemCount(); ++row)
            EXPECT_EQ(m_page.m_list.GetItemState(row, LVIS_SELECTED), 0u) << row;
        if (m_page.m_largeView)
            m_page.Restore();
    }
}

TEST_F(ScannerPage, DismissedPopupOrTapBelowTheRows)
{
    Merge({Entry(1, -50, 0), Entry(2, -67, 0)});
    m_page.Refresh();
    int shown = 0;
    platform::core::SetMenuChooser([&](HMENU, POINT) {
        ++shown;
        return 0u;
    });
    Click(-1);
    EXPECT_EQ(shown, 0);
    Click(0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(m_page.m_selectedNumber, 1);  // set even though nothing was chosen
    EXPECT_FALSE(m_page.m_largeView);
}

TEST_F(ScannerPage, FontSizeTakesEffectAtTheNextPaint)
{
    InvalidateRect(m_page.m_hWnd, nullptr, TRUE);
    UpdateWindow(m_page.m_hWnd);
    EXPECT_EQ(m_page.m_list.GetColumnWidth(0), 60);
    m_page.SetFontSize(20);
    EXPECT_EQ(m_page.m_list.GetColumnWidth(0), 60);
    InvalidateRect(m_page.m_hWnd, nullptr, TRUE);
    UpdateWindow(m_page.m_hWnd);
    EXPECT_EQ(m_page.m_list.GetColumnWidth(0), 100);
    EXPECT_EQ(m_page.m_list.GetColumnWidth(1), 59);
}

TEST_F(ScannerPage, LargeViewShowsTheSignalOrDashes)
{
    Merge({Entry(1, -67, 0)});
    m_page.Refresh();
    platform::core::SetMenuChooser([](HMENU, POINT) { return 32771u; });
    Click(0);
    ASSERT_TRUE(m_page.m_largeView);
    // Count the black pixels of the big number in the middle of the page.
    auto ink = [&] {
        InvalidateRect(m_page.m_hWnd, nullptr, TRUE);
        UpdateWindow(m_page.m_hWnd);
        HDC dc = GetDC(m_page.m_hWnd);
        RECT client;
        GetClientRect(m_page.m_hWnd, &client);
        int count = 0;
        for (int y = client.bottom / 2 - 30; y < client.bottom / 2 + 30; ++y)
            for (int x = 0; x < client.right; ++x)
                count += GetPixel(dc, x, y) == 0 ? 1 : 0;
        ReleaseDC(m_page.m_hWnd, dc);
        return count;
    };
    const int digits = ink();
    EXPECT_GT(digits, 200);
    Merge({Entry(2, -40, 0)});  // network 1 no longer heard
    m_page.Refresh();
    const int dashes = ink();
    EXPECT_GT(dashes, 20);
    EXPECT_LT(dashes, digits);
}

TEST_F(ScannerPage, ListStartsAtTheCornerAsWideAsTheTabContainer)
{
    auto listRect = [](ProbePage& page) {
        RECT r{};
        page.m_list.GetWindowRect(&r);
        POINT corner{r.left, r.top};
        page.ScreenToClient(&corner);
        return RECT{corner.x, corner.y, corner.x + r.right - r.left, corner.y + r.bottom - r.top};
    };
    // Without a tab container beside it the list keeps its own width.
    const RECT alone = listRect(m_page);
    EXPECT_EQ(alone.left, 0);
    EXPECT_EQ(alone.top, 0);
    RECT fromTemplate{3, 3, 3 + 135, 3 + 76};
    MapDialogRect(m_page.m_hWnd, &fromTemplate);
    EXPECT_EQ(alone.right, fromTemplate.right - fromTemplate.left);
    EXPECT_EQ(alone.bottom, fromTemplate.bottom - fromTemplate.top);

    const HWND container =
        CreateWindowExW(0, u"PageHost", u"", WS_CHILD | WS_VISIBLE, 4, 6, 231, 200, m_host, IDC_TABS, nullptr, nullptr);
    ASSERT_NE(container, nullptr);
    ProbePage page;
    ASSERT_TRUE(page.Create(IDD_SCANNER_PAGE, &m_parent));
    const RECT placed = listRect(page);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.right, 231);
    EXPECT_EQ(placed.bottom, alone.bottom);  // its height stays
    page.DestroyWindow();
    DestroyWindow(container);
}

TEST_F(ScannerPage, OutOfRangeFontSizeUsesTwelve)
{
    for (LONG stored : {9, 21}) {
        g_settings.SetValue(SettingFontSize, stored);
        ProbePage page;
        ASSERT_TRUE(page.Create(IDD_SCANNER_PAGE, &m_parent));
        EXPECT_EQ(page.m_fontSize, 12);
        page.DestroyWindow();
    }
}

}  // namespace
