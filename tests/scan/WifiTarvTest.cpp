// The engine against the devices, with a provider in place of a radio.
#include "scan/WifiTarv.h"
#include "platform/Text.h"
#include "platform/devices/Devices.h"
#include "platform/devices/SimulatedProvider.h"
#include "tests/support/FakeProvider.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class WifiTarvTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CWifiTarv::SetTraceSink(nullptr);
        platform::SetWirelessProvider(nullptr);
    }

    std::shared_ptr<FakeProvider> InstallFake(std::vector<std::string> interfaces, std::map<std::string, bool> wireless)
    {
        auto fake = std::make_shared<FakeProvider>();
        fake->interfaces = std::move(interfaces);
        fake->wireless = std::move(wireless);
        platform::SetWirelessProvider(fake);
        return fake;
    }

    void InstallScenario(const char* text)
    {
        std::string error;
        auto provider = platform::MakeSimulatedProviderFromText(text, error, platform::SimulatedTime::Leaping);
        ASSERT_NE(provider, nullptr) << error;
        platform::SetWirelessProvider(provider);
    }
};

TEST_F(WifiTarvTest, GetAdaptersOffersOnlyWirelessAdaptersNotOnTheSkipList)
{
    struct Case {
        std::vector<std::string> interfaces;
        std::vector<std::string> wired;
        std::u16string names;
    };
    const Case cases[] = {
        {{"A1", "B1"}, {}, u"A1,B1"},
        {{}, {}, u""},
        {{"eth0", "wlan0"}, {"eth0"}, u"wlan0"},
        {{"eth0"}, {"eth0"}, u""},
        {{"ASYNCMAC1", "IRSIR1", "L2TP1", "PPTP1", "RNDISFN1", "WWAN1", "XSC1_IRDA1", "wlan0"}, {}, u"wlan0"},
        {{"wwan1", "Pptp1", "xsc1_irda1", "asyncmac1", "wlan0"}, {}, u"wlan0"},
        {{"WWAN10", "WWAN", "xWWAN1", "L2TP12", "wlan0"}, {}, u"WWAN10,WWAN,xWWAN1,L2TP12,wlan0"},
        {{"wlan0", "wlan1", "wlp3s0"}, {"wlan1"}, u"wlan0,wlp3s0"},
    };
    for (const Case& c : cases) {
        std::map<std::string, bool> wireless;
        for (const std::string& name : c.interfaces)
            wireless[name] = std::find(c.wired.begin(), c.wired.end(), name) == c.wired.end();
        InstallFake(c.interfaces, wireless);
        CWifiTarv wifi;
        WCHAR buffer[1024];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        DWORD length = sizeof(buffer);
        ASSERT_TRUE(wifi.GetAdapters(buffer, &length));
        EXPECT_EQ(length, c.names.size() * sizeof(WCHAR));
        if (c.names.empty()) {
            EXPECT_EQ(buffer[0], u'#');  // left untouched
        } else {
            EXPECT_EQ(std::u16string(buffer), c.names);
        }
    }
}

TEST_F(WifiTarvTest, GetAdaptersTwoAdaptersGiveTenBytes)
{
    InstallScenario("adapter A1 wireless\nadapter B1 wireless\n");
    CWifiTarv wifi;
    WCHAR buffer[1024] = {};
    DWORD length = sizeof(buffer);
    ASSERT_TRUE(wifi.GetAdapters(buffer, &length));
    EXPECT_EQ(length, 10u);
    EXPECT_EQ(std::u16string(buffer), u"A1,B1");
}

// A name reply filled to its last bytes with wireless adapters: the joined
// names and their terminator still fit a buffer of the reply's size.
TEST_F(WifiTarvTest, GetAdaptersFromAFullReplyFitTheReplySizedBuffer)
{
    std::vector<std::string> interfaces;
    std::map<std::string, bool> wireless;
    for (int i = 100; i < 300; ++i) {
        interfaces.push_back("wlan" + std::to_string(i));
        wireless[interfaces.back()] = true;
    }
    InstallFake(interfaces, wireless);
    CWifiTarv wifi;
    // In its own allocation, so that ASan sees a write past its end.
    std::vector<WCHAR> buffer(CWifiTarv::kAdapterNamesBufferSize / sizeof(WCHAR), u'#');
    DWORD length = CWifiTarv::kAdapterNamesBufferSize;
    ASSERT_TRUE(wifi.GetAdapters(buffer.data(), &length));
    // Names of 7 characters take 16 bytes each in the reply: 127 of them fit
    // with the list's closing empty name.
    std::u16string expected;
    for (int i = 100; i < 227; ++i)
        expected += (expected.empty() ? u"" : u",") + platform::Utf8ToUtf16("wlan" + std::to_string(i));
    EXPECT_EQ(length, expected.size() * sizeof(WCHAR));
    EXPECT_EQ(std::u16string(buffer.data()), expected);
}

