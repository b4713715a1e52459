#include "platform/devices/Scenario.h"
#include "platform/devices/SimulatedProvider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

namespace {

using platform::SimulatedTime;
using platform::WirelessBss;

// Each sweep on a leaping clock moves the walk on by the sweep's time.
std::shared_ptr<platform::WirelessProvider> Make(std::string_view text, SimulatedTime time = SimulatedTime::Leaping)
{
    std::string error;
    auto provider = platform::MakeSimulatedProviderFromText(text, error, time);
    EXPECT_NE(provider, nullptr) << error;
    return provider;
}

// The signal of one network (by last MAC byte) as the adapter reads it now, or
// 1 when it is not heard.
int Heard(platform::WirelessProvider& provider, const std::string& adapter, std::uint8_t lastByte)
{
    std::vector<WirelessBss> networks;
    EXPECT_EQ(provider.ReadScan(adapter, networks), ERROR_SUCCESS);
    for (const WirelessBss& bss : networks) {
        if (bss.bssid[5] == lastByte)
            return bss.rssiDbm;
    }
    return 1;
}

// With sweeps as long as a step, each one reads the next step.
TEST(SimulatedProvider, SignalFollowsItsTimelineStepByStep)
{
    auto provider = Make("steps 8\ntiming sweep=1s\n"
                         "adapter wlan0 wireless\n"
                         "network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=2:-90,6:-50,7:off\n"
                         "network 02:00:00:00:00:02 ssid=\"b\" channel=1 signal=0:-60,1:off,3:-70\n");
    // Step:                          0   1    2    3    4    5    6    7   7 (held)
    const int expectedA[] = {1, 1, -90, -80, -70, -60, -50, 1, 1};
    const int expectedB[] = {-60, 1, 1, -70, -70, -70, -70, -70, -70};
    for (std::size_t step = 0; step < std::size(expectedA); ++step) {
        EXPECT_EQ(Heard(*provider, "wlan0", 1), expectedA[step]) << step;
        EXPECT_EQ(Heard(*provider, "wlan0", 2), expectedB[step]) << step;
        // Reading twice does not move time.
        EXPECT_EQ(Heard(*provider, "wlan0", 1), expectedA[step]) << step;
        ASSERT_EQ(provider->TriggerScan("wlan0"), ERROR_SUCCESS);
    }
}

TEST(SimulatedProvider, InterpolationRoundsTowardsTheEarlierValue)
{
    const platform::ScenarioNetwork up{{}, "", {{0, -90}, {3, -80}}, 1};
    const platform::ScenarioNetwork down{{}, "", {{0, -80}, {3, -90}}, 1};
    EXPECT_EQ(platform::SignalAt(up, 1), -87);
    EXPECT_EQ(platform::SignalAt(down, 1), -83);
    EXPECT_EQ(platform::SignalAt(up, 3), -80);
}

TEST(SimulatedProvider, LoopingTimelineStartsAgainAndEachAdapterHearsItsOwnLatestScan)
{
    auto provider = Make("steps 3\nafter loop\ntiming step=3s\n"
                         "adapter wlan0 wireless\nadapter wlan1 wireless\n"
                         "network 02:00:00:00:00:01 ssid=\"a\" channel=6 signal=0:-40,1:off,2:-60\n"
                         "network 02:00:00:00:00:02 ssid=\"b\" channel=6 adapter=wlan1 signal=0:-70\n");
    const int expected[] = {-40, 1, -60, -40, 1};
    for (const int e : expected) {
        EXPECT_EQ(Heard(*provider, "wlan0", 1), e);
        provider->TriggerScan("wlan0");
    }
    EXPECT_EQ(Heard(*provider, "wlan1", 1), -40);  // wlan1 has not scanned yet
    EXPECT_EQ(Heard(*provider, "wlan1", 2), -70);
    EXPECT_EQ(Heard(*provider, "wlan0", 2), 1);  // only wlan1 hears it
}

// On a clock the test moves: a scan takes its time, during which the count
// of ended scans stands still and another request is refused as busy; the
// list shows the walk where it stood when the latest scan ended, however
// long ago that was.
TEST(SimulatedProvider, ScansTakeTheirTimeAndTheWalkMovesWithTheClock)
{
    // a is heard at -90 + 5 dBm for every step (a second each by default).
    auto provider = Make("steps 10\n"
                         "adapter wlan0 wireless\n"
                         "network 02:00:00:00:00:01 ssid=\"a\" channel=6 signal=0:-90,9:-45\n",
                         SimulatedTime::Manual);
    enum class Ask { Nothing, Sweep, Channel };
    struct Moment {
        std::uint64_t advanceMs;
        std::uint64_t ended;  // scans ended by then
        int heard;            // a's signal in the list
        Ask ask;
        DWORD answer;
    };
    const Moment moments[] = {
        {0, 0, -90, Ask::Sweep, ERROR_SUCCESS},        // 0 ms: a sweep, until 3000 ms
        {2999, 0, -90, Ask::Channel, ERROR_BUSY},      // the sweep still runs
        {1, 1, -75, Ask::Channel, ERROR_SUCCESS},      // 3000 ms: step 3 heard; one channel until 3090 ms
        {89, 1, -75, Ask::Nothing, ERROR_SUCCESS},     // 3089 ms
        {1, 2, -75, Ask::Sweep, ERROR_SUCCESS},        // 3090 ms, still step 3; a sweep until 6090 ms
        {5000, 3, -60, Ask::Nothing, ERROR_SUCCESS},   // 8090 ms: the list is of 6090 ms, step 6
        {0, 3, -60, Ask::Sweep, ERROR_SUCCESS},        // until 11090 ms
        {60000, 4, -45, Ask::Nothing, ERROR_SUCCESS},  // held on the last step
    };
    const std::uint32_t channel6[] = {2437};
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.advanceMs);
        ASSERT_TRUE(platform::AdvanceSimulatedClock(*provider, m.advanceMs));
        std::uint64_t ended = 99;
        ASSERT_EQ(provider->CountEndedScans("wlan0", ended), ERROR_SUCCESS);
        EXPECT_EQ(ended, m.ended);
        EXPECT_EQ(Heard(*provider, "wlan0", 1), m.heard);
        if (m.ask == Ask::Sweep) {
            EXPECT_EQ(provider->TriggerScan("wlan0"), m.answer);
        } else if (m.ask == Ask::Channel) {
            EXPECT_EQ(provider->TriggerScanOn("wlan0", channel6), m.answer);
        }
    }
    // Every request is kept, the one refused as busy too.
    using Requests = std::vector<std::vector<std::uint32_t>>;
    EXPECT_EQ(platform::SimulatedScanRequests(*provider, "wlan0"), (Requests{{}, {2437}, {2437}, {}, {}}));

    // A wait for a scan on this clock lasts until someone moves it.
    ASSERT_EQ(provider->TriggerScan("wlan0"), ERROR_SUCCESS);
    std::atomic<bool> done = false;
    DWORD waited = ERROR_GEN_FAILURE;
    std::thread waiter([&] {
        std::string why;
        waited = provider->WaitForScan("wlan0", 10000, why);
        done = true;
    });
    std::uint64_t moved = 0;
    while (!done) {
        platform::AdvanceSimulatedClock(*provider, 100);
        moved += 100;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    waiter.join();
    EXPECT_EQ(waited, ERROR_SUCCESS);
    EXPECT_GE(moved, 3000u);
}

