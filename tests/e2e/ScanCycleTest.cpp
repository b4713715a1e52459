// The whole program on the simulated radio, driven through scan and blink
// ticks by sending the timer messages; real timers are held.
#include "app/Globals.h"
#include "app/MainDlg.h"
#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/core/ListView.h"
#include "platform/core/WinApp.h"
#include "platform/devices/SimulatedProvider.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/FakeProvider.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Two wireless adapters reported in the order wlan1, wlan0, and a wired one.
// Network 1 is heard all along, network 2 from step 1 on, network 3 only at
// step 0.
const char* kScenario = R"(
steps 4
after hold
adapter wlan1 wireless
adapter eth0 wired
adapter wlan0 wireless
network 02:00:00:00:00:01 ssid="One"   channel=1  open    signal=0:-50,3:-80
network 02:00:00:00:00:02 ssid="Two"   channel=6  secured signal=1:-60
network 02:00:00:00:00:03 ssid="Three" channel=36 open    signal=0:-70,1:off
)";

class ScanCycle : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        std::string error;
        m_radio = UseSimulatedRadio(kScenario, error);
        ASSERT_TRUE(m_radio) << error;
    }
    bool IconShown() const { return m_dialog->m_activityIcon.IsWindowVisible() != FALSE; }
    CString Status() const
    {
        WCHAR text[64] = {};
        ::GetWindowTextW(::GetDlgItem(m_dialog->GetScannerPage()->m_hWnd, IDC_STATUS), text, 64);
        return text;
    }
    std::vector<CString> Names()
    {
        std::vector<CString> names;
        ApRecord record{};
        for (LONG i = 0; g_apList.GetDisplayed(i, record); ++i)
            names.push_back(CScannerDlg::CellText(record, 0));
        return names;
    }

    std::shared_ptr<FakeProvider> m_radio;
};

TEST_F(ScanCycle, StartSelectsTheFirstSortedAdapterAndStartsBothTimers)
{
    Open();
    CString adapter;
    g_settings.GetString(SettingAdapter, adapter);
    EXPECT_EQ(adapter, u"wlan0");
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
    EXPECT_EQ(Period(CMainDlg::kBlinkTimer), 500u);
    EXPECT_TRUE(IconShown());
    LONG total = -1, active = -1;
    g_apList.BuildDisplayList(total, active);
    EXPECT_EQ(total, 0);
}

TEST_F(ScanCycle, EachTickShowsTheScanStartedOneTickEarlier)
{
    Open();
    ScanTick();  // reads step 0, asks for step 1
    EXPECT_EQ(Names(), (std::vector<CString>{u"Three", u"One"}));
    EXPECT_EQ(Status(), u"2/2 active");
    ScanTick();  // reads step 1
    EXPECT_EQ(Names(), (std::vector<CString>{u"Two", u"One", u"Three"}));
    EXPECT_EQ(Status(), u"2/3 active");
    EXPECT_EQ(m_dialog->GetScannerPage()->m_hWnd != nullptr, true);
    EXPECT_EQ(m_radio->triggered.size(), 2u);
}

TEST_F(ScanCycle, TickStopsItsTimerWhileItWorksAndRearmsWithTheCurrentSpeed)
{
    Open();
    UINT duringRead = 12345;
    m_radio->onReadScan = [&](const std::string& name, std::vector<platform::WirelessBss>& networks) {
        duringRead = Period(CMainDlg::kScanTimer);
        return m_radio->Inner()->ReadScan(name, networks);
    };
    ScanTick();
    EXPECT_EQ(duringRead, 0u);  // no second tick can start meanwhile
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
    g_settings.SetValue(SettingScanSpeed, 5);
    ScanTick();
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 2500u);
}

