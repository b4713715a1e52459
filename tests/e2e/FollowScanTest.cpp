// The large view follows one network with scans of its channel alone: the
// whole program on the simulated radio, which keeps the frequencies each scan
// request named. Timers are held; the tests send the scan ticks themselves.
#include "app/Globals.h"
#include "app/MainDlg.h"
#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/devices/SimulatedProvider.h"
#include "res/Resource.h"
#include "settings/Settings.h"
#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/FakeProvider.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Followed is heard on 2437 MHz (channel 6) until step 4; Beside, on
// 2412 MHz, goes away at step 2; Far is on 5180 MHz all along. Every scan
// is a step long, so each tick reads the next step.
const char* kScenario = R"(
steps 6
after hold
timing sweep=1s channel=1s
adapter wlan0 wireless
network 02:00:00:00:00:01 ssid="Followed" channel=6  open signal=0:-60,2:-50,4:off
network 02:00:00:00:00:02 ssid="Beside"   channel=1  open signal=0:-70,2:off
network 02:00:00:00:00:03 ssid="Far"      channel=36 open signal=0:-80
)";

using Requests = std::vector<std::vector<std::uint32_t>>;
const std::vector<std::uint32_t> kEvery{};
const std::vector<std::uint32_t> kFollowed{2437};

class FollowScan : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        std::string error;
        m_radio = UseSimulatedRadio(Scenario(), error);
        ASSERT_TRUE(m_radio) << error;
        platform::core::SetTickCountOverride([this] { return m_now; });
    }
    void TearDown() override
    {
        platform::core::SetTickCountOverride({});
        MainWindowTest::TearDown();
    }
    virtual const char* Scenario() const { return kScenario; }
    // The frequencies each scan request named, as the simulated radio kept them.
    Requests Asked() { return platform::SimulatedScanRequests(*m_radio->Inner(), "wlan0"); }
    // From now on the radio's scans end only when the test says: until then
    // the count of ended scans stands still.
    void HoldEndedScans(std::uint64_t count)
    {
        m_radio->onCountEndedScans = [count](const std::string&, std::uint64_t& ended) {
            ended = count;
            return static_cast<DWORD>(ERROR_SUCCESS);
        };
    }
    CScannerDlg& Page() { return *m_dialog->GetScannerPage(); }
    // Record 0 is the first network heard: Followed.
    void GoLarge() { Page().SendMessage(WM_COMMAND, ID_GO_LARGE, 0); }
    void TapLargeView() { Page().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20)); }
    ApRecord Record(LONG number)
    {
        ApRecord record{};
        EXPECT_TRUE(g_apList.GetByNumber(number, record));
        return record;
    }

    std::shared_ptr<FakeProvider> m_radio;
    DWORD m_now = 1000;
};

TEST_F(FollowScan, EnteringAndLeavingTheLargeViewSwitchesBetweenOneChannelAndEveryChannel)
{
    Open();
    ScanTick();
    EXPECT_EQ(Asked(), (Requests{kEvery}));

    GoLarge();
    // At once: the scan tick comes round in a moment, not at the chosen speed.
    EXPECT_EQ(Period(CMainDlg::kScanTimer), CMainDlg::kFollowPollMs);
    ScanTick();
    ScanTick();
    EXPECT_EQ(Asked(), (Requests{kEvery, kFollowed, kFollowed}));
    EXPECT_EQ(Period(CMainDlg::kScanTimer), CMainDlg::kFollowPollMs);
    EXPECT_EQ(Period(CMainDlg::kBlinkTimer), 500u);  // the blink goes on as before

    TapLargeView();
    ASSERT_FALSE(Page().IsLargeViewShown());
    // A sweep of every channel is asked for at once, and the chosen speed is back.
    EXPECT_EQ(Asked(), (Requests{kEvery, kFollowed, kFollowed, kEvery}));
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
    ScanTick();
    EXPECT_EQ(Asked().back(), kEvery);
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
}

TEST_F(FollowScan, SwitchingTheAdapterLeavesTheLargeViewAndSweepsEveryChannel)
{
    Open();
    ScanTick();
    GoLarge();
    ScanTick();
    ASSERT_EQ(Asked().back(), kFollowed);
    m_dialog->OnAdapterSelChange();
    EXPECT_FALSE(Page().IsLargeViewShown());
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
    ScanTick();
    EXPECT_EQ(Asked().back(), kEvery);
}

TEST_F(FollowScan, SuspendedInTheLargeViewNothingScansAndResumeFollowsAgain)
{
    Open();
    ScanTick();
    GoLarge();
    ScanTick();
    m_dialog->OnSuspend();
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 0u);
    GoLarge();  // entering again while suspended starts nothing
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 0u);
    const std::size_t asked = Asked().size();
    m_dialog->OnSuspend();
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
    EXPECT_EQ(Asked().size(), asked);
    ScanTick();
    EXPECT_EQ(Asked().back(), kFollowed);
}

