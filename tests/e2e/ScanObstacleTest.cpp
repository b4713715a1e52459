// The main window tells the user, once per run, what stands in the way of
// scanning: no wireless adapter, or scans that cannot be started. The
// simulated radio provides both situations.
#include "app/Globals.h"
#include "platform/Testing.h"
#include "platform/Text.h"
#include "tests/e2e/MainWindowFixture.h"

#include "platform/devices/SimulatedProvider.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr const char* kNoWireless = "adapter eth0 wired\n";
constexpr const char* kDenied = "adapter wlan0 wireless trigger=denied\n"
                                "network 02:00:00:00:00:01 ssid=\"One\" channel=1 open signal=0:-50\n";
constexpr const char* kNoCapability = "adapter wlan0 wireless trigger=no-capability\n"
                                      "network 02:00:00:00:00:01 ssid=\"One\" channel=1 open signal=0:-50\n";
constexpr const char* kWorking = "adapter wlan0 wireless\n"
                                 "network 02:00:00:00:00:01 ssid=\"One\" channel=1 open signal=0:-50\n";

struct ObstacleCase {
    const char* name;
    const char* scenario;
    int language;
    // Words the one box must hold; none when no box may come.
    std::vector<std::u16string> words;
};

void PrintTo(const ObstacleCase& c, std::ostream* os)
{
    *os << c.name;
}

class ScanObstacle : public MainWindowTest, public ::testing::WithParamInterface<ObstacleCase> {
protected:
    void TicksWithEventsBetween(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            ScanTick();
            BlinkTick();
            platform::testing::ProcessEvents();
        }
    }
};

TEST_P(ScanObstacle, UserIsToldOnceAndScanningGoesOn)
{
    const ObstacleCase& c = GetParam();
    std::string error;
    auto radio = platform::MakeSimulatedProviderFromText(c.scenario, error);
    ASSERT_TRUE(radio) << error;
    platform::SetWirelessProvider(radio);
    g_language.SelectLanguage(c.language);
    Open();
    platform::testing::ProcessEvents();
    EXPECT_TRUE(m_boxes.empty()) << "told before the first scan tick";

    TicksWithEventsBetween(5);
    if (c.words.empty()) {
        EXPECT_TRUE(m_boxes.empty());
        return;
    }
    ASSERT_EQ(m_boxes.size(), 1u) << "told once, not at every tick";
    for (const std::u16string& word : c.words)
        EXPECT_NE(m_boxes[0].text.find(word), std::u16string::npos)
            << platform::Utf16ToUtf8(word) << " missing from " << platform::Utf16ToUtf8(m_boxes[0].text);
    // The box came up after its tick had re-armed the scan timer.
    EXPECT_EQ(m_boxes[0].scanPeriod, 1000u);
    EXPECT_EQ(Period(CMainDlg::kScanTimer), 1000u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScanObstacle,
    ::testing::Values(
        ObstacleCase{"NoAdapterEnglish", kNoWireless, 0, {u"No wireless adapter", u"tarvolin-demo"}},
        ObstacleCase{"NoAdapterGerman", kNoWireless, 6, {u"kein WLAN-Adapter", u"tarvolin-demo"}},
        ObstacleCase{"NoAdapterRussian", kNoWireless, 5, {u"адаптер не найден", u"tarvolin-demo"}},
        ObstacleCase{"DeniedEnglish", kDenied, 0, {u"cannot be started", u"tarvolin-trigger", u"NetworkManager"}},
        ObstacleCase{"DeniedHungarian", kDenied, 1, {u"nem indítható", u"tarvolin-trigger", u"NetworkManager"}},
        ObstacleCase{"DeniedFrench", kDenied, 3, {u"Impossible de lancer", u"tarvolin-trigger", u"NetworkManager"}},
        // The installed helper lost its capability: how to give it back, not
        // advice to install the package.
        ObstacleCase{"NoCapabilityEnglish",
                     kNoCapability,
                     0,
                     {u"is installed but has lost its capability", u"sudo setcap cap_net_admin+ep /usr/lib/tarvolin/"}},
        ObstacleCase{"NoCapabilityGerman", kNoCapability, 6, {u"ist installiert", u"sudo setcap cap_net_admin+ep"}},
        ObstacleCase{"NoCapabilityPolish", kNoCapability, 2, {u"jest zainstalowany", u"sudo setcap cap_net_admin+ep"}},
        ObstacleCase{"WorkingRadioTellsNothing", kWorking, 0, {}}),
    [](const ::testing::TestParamInfo<ObstacleCase>& info) { return std::string(info.param.name); });

}  // namespace
