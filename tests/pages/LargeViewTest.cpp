// The large view's click on the scanner page: when the page asks the sound
// player for clicks, and at what rate.
#include "catalogue/ApList.h"
#include "pages/GuideTone.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/media/Sound.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "tests/support/NetworkEntry.h"
#include "tests/support/PlainWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

extern CSettings g_settings;
extern CLanguage g_language;
extern CApList g_apList;

namespace {

class ProbePage : public CScannerDlg {
public:
    using CScannerDlg::m_history;
    using CScannerDlg::m_selectedNumber;
    using CScannerDlg::OnGoLarge;
};

// Public throughout: the cases' table works the page through the fixture.
class LargeView : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        // Whatever sound server the machine has stays out of it.
        setenv("PULSE_SERVER", "unix:/nonexistent/tarvolin-test", 1);
    }

    void SetUp() override
    {
        platform::core::HoldTimers(true);
        platform::core::SetTickCountOverride([this] { return m_now; });
        SetClickObserver(&LargeView::Observe, this);
        g_language.SelectLanguage(0);
        g_settings.SetValue(SettingSoundOff, 0);
        g_settings.SetValue(SettingHideWEP, 0);
        g_settings.SetValue(SettingHidePeer, 0);
        g_apList.Clear();
        const ScanEntry both[2] = {NetworkEntry(1, -67), NetworkEntry(2, -50)};
        g_apList.Merge(both, 2);
        ASSERT_TRUE(CreatePlainWindow(m_parent, RECT{0, 0, 240, 268}, nullptr, WS_VISIBLE));
        ASSERT_TRUE(m_page.Create(IDD_SCANNER_PAGE, &m_parent));
        m_page.ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        if (m_page.m_hWnd != nullptr)
            m_page.DestroyWindow();
        m_parent.DestroyWindow();
        SetClickObserver(nullptr, nullptr);
        platform::core::SetTickCountOverride({});
        platform::core::HoldTimers(false);
        g_settings.SetValue(SettingSoundOff, 1);
    }

    static void Observe(DWORD milliHertz, void* context)
    {
        static_cast<LargeView*>(context)->m_rates.push_back(milliHertz);
    }

    void GoLarge(LONG number)
    {
        m_page.m_selectedNumber = number;
        m_page.OnGoLarge();
    }
    // A scan completes `afterMs` after the last one, hearing network 1 at
    // `rssi`, or (0) only network 2. As in the main window, the catalogue
    // takes it in before the page.
    void Scan(DWORD afterMs, LONG rssi)
    {
        m_now += afterMs;
        std::vector<ScanEntry> heard{NetworkEntry(2, -50)};
        if (rssi != 0)
            heard.push_back(NetworkEntry(1, rssi));
        g_apList.Merge(heard.data(), static_cast<int>(heard.size()));
        m_page.OnScanCompleted(heard.data(), static_cast<int>(heard.size()));
    }
    void Leave() { m_page.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
    DWORD Clicking() const { return m_rates.empty() ? 0 : m_rates.back(); }

    DWORD m_now = 5000000;
    std::vector<DWORD> m_rates;
    CWnd m_parent;
    ProbePage m_page;
};

TEST_F(LargeView, ClickFollowsTheLatestSignal)
{
    GoLarge(0);
    EXPECT_EQ(Clicking(), 0u);  // nothing heard yet
    Scan(1000, -60);
    EXPECT_EQ(Clicking(), CGuideTone::RateFor(-60));
    EXPECT_EQ(platform::core::TimerPeriod(m_page.m_hWnd, CScannerDlg::kToneTimer), CGuideTone::kQuietAfterMs);
    Scan(1000, -30);
    EXPECT_EQ(Clicking(), CGuideTone::RateFor(-30));
    // Misses keep the pace of the last signal heard, for three seconds.
    Scan(1000, 0);
    Scan(1000, 0);
    EXPECT_EQ(Clicking(), CGuideTone::RateFor(-30));
    EXPECT_EQ(platform::core::TimerPeriod(m_page.m_hWnd, CScannerDlg::kToneTimer), 1000u);
    m_now += 1000;
    m_page.SendMessage(WM_TIMER, CScannerDlg::kToneTimer, 0);
    EXPECT_EQ(Clicking(), 0u);
    EXPECT_EQ(platform::core::TimerPeriod(m_page.m_hWnd, CScannerDlg::kToneTimer), 0u);
    Scan(500, -90);
    EXPECT_EQ(Clicking(), CGuideTone::RateFor(-90));
    // Each rate is handed over once.
    EXPECT_EQ(m_rates, (std::vector<DWORD>{3162, 10000, 0, 1000}));
}

