// tarvolin-scan run as a separate process on scenario files.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

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
    const std::string noCapability = WriteScenario("nocap.scn", "adapter wlan0 wireless trigger=no-capability\n");
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
        {{"--scenario", noCapability, "--trigger", "wlan0"},
         1,
         "tarvolin-scan: no permission to start a scan on wlan0: the scan helper is installed but has lost its "
         "capability; give it back with sudo setcap cap_net_admin+ep "},
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

// A scenario that would be a radio without adapters is a mistake in the
// file: the tool says which file and what is wrong before any work starts,
// whatever it was asked to do.
TEST(ScanTool, ScenarioFilesWithoutAdaptersAreRefusedWithTheCause)
{
    const std::string dir = TARVOLIN_TEST_SCENARIOS;
    struct Case {
        std::string path;
        std::string cause;
    };
    const Case cases[] = {
        {dir, "is a directory, not a scenario file"},
        {dir + "/empty.scn", "is empty; a scenario declares at least one adapter"},
        {dir + "/blank-lines.scn", "is empty; a scenario declares at least one adapter"},
        {dir + "/comments-only.scn", "names no adapter; declare one with 'adapter NAME wireless'"},
    };
    for (const Case& c : cases) {
        for (const std::vector<std::string>& rest : {std::vector<std::string>{}, std::vector<std::string>{"wlan0"},
                                                     std::vector<std::string>{"--watch", "--count", "1", "wlan0"}}) {
            std::vector<std::string> arguments{"--scenario", c.path};
            arguments.insert(arguments.end(), rest.begin(), rest.end());
            const Result result = RunTool(arguments);
            EXPECT_EQ(result.status, 1) << c.path;
            EXPECT_EQ(result.out, "") << c.path;
            EXPECT_EQ(result.err.rfind("tarvolin-scan: " + c.path + ": " + c.cause, 0), 0u) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        }
    }
}

// Output with its times (ISO 8601, and WiGLE's "YYYY-MM-DD HH:MM:SS") as TIME,
// so that two runs of the same walk can be compared.
std::string WithoutTimes(const std::string& text)
{
    static const std::regex time(R"(\d{4}-\d\d-\d\d[T ]\d\d:\d\d:\d\d(\.\d{3}Z)?)");
    return std::regex_replace(text, time, "TIME");
}