TEST_F(ScanCycle, FailingOrEmptyReadOutLeavesTheCatalogueAndStillRefreshes)
{
    Open();
    ScanTick();
    ASSERT_EQ(Status(), u"2/2 active");
    // A read-out that fails, and one that finds nothing.
    using ReadScan = decltype(FakeProvider::onReadScan);
    const ReadScan failing = [](const std::string&, std::vector<platform::WirelessBss>&) { return ERROR_GEN_FAILURE; };
    const ReadScan empty = [this](const std::string& name, std::vector<platform::WirelessBss>& networks) {
        const DWORD result = m_radio->Inner()->ReadScan(name, networks);
        networks.clear();
        return result;
    };
    for (const ReadScan& readScan : {failing, empty}) {
        m_radio->onReadScan = readScan;
        m_dialog->GetScannerPage()->Restore();  // empties the list: a refresh must fill it again
        ScanTick();
        EXPECT_EQ(Status(), u"2/2 active");  // nobody became inactive
        const HWND list = ::GetDlgItem(m_dialog->GetScannerPage()->m_hWnd, IDC_NETWORK_LIST);
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);  // refilled by the refresh
        EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
    }
}

TEST_F(ScanCycle, IconBlinksAfterAFullFirstInterval)
{
    Open();
    std::vector<bool> shown;
    for (int i = 0; i < 4; ++i) {
        BlinkTick();
        shown.push_back(IconShown());
        EXPECT_EQ(Period(CMainDlg::kBlinkTimer), 500u);
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false, true, false}));
}

TEST_F(ScanCycle, SuspendAndResumeKeepTheCatalogueAndRestartTheBlink)
{
    Open();
    ScanTick();
    BlinkTick();
    BlinkTick();
    ASSERT_FALSE(IconShown());
    m_dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SUSPEND, BN_CLICKED), 0);
    EXPECT_FALSE(m_dialog->m_scanning);
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 0u);
    EXPECT_EQ(Period(CMainDlg::kBlinkTimer), 0u);
    EXPECT_FALSE(IconShown());
    m_dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SUSPEND, BN_CLICKED), 0);
    EXPECT_TRUE(m_dialog->m_scanning);
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
    EXPECT_TRUE(IconShown());
    BlinkTick();
    EXPECT_TRUE(IconShown());  // visible for a full interval again
    EXPECT_EQ(Names().size(), 2u);
}

TEST_F(ScanCycle, NoAdapterAndNoStoredNameDarkensTheIconForGood)
{
    std::string error;
    auto wired = platform::MakeSimulatedProviderFromText("adapter eth0 wired\n", error);
    ASSERT_TRUE(wired) << error;
    platform::SetWirelessProvider(wired);
    g_settings.SetString(SettingAdapter, u"");
    Open();
    EXPECT_TRUE(IconShown());
    BlinkTick();
    EXPECT_FALSE(IconShown());
    EXPECT_EQ(Period(CMainDlg::kBlinkTimer), 0u);  // not re-armed
    ScanTick();
    EXPECT_EQ(Status(), u"0/0 active");
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);  // scanning goes on
}

TEST_F(ScanCycle, NoWirelessAdapterKeepsTheStoredName)
{
    std::string error;
    platform::SetWirelessProvider(platform::MakeSimulatedProviderFromText("adapter eth0 wired\n", error));
    Open();
    CString adapter;
    g_settings.GetString(SettingAdapter, adapter);
    EXPECT_EQ(adapter, u"stored0");
}

TEST_F(ScanCycle, ExitStopsBothTimersAndEndsWithOne)
{
    Open();
    m_dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), 0);
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 0u);
    EXPECT_EQ(Period(CMainDlg::kBlinkTimer), 0u);
}

struct IntervalCase {
    LONG speed;
    UINT interval;
};

class ScanInterval : public ::testing::TestWithParam<IntervalCase> { };

TEST_P(ScanInterval, FollowsTheScanSpeed)
{
    g_settings.SetValue(SettingScanSpeed, GetParam().speed);
    EXPECT_EQ(CMainDlg::GetScanInterval(), GetParam().interval);
}

INSTANTIATE_TEST_SUITE_P(Table, ScanInterval,
                         ::testing::Values(IntervalCase{1, 500}, IntervalCase{2, 1000}, IntervalCase{5, 2500},
                                           IntervalCase{0, 1000}, IntervalCase{6, 1000}, IntervalCase{-1, 1000}),
                         [](const auto& info) {
                             const LONG s = info.param.speed;
                             return std::string(s < 0 ? "minus" : "speed") + std::to_string(s < 0 ? -s : s);
                         });

}  // namespace