// In real time a wait lasts as long as the scan; a request refused as busy
// is served by a scan asked for again once the one under way has ended.
TEST(SimulatedProvider, WaitForScanLastsUntilAScanBegunAfterTheRequestEnds)
{
    auto provider = Make("timing sweep=200ms channel=20ms\n"
                         "adapter wlan0 wireless\nadapter wlan1 wireless\nadapter wlan2 wireless trigger=denied\n",
                         SimulatedTime::RealTime);
    using Clock = std::chrono::steady_clock;
    const auto waitMs = [&provider](const std::string& adapter, unsigned timeoutMs, DWORD& result) {
        std::string why;
        const auto start = Clock::now();
        result = provider->WaitForScan(adapter, timeoutMs, why);
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    std::uint64_t ended = 0;
    DWORD result = ERROR_GEN_FAILURE;
    const std::uint32_t channel1[] = {2412};

    ASSERT_EQ(provider->TriggerScanOn("wlan0", channel1), ERROR_SUCCESS);
    EXPECT_GE(waitMs("wlan0", 5000, result), 15);
    EXPECT_EQ(result, ERROR_SUCCESS);
    ASSERT_EQ(provider->CountEndedScans("wlan0", ended), ERROR_SUCCESS);
    EXPECT_EQ(ended, 1u);

    ASSERT_EQ(provider->TriggerScan("wlan0"), ERROR_SUCCESS);
    ASSERT_EQ(provider->TriggerScanOn("wlan0", channel1), ERROR_BUSY);
    EXPECT_GE(waitMs("wlan0", 5000, result), 210);
    EXPECT_EQ(result, ERROR_SUCCESS);
    ASSERT_EQ(provider->CountEndedScans("wlan0", ended), ERROR_SUCCESS);
    EXPECT_EQ(ended, 3u);  // the sweep, then the scan asked for again

    ASSERT_EQ(provider->TriggerScan("wlan0"), ERROR_SUCCESS);
    waitMs("wlan0", 10, result);
    EXPECT_EQ(result, ERROR_TIMEOUT);
    ASSERT_EQ(provider->CountEndedScans("wlan0", ended), ERROR_SUCCESS);
    EXPECT_EQ(ended, 3u);

    // Nothing asked for: nothing to wait for. Scans refused: why.
    EXPECT_LT(waitMs("wlan1", 5000, result), 1000);
    EXPECT_EQ(result, ERROR_SUCCESS);
    std::string why;
    EXPECT_EQ(provider->WaitForScan("wlan2", 5000, why), ERROR_ACCESS_DENIED);
    EXPECT_NE(why.find("wlan2"), std::string::npos);
    EXPECT_FALSE(platform::AdvanceSimulatedClock(*provider, 1000));
}

// A leaping clock ends each scan before the next question and moves the
// walk by the scan's time: a sweep three steps, a scan of one channel a
// tenth of one.
TEST(SimulatedProvider, LeapingClockMovesTheWalkByWhatEachScanTakes)
{
    auto provider = Make("steps 100\n"
                         "adapter wlan0 wireless\n"
                         "network 02:00:00:00:00:01 ssid=\"a\" channel=6 signal=0:-100,99:-1\n");
    const std::uint32_t channel6[] = {2437};
    EXPECT_EQ(Heard(*provider, "wlan0", 1), -100);
    ASSERT_EQ(provider->TriggerScan("wlan0"), ERROR_SUCCESS);
    EXPECT_EQ(Heard(*provider, "wlan0", 1), -97);
    for (int scan = 0; scan < 11; ++scan)
        ASSERT_EQ(provider->TriggerScanOn("wlan0", channel6), ERROR_SUCCESS);  // 3990 ms
    EXPECT_EQ(Heard(*provider, "wlan0", 1), -97);
    ASSERT_EQ(provider->TriggerScanOn("wlan0", channel6), ERROR_SUCCESS);
    EXPECT_EQ(Heard(*provider, "wlan0", 1), -96);  // 4080 ms
    std::uint64_t ended = 0;
    ASSERT_EQ(provider->CountEndedScans("wlan0", ended), ERROR_SUCCESS);
    EXPECT_EQ(ended, 13u);
    std::string why;
    ASSERT_EQ(provider->TriggerScan("wlan0"), ERROR_SUCCESS);
    EXPECT_EQ(provider->WaitForScan("wlan0", 0, why), ERROR_SUCCESS);
    EXPECT_EQ(Heard(*provider, "wlan0", 1), -93);  // 7080 ms
}

TEST(SimulatedProvider, TimingSetsHowLongStepsAndScansTake)
{
    struct Case {
        const char* line;
        std::uint32_t stepMs, sweepMs, channelMs;
    };
    const Case cases[] = {
        {"", 1000, 3000, 90},
        {"timing step=250ms sweep=2s channel=50ms\n", 250, 2000, 50},
        {"timing channel=1s\n", 1000, 3000, 1000},
        {"timing sweep=3600s step=1ms\n", 1, 3600000, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        const auto scenario = platform::ParseScenario(std::string(c.line) + "adapter wlan0 wireless\n", error);
        ASSERT_TRUE(scenario) << error;
        EXPECT_EQ(scenario->stepMs, c.stepMs);
        EXPECT_EQ(scenario->sweepMs, c.sweepMs);
        EXPECT_EQ(scenario->channelMs, c.channelMs);
        // A few channels take their time each, never longer than a sweep.
        EXPECT_EQ(scenario->ScanMs(0), c.sweepMs);
        EXPECT_EQ(scenario->ScanMs(1), std::min(c.channelMs, c.sweepMs));
        EXPECT_EQ(scenario->ScanMs(3), std::min(3 * c.channelMs, c.sweepMs));
    }
}

TEST(SimulatedProvider, AnswersAdaptersAndRefusesWhatTheyCannotDo)
{
    auto provider = Make("adapter eth0 wired\nadapter wlan0 wireless\nadapter wlan1 wireless trigger=denied\n"
                         "adapter wlan2 wireless trigger=no-capability\n"
                         "network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:-50\n");
    std::vector<std::string> names;
    ASSERT_EQ(provider->ListInterfaces(names), ERROR_SUCCESS);
    EXPECT_EQ(names, (std::vector<std::string>{"eth0", "wlan0", "wlan1", "wlan2"}));

    bool wireless = true;
    EXPECT_EQ(provider->IsWireless("eth0", wireless), ERROR_SUCCESS);
    EXPECT_FALSE(wireless);
    EXPECT_EQ(provider->IsWireless("wlan1", wireless), ERROR_SUCCESS);
    EXPECT_TRUE(wireless);
    EXPECT_EQ(provider->IsWireless("wlan9", wireless), ERROR_FILE_NOT_FOUND);

    std::vector<WirelessBss> networks;
    EXPECT_EQ(provider->TriggerScan("eth0"), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(provider->ReadScan("eth0", networks), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(provider->TriggerScan("wlan9"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(provider->ReadScan("wlan9", networks), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(provider->TriggerScan("wlan1"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(provider->TriggerScan("wlan2"), ERROR_PRIVILEGE_NOT_HELD);
    EXPECT_EQ(provider->ReadScan("wlan1", networks), ERROR_SUCCESS);
    EXPECT_EQ(networks.size(), 1u);
}

TEST(SimulatedProvider, NetworkWordsBecomeTheReportedFields)
{
    auto provider =
        Make("adapter wlan0 wireless\n"
             "network AA:bb:0c:0d:0e:0F ssid=\"Caf\xc3\xa9 \\\"x\\\" \\\\ \\x01\" channel=14 secured adhoc beacon=200 "
             "signal=0:-33  # trailing comment\n"
             "network 02:00:00:00:00:02 ssid=hex:00ff10 channel=36 signal=0:-40\n"
             "network 02:00:00:00:00:03 ssid=\"\" freq=5975 open ap signal=0:-41\n"
             "network 02:00:00:00:00:04 ssid=\"0123456789abcdef0123456789ABCDEF\" channel=13 signal=0:-42\n");
    std::vector<WirelessBss> n;
    ASSERT_EQ(provider->ReadScan("wlan0", n), ERROR_SUCCESS);
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0].bssid, (std::array<std::uint8_t, 6>{0xaa, 0xbb, 0x0c, 0x0d, 0x0e, 0x0f}));
    const std::string name = "Caf\xc3\xa9 \"x\" \\ \x01";
    EXPECT_EQ(n[0].ssid, std::vector<std::uint8_t>(name.begin(), name.end()));
    EXPECT_EQ(n[0].frequencyMhz, 2484u);
    EXPECT_TRUE(n[0].privacy);
    EXPECT_EQ(n[0].infrastructureMode, 0u);
    EXPECT_EQ(n[0].beaconPeriod, 200u);
    EXPECT_EQ(n[0].rssiDbm, -33);
    EXPECT_EQ(n[1].ssid, (std::vector<std::uint8_t>{0x00, 0xff, 0x10}));
    EXPECT_EQ(n[1].frequencyMhz, 5180u);
    EXPECT_FALSE(n[1].privacy);
    EXPECT_EQ(n[1].infrastructureMode, 1u);
    EXPECT_TRUE(n[2].ssid.empty());
    EXPECT_EQ(n[2].frequencyMhz, 5975u);
    EXPECT_EQ(n[3].ssid.size(), 32u);
    EXPECT_EQ(n[3].frequencyMhz, 2472u);
}

TEST(SimulatedProvider, DetailWordsCarryWhatTheElementsWouldSay)
{
    using platform::BssDetails;
    using platform::Security;
    struct Case {
        const char* words;
        bool privacy;
        BssDetails details;
    };
    const Case cases[] = {
        {"", false, {Security::Open, false, false, false, 20}},
        {"secured", true, {Security::Wep, false, false, false, 20}},
        {"security=wpa2 wps width=40", true, {Security::Wpa2, false, false, true, 40}},
        {"security=wpa3 transition width=160", true, {Security::Wpa3, true, false, false, 160}},
        {"secured security=wpa3 enterprise width=320", true, {Security::Wpa3, false, true, false, 320}},
        {"security=owe transition", true, {Security::Owe, true, false, false, 20}},
        {"open security=open width=80", false, {Security::Open, false, false, false, 80}},
        {"security=wpa enterprise", true, {Security::Wpa, false, true, false, 20}},
    };
    for (const Case& c : cases) {
        const std::string text =
            std::string("adapter wlan0 wireless\nnetwork 02:00:00:00:00:01 ssid=\"a\" channel=1 ") + c.words +
            " signal=0:-50\n";
        std::vector<WirelessBss> n;
        ASSERT_EQ(Make(text)->ReadScan("wlan0", n), ERROR_SUCCESS) << c.words;
        ASSERT_EQ(n.size(), 1u);
        EXPECT_EQ(n[0].privacy, c.privacy) << c.words;
        EXPECT_EQ(n[0].details, c.details) << c.words;
    }
}

TEST(SimulatedProvider, MalformedScenariosNameTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"adapter wlan0 wireless\nfoo bar\n", "line 2: unknown line 'foo'"},
        {"steps 0\n", "line 1: expected 'steps N'"},
        {"steps 5\nsteps 6\n", "line 2: steps given twice (first on line 1)"},
        {"after forever\n", "line 1: expected 'after loop' or 'after hold'"},
        {"adapter wlan0\n", "line 1: expected 'adapter NAME"},
        {"adapter wlan0 wireless\nadapter wlan0 wired\n", "line 2: adapter 'wlan0' is declared twice"},
        {"adapter wlan0 fast\n", "line 1: unknown word 'fast'"},
        {"network 02:00:00:00:00 ssid=\"a\" channel=1 signal=0:-50\n", "line 1: expected 'network MAC"},
        {"network 02:00:00:00:00:0g ssid=\"a\" channel=1 signal=0:-50\n", "line 1: expected 'network MAC"},
        {"\n\nnetwork 02:00:00:00:00:01 channel=1 signal=0:-50\n", "line 3: a network needs ssid="},
        {"network 02:00:00:00:00:01 ssid=\"a\" signal=0:-50\n", "line 1: a network needs ssid="},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1\n", "line 1: a network needs ssid="},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=15 signal=0:-50\n", "line 1: channel '15' is not"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 freq=2412 signal=0:-50\n", "line 1: give either"},
        {"network 02:00:00:00:00:01 ssid=\"a\" freq=900 signal=0:-50\n", "line 1: freq '900' is not"},
        {"network 02:00:00:00:00:01 ssid=\"0123456789abcdef0123456789abcdefX\" channel=1 signal=0:-50\n",
         "line 1: ssid is 33 bytes long; at most 32"},
        {"network 02:00:00:00:00:01 ssid=hex:123 channel=1 signal=0:-50\n", "line 1: ssid=hex: needs two"},
        {"network 02:00:00:00:00:01 ssid=hex:zz channel=1 signal=0:-50\n", "line 1: ssid=hex: has a character"},
        {"network 02:00:00:00:00:01 ssid=\"abc channel=1 signal=0:-50\n", "line 1: quoted text is not closed"},
        {"network 02:00:00:00:00:01 ssid=\"a\\q\" channel=1 signal=0:-50\n", "line 1: unknown escape"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:-50,0:-60\n", "line 1: signal steps must increase"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:-128\n", "line 1: signal '-128' at step 0"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:5\n", "line 1: signal '5' at step 0"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:-50,\n", "line 1: signal ends with a comma"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=x\n", "line 1: signal point 'x' is not"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=\n", "line 1: signal has no points"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 hidden signal=0:-50\n", "line 1: unknown word 'hidden'"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 adapter=wlan0 signal=0:-50\n",
         "line 1: adapter 'wlan0' is not declared above"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:-50\n"
         "network 02:00:00:00:00:01 ssid=\"b\" channel=6 signal=0:-50\n",
         "line 2: MAC 02:00:00:00:00:01 is already used on line 1"},
        {"steps 4\nnetwork 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:-50,4:off\n",
         "line 2: signal step 4 lies beyond the timeline of 4 steps (line 1)"},
        {"x=1\n", "line 1: a line starts with"},
        {"timing\n", "line 1: expected 'timing' with step=, sweep= or channel="},
        {"timing step=0ms\n", "line 1: step '0ms' is not a time from 1ms to 1h"},
        {"timing sweep=3\n", "line 1: sweep '3' is not a time"},
        {"timing channel=2h\n", "line 1: channel '2h' is not a time"},
        {"timing step=3601s\n", "line 1: step '3601s' is not a time"},
        {"timing step=-1s\n", "line 1: step '-1s' is not a time"},
        {"timing pace=1s\n", "line 1: unknown word 'pace' for timing"},
        {"timing step\n", "line 1: unknown word 'step' for timing"},
        {"timing step=1s step=2s\n", "line 1: step= given twice"},
        {"timing step=1s\ntiming sweep=2s\n", "line 2: timing given twice (first on line 1)"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 security=wpa4 signal=0:-50\n", "line 1: security 'wpa4'"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 open security=wpa2 signal=0:-50\n",
         "line 1: 'open' contradicts security=wpa2"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 security=open secured signal=0:-50\n",
         "line 1: 'secured' contradicts security=open"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 security=owe enterprise signal=0:-50\n",
         "line 1: 'enterprise' needs"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 secured transition signal=0:-50\n",
         "line 1: 'transition' needs"},
        {"network 02:00:00:00:00:01 ssid=\"a\" channel=1 width=60 signal=0:-50\n", "line 1: width '60'"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(platform::MakeSimulatedProviderFromText(c.text, error), nullptr) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error;
    }
}

// Quoted text is the name as written; only the bare hex: form decodes.
TEST(SimulatedProvider, SsidIsDecodedAsHexOnlyWithoutQuotes)
{
    struct Case {
        const char* word;
        std::string ssid;
    };
    const Case cases[] = {
        {"ssid=hex:41", "A"},
        {"ssid=hex:", ""},
        {"ssid=hex:00ff", std::string("\0\xff", 2)},
        {"ssid=\"hex:41\"", "hex:41"},
        {"ssid=\"hex:\"", "hex:"},
        {"ssid=\"hex:zz\"", "hex:zz"},
        {"ssid=\"hex:123\"", "hex:123"},
        {"ssid=\"HEX:41\"", "HEX:41"},
        {"ssid=\"he\"x:41", "hex:41"},
        {"ssid=hex:\"41\"", "hex:41"},
        {"ssid=\"hex:\\x41\"", "hex:A"},
        {"ssid=\"hex:0123456789abcdef0123456789ab\"", "hex:0123456789abcdef0123456789ab"},
    };
    for (const Case& c : cases) {
        const std::string text =
            std::string("adapter wlan0 wireless\nnetwork 02:00:00:00:00:01 ") + c.word + " channel=1 signal=0:-50\n";
        auto provider = Make(text);
        ASSERT_NE(provider, nullptr) << c.word;
        std::vector<WirelessBss> networks;
        ASSERT_EQ(provider->ReadScan("wlan0", networks), ERROR_SUCCESS);
        ASSERT_EQ(networks.size(), 1u);
        EXPECT_EQ(std::string(networks[0].ssid.begin(), networks[0].ssid.end()), c.ssid) << c.word;
    }
}

// Files that name no adapter would make a radio without adapters, which no
// one means: each is refused with the file and what is wrong with it.
TEST(SimulatedProvider, FileErrorsNameTheFileAndTheCause)
{
    const std::string dir = TARVOLIN_TEST_SCENARIOS;
    struct Case {
        std::string path;
        std::string error;
    };
    const Case cases[] = {
        {"/nonexistent/walk.scn", "/nonexistent/walk.scn: cannot open the scenario file"},
        {dir, dir + ": is a directory, not a scenario file"},
        {dir + "/empty.scn", dir + "/empty.scn: is empty; a scenario declares at least one adapter"},
        {dir + "/blank-lines.scn", dir + "/blank-lines.scn: is empty; a scenario declares at least one adapter"},
        {dir + "/comments-only.scn", dir + "/comments-only.scn: names no adapter; declare one with 'adapter NAME "
                                           "wireless' or 'adapter NAME wired'"},
        {dir + "/no-adapter.scn", dir + "/no-adapter.scn: names no adapter; declare one with 'adapter NAME "
                                        "wireless' or 'adapter NAME wired'"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(platform::MakeSimulatedProvider(c.path, error), nullptr) << c.path;
        EXPECT_EQ(error, c.error);
    }
}

// The shipped walk must stay what the documentation promises: about 25
// networks, secured and open, an ad hoc peer, a hidden one, a 32-byte name,
// names beyond ASCII, both bands, and networks coming and going.
TEST(SimulatedProvider, StreetWalkHasTheVarietyItPromises)
{
    std::string error;
    auto provider =
        platform::MakeSimulatedProvider(TARVOLIN_SCENARIO_DIR "/street-walk.scn", error, SimulatedTime::Manual);
    ASSERT_NE(provider, nullptr) << error;
    // A scan of one channel early in every step (of a second) reads that step.
    const std::uint32_t channel1[] = {2412};
    const auto scanAtNextStep = [&provider, &channel1] {
        ASSERT_TRUE(platform::AdvanceSimulatedClock(*provider, 910));
        ASSERT_EQ(provider->TriggerScanOn("wlan0", channel1), ERROR_SUCCESS);
        ASSERT_TRUE(platform::AdvanceSimulatedClock(*provider, 90));
    };
    ASSERT_TRUE(platform::AdvanceSimulatedClock(*provider, 90));
    std::set<std::array<std::uint8_t, 6>> everHeard;
    bool secured = false, open = false, adhoc = false, hidden = false, full = false, utf8 = false;
    bool band24 = false, band5 = false;
    std::size_t fewest = 1000, most = 0;
    std::vector<std::array<std::uint8_t, 6>> firstStep;
    for (int step = 0; step < 60; ++step) {
        std::vector<WirelessBss> networks;
        ASSERT_EQ(provider->ReadScan("wlan0", networks), ERROR_SUCCESS);
        fewest = std::min(fewest, networks.size());
        most = std::max(most, networks.size());
        for (const WirelessBss& bss : networks) {
            if (step == 0)
                firstStep.push_back(bss.bssid);
            everHeard.insert(bss.bssid);
            (bss.privacy ? secured : open) = true;
            adhoc |= bss.infrastructureMode == 0;
            hidden |= std::all_of(bss.ssid.begin(), bss.ssid.end(), [](std::uint8_t b) { return b == 0; });
            full |= bss.ssid.size() == 32;
            utf8 |= std::any_of(bss.ssid.begin(), bss.ssid.end(), [](std::uint8_t b) { return b >= 0xc2; });
            band24 |= bss.frequencyMhz < 2500;
            band5 |= bss.frequencyMhz > 5000;
        }
        scanAtNextStep();
    }
    EXPECT_GE(everHeard.size(), 22u);
    EXPECT_LE(everHeard.size(), 30u);
    EXPECT_TRUE(secured && open && adhoc && hidden && full && utf8 && band24 && band5);
    EXPECT_LT(fewest, most);
    // After 60 steps the walk starts again.
    std::vector<WirelessBss> again;
    ASSERT_EQ(provider->ReadScan("wlan0", again), ERROR_SUCCESS);
    ASSERT_EQ(again.size(), firstStep.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i].bssid, firstStep[i]);
}

}  // namespace
