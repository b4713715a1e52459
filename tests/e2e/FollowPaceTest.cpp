// The demo's large view in real time: following a network on the street
// walk it takes about ten readings a second, as it would from a real radio's
// scans of one channel, not one at every poll of its timer.
#include "app/Globals.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/devices/SimulatedProvider.h"
#include "res/Resource.h"
#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/FakeProvider.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string StreetWalk()
{
    std::ifstream file(TARVOLIN_SCENARIO_DIR "/street-walk.scn", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class FollowPace : public MainWindowTest { };

TEST_F(FollowPace, LargeViewTakesAboutTenReadingsASecond)
{
    std::string error;
    auto radio = UseSimulatedRadio(StreetWalk(), error, platform::SimulatedTime::RealTime);
    ASSERT_TRUE(radio) << error;
    std::vector<Clock::time_point> reads;
    FakeProvider* inner = radio.get();
    radio->onReadScan = [inner, &reads](const std::string& name, std::vector<platform::WirelessBss>& networks) {
        reads.push_back(Clock::now());
        return inner->Inner()->ReadScan(name, networks);
    };
    Open();
    ScanTick();  // the list shows what the radio held before its first sweep
    // From here on the timers run: the scan timer polls for the end of each
    // scan of the followed network's channel.
    platform::core::HoldTimers(false);
    m_dialog->GetScannerPage()->SendMessage(WM_COMMAND, ID_GO_LARGE, 0);
    ASSERT_TRUE(m_dialog->GetScannerPage()->IsLargeViewShown());
    const std::size_t before = reads.size();
    // The first reading waits for the sweep under way (seconds); the pace
    // is taken from the second reading to the twentieth.
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (reads.size() < before + 20 && Clock::now() < deadline) {
        platform::testing::ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    radio->onReadScan = nullptr;
    ASSERT_EQ(reads.size(), before + 20) << "the large view stopped reading";
    const double seconds = std::chrono::duration<double>(reads.back() - reads[before + 1]).count();
    const double perSecond = 18 / seconds;
    std::printf("large view: %.1f readings a second\n", perSecond);
    EXPECT_GE(perSecond, 4.0);
    EXPECT_LE(perSecond, 12.0);
}

}  // namespace