TEST_F(LargeView, ClickStopsAtOnceWhenItsConditionEnds)
{
    struct Case {
        const char* name;
        std::function<void(LargeView&)> end;
        std::function<void(LargeView&)> undo;  // what brings it back; null when nothing does
    };
    const Case cases[] = {
        {"the view is left", [](LargeView& t) { t.Leave(); }, nullptr},
        {"scanning is suspended", [](LargeView& t) { t.m_page.SetScanning(false); },
         [](LargeView& t) { t.m_page.SetScanning(true); }},
        {"another tab is shown", [](LargeView& t) { t.m_page.ShowWindow(SW_HIDE); },
         [](LargeView& t) { t.m_page.ShowWindow(SW_SHOW); }},
        {"the sound is switched off there",
         [](LargeView& t) {
             t.m_page.ShowWindow(SW_HIDE);
             g_settings.SetValue(SettingSoundOff, 1);
             t.m_page.ShowWindow(SW_SHOW);
         },
         [](LargeView& t) {
             t.m_page.ShowWindow(SW_HIDE);
             g_settings.SetValue(SettingSoundOff, 0);
             t.m_page.ShowWindow(SW_SHOW);
         }},
        {"the program stops", [](LargeView& t) { t.m_page.DestroyWindow(); }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        GoLarge(0);
        Scan(500, -60);
        ASSERT_EQ(Clicking(), 3162u);
        c.end(*this);
        EXPECT_EQ(Clicking(), 0u);
        if (m_page.m_hWnd == nullptr)
            continue;
        EXPECT_EQ(platform::core::TimerPeriod(m_page.m_hWnd, CScannerDlg::kToneTimer), 0u);
        Scan(500, -45);
        EXPECT_EQ(Clicking(), 0u);
        if (c.undo) {
            c.undo(*this);
            EXPECT_EQ(Clicking(), CGuideTone::RateFor(-45));
        }
    }
}

TEST_F(LargeView, SilentWithTheSoundOffAndForgetsAnotherNetwork)
{
    g_settings.SetValue(SettingSoundOff, 1);
    GoLarge(0);
    Scan(1000, -40);
    Scan(1000, -50);
    EXPECT_TRUE(m_rates.empty());
    EXPECT_EQ(m_page.m_history.Recent(m_now).size(), 2u);

    // Back to the list and large on the other network: its graph starts
    // empty. The same network again keeps its minute.
    m_page.Restore();
    GoLarge(1);
    EXPECT_TRUE(m_page.m_history.Recent(m_now).empty());
    Scan(1000, 0);
    m_page.Restore();
    GoLarge(1);
    EXPECT_EQ(m_page.m_history.Recent(m_now).size(), 1u);
    // While the list shows, scans add nothing.
    m_page.Restore();
    Scan(1000, -40);
    GoLarge(1);
    EXPECT_EQ(m_page.m_history.Recent(m_now).size(), 1u);
}

// Opened again, the view clicks at once at the pace of the latest reading
// the list showed, without waiting for a scan of its own; the quiet time
// counts from that reading.
TEST_F(LargeView, OpenedAgainTheClickStartsFromTheLatestReading)
{
    struct Case {
        const char* name;
        LONG number;     // the network the view is opened on
        LONG listRssi;   // network 1 in the scan while the list shows; 0: missed
        DWORD openedMs;  // after that scan
        DWORD clicking;
        DWORD quietIn;
    };
    // The view heard network 1 at -60 dBm one second before the list's scan.
    const Case cases[] = {
        {"heard by the list a moment ago", 0, -45, 300, 5623, 2700},
        {"heard by the list a while ago", 0, -45, 2900, 5623, 100},
        {"heard by the list longer ago than the quiet time", 0, -45, 3000, 0, 0},
        {"missed by the list: the view's own reading keeps its pace", 0, 0, 300, 3162, 1700},
        {"missed by the list and not heard since", 0, 0, 2000, 0, 0},
        {"another network the list heard", 1, -45, 300, 4642, 2700},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        GoLarge(0);
        Scan(500, -60);
        ASSERT_EQ(Clicking(), 3162u);
        Leave();
        ASSERT_EQ(Clicking(), 0u);
        Scan(1000, c.listRssi);
        m_now += c.openedMs;
        GoLarge(c.number);
        EXPECT_EQ(Clicking(), c.clicking);
        EXPECT_EQ(platform::core::TimerPeriod(m_page.m_hWnd, CScannerDlg::kToneTimer), c.quietIn);
    }
}

}  // namespace