// A scan of one channel says nothing of the others: their records keep
// their values, while the followed network's record takes each reading,
// and a scan that misses it shows it inactive.
TEST_F(FollowScan, ScansOfOneChannelLeaveTheOtherNetworksAsTheyWere)
{
    Open();
    ScanTick();  // step 0: all three
    const ApRecord besideBefore = Record(1);
    ASSERT_EQ(CScannerDlg::CellText(besideBefore, 0), u"Beside");
    GoLarge();
    m_now += 5000;
    for (int tick = 0; tick < 5; ++tick)  // steps 1 to 4 read; Beside goes at step 2
        ScanTick();
    const ApRecord beside = Record(1);
    EXPECT_EQ(beside.active, 1);
    EXPECT_EQ(beside.rssi, -70);
    EXPECT_EQ(beside.lastSeen, besideBefore.lastSeen);
    EXPECT_EQ(Record(2).active, 1);
    const ApRecord followed = Record(0);
    EXPECT_EQ(followed.active, 0);  // off at step 4
    EXPECT_EQ(followed.bestRssi, -50);

    // Back in the list, the next sweep tells what became of the others.
    TapLargeView();
    ScanTick();
    EXPECT_EQ(Record(1).active, 0);
}

// Each scan of the channel is read as soon as the adapter counts it ended,
// not before; one that never ends is asked for again after a while.
TEST_F(FollowScan, EachScanIsReadWhenItEnds)
{
    HoldEndedScans(0);
    Open();
    ScanTick();
    GoLarge();
    ScanTick();  // reads the sweep, asks for the channel
    ASSERT_EQ(Asked().size(), 2u);
    const std::size_t reads = m_radio->read.size();

    ScanTick();
    ScanTick();
    EXPECT_EQ(m_radio->read.size(), reads);  // still running: nothing read, nothing asked
    EXPECT_EQ(Asked().size(), 2u);
    EXPECT_EQ(Period(CMainDlg::kScanTimer), CMainDlg::kFollowPollMs);

    HoldEndedScans(1);
    ScanTick();
    EXPECT_EQ(m_radio->read.size(), reads + 1);
    EXPECT_EQ(Asked().size(), 3u);

    m_now += CMainDlg::kFollowScanTimeoutMs - 1;
    ScanTick();
    EXPECT_EQ(Asked().size(), 3u);
    m_now += 1;
    ScanTick();  // lost: asked for again
    EXPECT_EQ(Asked().size(), 4u);
    EXPECT_EQ(Asked().back(), kFollowed);
}

// The large view opens while the sweep before it still runs: the adapter is
// busy, so the sweep's end is waited for at the quick pace, and the channel
// is asked for as soon as it ends.
TEST_F(FollowScan, ABusyAdapterIsWaitedForAtTheQuickPace)
{
    std::string error;
    m_radio = UseSimulatedRadio(Scenario(), error, platform::SimulatedTime::Manual);
    ASSERT_TRUE(m_radio) << error;
    Open();
    ScanTick();  // asks for a sweep, which runs until the clock moves
    GoLarge();
    ScanTick();  // the channel is refused: the sweep still runs
    EXPECT_EQ(Period(CMainDlg::kScanTimer), CMainDlg::kFollowPollMs);
    ScanTick();
    EXPECT_EQ(Period(CMainDlg::kScanTimer), CMainDlg::kFollowPollMs);
    ASSERT_TRUE(platform::AdvanceSimulatedClock(*m_radio->Inner(), 1000));
    ScanTick();  // the sweep has ended: read, and the channel asked for
    EXPECT_EQ(Asked().back(), kFollowed);
    EXPECT_EQ(Period(CMainDlg::kScanTimer), CMainDlg::kFollowPollMs);
}

// Followed is on a frequency no scan of one channel may name: 7200 MHz, past
// the 6 GHz band, or (moved there by the test's reading) 60 GHz.
const char* kOutOfReach = R"(
steps 6
after hold
adapter wlan0 wireless
network 02:00:00:00:00:01 ssid="Followed" freq=7200 open signal=0:-60,1:-55,2:-50,3:-45,4:-40
network 02:00:00:00:00:02 ssid="Beside"   channel=1  open signal=0:-70
)";

class FollowOutOfReach : public FollowScan, public ::testing::WithParamInterface<std::uint32_t> {
protected:
    const char* Scenario() const override { return kOutOfReach; }
};

// The adapter refuses a scan of such a channel alone; the large view then
// follows the network with sweeps of every channel, each read when it ends,
// and its readings go on.
TEST_P(FollowOutOfReach, IsFollowedWithSweeps)
{
    const std::uint32_t mhz = GetParam();
    m_radio->onReadScan = [this, mhz](const std::string& name, std::vector<platform::WirelessBss>& networks) {
        const DWORD error = m_radio->Inner()->ReadScan(name, networks);
        for (platform::WirelessBss& bss : networks) {
            if (bss.bssid[5] == 1)
                bss.frequencyMhz = mhz;
        }
        return error;
    };
    Open();
    ScanTick();
    GoLarge();
    ASSERT_TRUE(Page().IsLargeViewShown());
    ASSERT_EQ(Record(0).frequency, mhz);
    const std::size_t before = Asked().size();
    const LONG first = Record(0).rssi;
    for (int tick = 0; tick < 3; ++tick)
        ScanTick();
    // Every tick asked for a scan, each a sweep, and the quick pace held.
    ASSERT_EQ(Asked().size(), before + 3);
    for (std::size_t i = before; i < Asked().size(); ++i)
        EXPECT_EQ(Asked()[i], kEvery) << i;
    EXPECT_EQ(Period(CMainDlg::kScanTimer), CMainDlg::kFollowPollMs);
    EXPECT_GT(Record(0).rssi, first);  // the readings went on
    EXPECT_EQ(Record(1).active, 1);    // and the sweeps keep the others fresh
}

INSTANTIATE_TEST_SUITE_P(Frequencies, FollowOutOfReach, ::testing::Values(7200u, 58320u),
                         [](const auto& info) { return std::to_string(info.param) + "MHz"; });

}  // namespace
