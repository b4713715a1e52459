// tarvolin-scan run as a separate process on scenario files.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace tooltest;

TEST(ScanTool, ListsTheWirelessAdapters)
{
    const Result result = RunTool({"--scenario", kWalk});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "wlan0\n");
    EXPECT_EQ(result.err, "");
}

TEST(ScanTool, PrintsOneTabSeparatedLinePerNetworkStrongestFirst)
{
    const Result first = RunTool({"--scenario", kWalk, "wlan0"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "3c:a6:2f:10:22:31\t6\t-58\tAP\tsecured\tFRITZ!Box 7530 XY\n"
                         "02:c1:7e:00:00:01\t1\t-78\tAP\topen\tCity-Free-WiFi\n"
                         "b0:4e:26:aa:01:02\t1\t-81\tAP\tsecured\tVodafone-8C1F\n"
                         "02:c1:7e:00:00:02\t36\t-84\tAP\topen\tCity-Free-WiFi\n"
                         "02:a4:11:3c:90:10\t11\t-88\tAP\topen\tTelekom_FON\n");

    // A requested scan moves the simulated walk one step on before the read.
    const Result next = RunTool({"--scenario", kWalk, "--trigger", "--wait", "1", "wlan0"});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(next.out, "3c:a6:2f:10:22:31\t6\t-57\tAP\tsecured\tFRITZ!Box 7530 XY\n"
                        "3c:a6:2f:10:22:32\t44\t-70\tAP\tsecured\tFRITZ!Box 7530 XY\n"
                        "02:c1:7e:00:00:01\t1\t-78\tAP\topen\tCity-Free-WiFi\n"
                        "b0:4e:26:aa:01:02\t1\t-79\tAP\tsecured\tVodafone-8C1F\n"
                        "02:c1:7e:00:00:02\t36\t-84\tAP\topen\tCity-Free-WiFi\n"
                        "02:a4:11:3c:90:10\t11\t-88\tAP\topen\tTelekom_FON\n");
}

TEST(ScanTool, NamesAreUtf8WithControlCharactersEscaped)
{
    const std::string path = WriteScenario(
        "names.scn",
        "adapter wlan0 wireless\n"
        "network 02:00:00:00:00:01 ssid=\"Tab\\x09Esc\\x1b\\x7f\" channel=1 signal=0:-40\n"
        "network 02:00:00:00:00:02 ssid=\"Caf\xc3\xa9 \xd0\x9a\" channel=6 secured signal=0:-41\n"
        "network 02:00:00:00:00:03 ssid=hex:4eff74 channel=11 signal=0:-42\n"
        "network 02:00:00:00:00:04 ssid=\"\" channel=36 signal=0:-43\n"
        "network 02:00:00:00:00:05 ssid=\"TheQuickBrownFoxJumpsOverTheLazy\" channel=149 adhoc signal=0:-44\n"
        "network 02:00:00:00:00:06 ssid=\"six\" freq=6115 signal=0:-45\n");
    const Result result = RunTool({"--scenario", path, "wlan0"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "02:00:00:00:00:01\t1\t-40\tAP\topen\tTab\\x09Esc\\x1b\\x7f\n"
                          "02:00:00:00:00:02\t6\t-41\tAP\tsecured\tCaf\xc3\xa9 \xd0\x9a\n"
                          "02:00:00:00:00:03\t11\t-42\tAP\topen\tN\xef\xbf\xbdt\n"
                          "02:00:00:00:00:04\t36\t-43\tAP\topen\t\n"
                          "02:00:00:00:00:05\t149\t-44\tPEER\topen\tTheQuickBrownFoxJumpsOverTheLazy\n"
                          "02:00:00:00:00:06\t33\t-45\tAP\topen\tsix\n");
}

TEST(ScanTool, FailuresExitNonZeroWithOneLine)
{
    const std::string denied = WriteScenario("denied.scn", "adapter wlan0 wireless trigger=denied\n");
    const std::string wiredOnly = WriteScenario("wired.scn", "adapter eth0 wired\n");
    const std::string broken = WriteScenario("broken.scn", "adapter wlan0 wireless\nnetwork 02:00 ssid=\"x\"\n");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;  // the start of the one line on stderr
    };
    const Case cases[] = {
        {{"--scenario", kWalk, "eth0"}, 1, "tarvolin-scan: eth0 is not a wireless adapter"},
        {{"--scenario", kWalk, "wlan7"}, 1, "tarvolin-scan: no such adapter: wlan7"},
        {{"--scenario", wiredOnly}, 1, "tarvolin-scan: no wireless adapter found"},
        {{"--scenario", denied, "--trigger", "wlan0"},
         1,
         "tarvolin-scan: no permission to start a scan on wlan0: run NetworkManager"},
        {{"--scenario", broken}, 1, "tarvolin-scan: " + broken + ": line 2: expected 'network MAC"},
        {{"--scenario", "/nonexistent.scn"}, 1, "tarvolin-scan: /nonexistent.scn: cannot open the scenario file"},
        {{"--bogus"}, 2, "tarvolin-scan: unknown option --bogus"},
        {{"--wait"}, 2, "tarvolin-scan: --wait needs a value"},
        {{"--wait", "soon", "wlan0"}, 2, "tarvolin-scan: --wait takes milliseconds"},
        {{"--wait", "-5", "wlan0"}, 2, "tarvolin-scan: --wait takes milliseconds"},
        {{"--scenario", kWalk, "wlan0", "wlan1"}, 2, "tarvolin-scan: only one adapter may be named"},
    };
    for (const Case& c : cases) {
        const Result result = RunTool(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_EQ(result.out, "") << c.message;
        EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    // The permission message says how to get the privilege.
    const Result result = RunTool({"--scenario", denied, "--trigger", "wlan0"});
    EXPECT_NE(result.err.find("setcap cap_net_admin+ep "), std::string::npos) << result.err;
}

TEST(ScanTool, HelpDescribesEveryOption)
{
    const Result result = RunTool({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* word :
         {"--trigger", "--wait MS", "--scenario FILE", "ADAPTER", "cap_net_admin", "NetworkManager", "--json",
          "--watch", "--interval MS", "--count N", "--log FILE.csv", "ieee-data", "--version"})
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
}

}  // namespace