TEST_F(WifiTarvTest, GetAdaptersRefusesBadArgumentsAndFailures)
{
    InstallFake({"wlan0", "wlan1"}, {{"wlan0", true}, {"wlan1", true}});
    CWifiTarv wifi;
    WCHAR buffer[1024] = {};

    DWORD length = 1;
    EXPECT_FALSE(wifi.GetAdapters(buffer, &length));
    EXPECT_EQ(length, 0u);
    length = 2048;
    EXPECT_FALSE(wifi.GetAdapters(nullptr, &length));
    EXPECT_EQ(length, 0u);
    EXPECT_FALSE(wifi.GetAdapters(buffer, nullptr));

    // Too small for "wlan0,wlan1" and its terminator: the length needed comes
    // back and the buffer is not written.
    WCHAR small[12];
    std::fill(std::begin(small), std::end(small), u'#');
    length = 22;
    EXPECT_FALSE(wifi.GetAdapters(small, &length));
    EXPECT_EQ(length, 22u);
    EXPECT_EQ(small[0], u'#');
    length = 24;
    EXPECT_TRUE(wifi.GetAdapters(small, &length));
    EXPECT_EQ(std::u16string(small), u"wlan0,wlan1");

    // A failed name request leaves the length as it was.
    auto failing = InstallFake({"wlan0"}, {{"wlan0", true}});
    failing->error = ERROR_GEN_FAILURE;
    length = 2048;
    EXPECT_FALSE(wifi.GetAdapters(buffer, &length));
    EXPECT_EQ(length, 2048u);
}

TEST_F(WifiTarvTest, WithoutADriverEveryRequestFails)
{
    platform::SetWirelessProvider(nullptr);
    CWifiTarv wifi;
    EXPECT_FALSE(wifi.OpenDriver());
    EXPECT_EQ(GetLastError(), ERROR_DEV_NOT_EXIST);
    EXPECT_FALSE(wifi.IsWireless(u"wlan0"));
    EXPECT_FALSE(wifi.RefreshBSSIDs(u"wlan0"));
    ScanEntry entries[4];
    DWORD count = 77;
    EXPECT_FALSE(wifi.GetBSSIDs(u"wlan0", entries, 4, &count));
    EXPECT_EQ(count, 77u);
    WCHAR buffer[1024];
    DWORD length = sizeof(buffer);
    EXPECT_FALSE(wifi.GetAdapters(buffer, &length));
    EXPECT_EQ(length, sizeof(buffer));

    // No retry: a provider installed later does not revive this engine.
    InstallScenario("adapter wlan0 wireless\n");
    EXPECT_FALSE(wifi.RefreshBSSIDs(u"wlan0"));
}

TEST_F(WifiTarvTest, ScanTickReadsThePreviousStepThenTriggersTheNext)
{
    // Each sweep takes a step's time: each tick reads the next step.
    InstallScenario("timing sweep=1s\n"
                    "adapter wlan0 wireless\n"
                    "network 02:00:00:00:00:01 ssid=\"Near\" channel=6 secured signal=0:-40,1:-45,2:off\n"
                    "network 02:00:00:00:00:02 ssid=\"Far\" channel=36 signal=1:-80\n"
                    "network 06:00:00:00:00:03 ssid=\"Peer\" channel=11 adhoc signal=0:-70\n");
    CWifiTarv wifi;
    struct Step {
        std::vector<std::u16string> names;  // strongest first
    };
    const Step steps[] = {{{u"Near", u"Peer"}}, {{u"Near", u"Peer", u"Far"}}, {{u"Peer", u"Far"}}};
    for (const Step& step : steps) {
        ScanEntry entries[128];
        DWORD count = 0;
        ASSERT_TRUE(wifi.GetBSSIDs(u"wlan0", entries, 128, &count));
        ASSERT_EQ(count, step.names.size());
        for (DWORD i = 0; i < count; ++i)
            EXPECT_EQ(std::u16string(entries[i].ssid), step.names[i]);
        ASSERT_TRUE(wifi.RefreshBSSIDs(u"wlan0"));
    }
    ScanEntry entries[128];
    DWORD count = 0;
    ASSERT_TRUE(wifi.GetBSSIDs(u"wlan0", entries, 128, &count));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(entries[0].channel, 11u);
    EXPECT_EQ(entries[0].infrastructureMode, 0u);
    EXPECT_EQ(entries[0].privacy, 0u);
    EXPECT_EQ(entries[0].rssi, -70);
    EXPECT_EQ(entries[1].channel, 36u);
    EXPECT_EQ(entries[1].infrastructureMode, 1u);
}