// Every option that takes a value takes it as --option=value too, and does
// with it exactly what it does with the value as the next word: the same
// output, and the same files written.
TEST(ScanToolOptions, EveryValueMayFollowAnEqualsSign)
{
    struct Case {
        std::vector<std::string> spaced;
        std::vector<std::string> joined;
        std::vector<std::string> files;  // names written; each run gets its own, in place of @NAME
    };
    const Case cases[] = {
        {{"--scenario", kWalk}, {"--scenario=" + kWalk}, {}},
        {{"--scenario", kWalk, "--trigger", "--wait", "1", "wlan0"},
         {"--scenario=" + kWalk, "--trigger", "--wait=1", "wlan0"},
         {}},
        {{"--scenario", kWalk, "--watch", "--interval", "0", "--count", "3", "--json", "wlan0"},
         {"--scenario", kWalk, "--watch", "--interval=0", "--count=3", "--json", "wlan0"},
         {}},
        {{"--scenario", kWalk, "--follow", "3c:a6:2f:10:22:31", "--count", "3", "wlan0"},
         {"--scenario", kWalk, "--follow=3c:a6:2f:10:22:31", "--count=3", "wlan0"},
         {}},
        {{"--scenario", kWalk, "--watch", "--interval", "0", "--count", "2", "--log", "@log.csv", "wlan0"},
         {"--scenario", kWalk, "--watch", "--interval", "0", "--count", "2", "--log=@log.csv", "wlan0"},
         {"log.csv"}},
        {{"--scenario", kWalk, "--watch", "--interval", "0", "--count", "2", "--gps", "127.0.0.1:1", "--wigle",
          "@wigle.csv", "--kml", "@map.kml", "wlan0"},
         {"--scenario", kWalk, "--watch", "--interval", "0", "--count", "2", "--gps=127.0.0.1:1", "--wigle=@wigle.csv",
          "--kml=@map.kml", "wlan0"},
         {"wigle.csv", "map.kml"}},
    };
    for (const Case& c : cases) {
        std::string what;
        for (const std::string& argument : c.joined)
            what += argument + " ";
        std::vector<std::string> texts[2];
        for (int form = 0; form < 2; ++form) {
            const std::string prefix = form == 0 ? "spaced-" : "joined-";
            std::vector<std::string> arguments = form == 0 ? c.spaced : c.joined;
            for (std::string& argument : arguments) {
                if (const std::size_t at = argument.find('@'); at != std::string::npos)
                    argument = argument.substr(0, at) + TempPath(prefix + argument.substr(at + 1));
            }
            for (const std::string& file : c.files)
                std::filesystem::remove(TempPath(prefix + file));
            const Result result = RunTool(arguments);
            EXPECT_EQ(result.status, 0) << what << ": " << result.err;
            EXPECT_FALSE(result.out.empty() && c.files.empty()) << what;
            texts[form] = {std::to_string(result.status), WithoutTimes(result.out), result.err};
            for (const std::string& file : c.files) {
                const std::string text = ReadFile(TempPath(prefix + file));
                EXPECT_FALSE(text.empty()) << prefix << file;
                texts[form].push_back(WithoutTimes(text));
            }
        }
        EXPECT_EQ(texts[0], texts[1]) << what;
    }
}

// A value after "=" is checked as one after a space; "=" on an option that
// takes no value is a mistake, not an unknown option.
TEST(ScanToolOptions, ValuesAfterAnEqualsSignAreCheckedAsEver)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;  // after "tarvolin-scan: ", before " (see --help)"
    };
    const Case cases[] = {
        {{"--watch", "--interval=", "wlan0"}, "--interval takes milliseconds from 0 to 600000"},
        {{"--watch", "--interval=600001", "wlan0"}, "--interval takes milliseconds from 0 to 600000"},
        {{"--trigger", "--wait=", "wlan0"}, "--wait takes milliseconds from 0 to 600000"},
        {{"--watch", "--count=x", "wlan0"}, "--count takes a number of scans from 1 to 1000000000"},
        {{"--watch", "--count=0", "wlan0"}, "--count takes a number of scans from 1 to 1000000000"},
        {{"--follow=", "wlan0"}, "--follow needs a BSSID such as 02:00:00:00:01:00"},
        {{"--follow=3c:a6:2f:10:22", "wlan0"}, "--follow needs a BSSID such as 02:00:00:00:01:00"},
        {{"--watch", "--log=", "wlan0"}, "--log needs a file name"},
        {{"--watch", "--wigle=", "wlan0"}, "--wigle needs a file name"},
        {{"--watch", "--kml=", "wlan0"}, "--kml needs a file name"},
        // An empty scenario name would quietly scan the real radio instead.
        {{"--scenario=", "wlan0"}, "--scenario needs a file name"},
        {{"--scenario", "", "wlan0"}, "--scenario needs a file name"},
        {{"--json=yes", "wlan0"}, "--json takes no value"},
        {{"--watch=", "wlan0"}, "--watch takes no value"},
        {{"--trigger=1", "wlan0"}, "--trigger takes no value"},
        {{"--version=2"}, "--version takes no value"},
        {{"--interval5"}, "unknown option --interval5"},
    };
    for (const Case& c : cases) {
        const Result result = RunTool(c.arguments);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_EQ(result.out, "") << c.message;
        EXPECT_EQ(result.err, "tarvolin-scan: " + c.message + " (see --help)\n");
    }
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