TEST_F(WifiTarvTest, FailedReadLeavesTheCallersArrayAlone)
{
    InstallScenario("adapter eth0 wired\nadapter wlan0 wireless trigger=denied\n");
    CWifiTarv wifi;
    ScanEntry entries[2];
    std::memset(entries, 0x5A, sizeof(entries));
    DWORD count = 9;
    for (const WCHAR* adapter : {u"eth0", u"wlan9", u""}) {
        EXPECT_FALSE(wifi.GetBSSIDs(adapter, entries, 2, &count));
        EXPECT_EQ(count, 9u);
        EXPECT_EQ(entries[0].mac[0], 0x5A);
    }
    EXPECT_FALSE(wifi.RefreshBSSIDs(u"wlan0"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(wifi.GetBSSIDs(u"wlan0", nullptr, 2, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(wifi.GetBSSIDs(u"wlan0", entries, 2, &count));
    EXPECT_EQ(count, 0u);
}

// Formats a trace as the handheld's printf would: %s narrow, %S wide, %d number.
std::vector<std::string> g_traces;
void CollectTrace(const char* format, va_list arguments)
{
    std::string text;
    for (const char* p = format; *p != 0; ++p) {
        if (*p != '%') {
            text.push_back(*p);
            continue;
        }
        switch (*++p) {
        case 's': text += va_arg(arguments, const char*); break;
        case 'S': text += platform::Utf16ToUtf8(va_arg(arguments, const WCHAR*)); break;
        case 'd': text += std::to_string(va_arg(arguments, int)); break;
        default: text += "<bad format>";
        }
    }
    g_traces.push_back(text);
}

TEST_F(WifiTarvTest, TracesNameTheOperation)
{
    InstallScenario("adapter eth0 wired\nadapter WWAN1 wireless\nadapter wlan0 wireless\n"
                    "network 02:00:00:00:00:01 ssid=\"a\" channel=1 signal=0:-50\n");
    g_traces.clear();
    CWifiTarv::SetTraceSink(CollectTrace);
    {
        CWifiTarv wifi;
        wifi.OpenDriver();
        WCHAR buffer[1024];
        DWORD length = sizeof(buffer);
        wifi.GetAdapters(buffer, &length);
        wifi.IsWireless(u"wlan7");
        ScanEntry entries[4];
        DWORD count = 0;
        wifi.GetBSSIDs(u"wlan0", entries, 4, &count);
        wifi.GetBSSIDs(u"eth0", entries, 4, &count);
        wifi.GetBSSIDs(u"wlan0", nullptr, 4, &count);
        wifi.RefreshBSSIDs(u"wlan0");
        wifi.RefreshBSSIDs(u"eth0");
    }
    const std::vector<std::string> expected = {
        "CWifiTarv::OpenDriver: opened NDISUIO driver ok.",
        "CWifiTarv::OpenDriver: driver already opened!",
        // The device names the wireless interfaces first.
        "CWifiTarv::GetAdapters: found adapter WWAN1...",
        "CWifiTarv::GetAdapters: found adapter wlan0...",
        "CWifiTarv::IsWireless: adapter wlan0 is wireless.",
        "CWifiTarv::GetAdapters: adapter ok: wlan0...",
        "CWifiTarv::GetAdapters: found adapter eth0...",
        "CWifiTarv::IsWireless: adapter eth0 is not wireless.",
        "CWifiTarv::IsWireless: cannot query adapter wlan7 phys medium. Err: 2",
        "CWifiTarv::GetBSSIDs: received 1 entries.",
        "CWifiTarv::GetBSSIDs: processed one entry.",
        "CWifiTarv::GetBSSIDs: returning.",
        "CWifiTarv::GetBSSIDs: failed to get list. Err: 50",
        "CWifiTarv::GetBSSIDs: null pointer.",
        "CWifiTarv::RefreshBSSIDs: succeeded.",
        "CWifiTarv::RefreshBSSIDs: failed. Err: 50",
        "CWifiTarv::CloseDriver: closing driver.",
    };
    EXPECT_EQ(g_traces, expected);

    g_traces.clear();
    platform::SetWirelessProvider(nullptr);
    {
        CWifiTarv wifi;
    }
    EXPECT_EQ(g_traces, std::vector<std::string>{"CWifiTarv::OpenDriver: failed to open NDISUIO driver. Err: 55"});
}

}  // namespace
