// tarvolin-scan --follow run as a separate process on the simulated radio,
// whose scans end at once and, a step long each here, move one step along
// the scenario each. A network the radio holds at step 0 is followed at
// once: the scans of its channel alone read steps 1, 2 and so on. One it does
// not hold yet is found by a sweep of every channel first (step 1); its scans
// read steps 2, 3 ...
#include "ToolRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>
#include <sstream>

namespace {

using namespace tooltest;
using nlohmann::json;

// The followed network gets stronger, then goes away; another network shares
// nothing with it.
const char* kScenario = R"(
steps 6
after hold
timing sweep=1s channel=1s
adapter wlan0 wireless
network 02:00:00:00:01:00 ssid="Followed" channel=11 open signal=0:-70,1:-60,2:-55,3:-50,4:off
network 02:00:00:00:02:00 ssid="Other"    channel=1  open signal=0:-40
)";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// One line per scan: time, signal (or -), duration. Where the radio already
// holds the network the first scan is one of its channel; where it does not,
// a sweep finds it first and is not printed.
TEST(ScanToolFollow, OneLinePerScanWithTheSignalOrADash)
{
    const std::string scenario =
        WriteScenario("follow.scn", std::string(kScenario) + "network 02:00:00:00:03:00 ssid=\"Late\" channel=36 "
                                                             "open signal=0:off,1:-65,2:-61,3:off\n");
    struct Case {
        std::string bssid;
        std::string frequency;
        std::vector<std::string> signals;
    };
    const Case cases[] = {
        {"02:00:00:00:01:00", "2462", {"-60", "-55", "-50", "-"}},  // held: no sweep before
        {"02:00:00:00:03:00", "5180", {"-61", "-", "-", "-"}},      // not held yet: found at step 1
    };
    const std::regex line(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z\t(-\d+|-)\t(\d+)$)");
    for (const Case& c : cases) {
        const Result result = RunTool({"--scenario", scenario, "--follow", c.bssid, "--count", "4", "wlan0"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "tarvolin-scan: following " + c.bssid + " on " + c.frequency + " MHz\n");
        const std::vector<std::string> lines = Lines(result.out);
        ASSERT_EQ(lines.size(), 4u) << result.out;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::smatch match;
            ASSERT_TRUE(std::regex_match(lines[i], match, line)) << lines[i];
            EXPECT_EQ(match[1].str(), c.signals[i]) << c.bssid << ": " << lines[i];
        }
    }
}

// A channel that a scan of one channel cannot visit (the devices refuse such
// a scan, as a kernel refuses a channel it does not have) does not end the
// follow: sweeps of every channel follow the network, and stderr says so once.
TEST(ScanToolFollow, ChannelsThatCannotBeScannedAloneAreFollowedWithSweeps)
{
    for (const std::string frequency : {"7200", "2300"}) {
        const std::string scenario =
            WriteScenario("follow-sweeps.scn", "timing sweep=1s\n"
                                               "adapter wlan0 wireless\n"
                                               "network 02:00:00:00:04:00 ssid=\"Odd\" freq=" +
                                                   frequency + " open signal=0:-70,1:-66,2:-62,3:-58\n");
        const Result result =
            RunTool({"--scenario", scenario, "--follow", "02:00:00:00:04:00", "--count", "3", "--json", "wlan0"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "tarvolin-scan: following 02:00:00:00:04:00 on " + frequency +
                                  " MHz\n"
                                  "tarvolin-scan: cannot scan " +
                                  frequency +
                                  " MHz alone on wlan0; following 02:00:00:00:04:00 with sweeps of every channel\n");
        const std::vector<std::string> lines = Lines(result.out);
        ASSERT_EQ(lines.size(), 3u) << result.out;
        // The refused request read nothing: the sweeps read steps 1, 2 and 3.
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const json reading = json::parse(lines[i]);
            EXPECT_EQ(reading["scan"], i);
            EXPECT_EQ(reading["frequency_mhz"], std::stoi(frequency));
            EXPECT_EQ(reading["signal_dbm"], -66 + 4 * static_cast<int>(i)) << lines[i];
        }
    }
}

TEST(ScanToolFollow, JsonObjectsSayNullWhenMissed)
{
    const std::string scenario = WriteScenario("follow-json.scn", kScenario);
    const Result result =
        RunTool({"--scenario", scenario, "--follow", "02-00-00-00-01-00", "--count", "4", "--json", "wlan0"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 4u);
    const json last = json::parse(lines[3]);
    EXPECT_EQ(last["scan"], 3);
    EXPECT_EQ(last["bssid"], "02:00:00:00:01:00");
    EXPECT_EQ(last["frequency_mhz"], 2462);
    EXPECT_TRUE(last["signal_dbm"].is_null());
    EXPECT_TRUE(last["duration_ms"].is_number_integer());
    EXPECT_EQ(json::parse(lines[0])["signal_dbm"], -60);
}

TEST(ScanToolFollow, WrongUseIsRefused)
{
    const std::string scenario = WriteScenario("follow-wrong.scn", kScenario);
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--follow"}, 2, "tarvolin-scan: --follow needs a BSSID"},
        {{"--follow", "02:00:00:00:01", "wlan0"}, 2, "tarvolin-scan: --follow needs a BSSID"},
        {{"--follow", "02:00:00:00:01:0g", "wlan0"}, 2, "tarvolin-scan: --follow needs a BSSID"},
        {{"--follow", "02:00:00:00:01:00"}, 2, "tarvolin-scan: --follow needs an ADAPTER"},
        {{"--follow", "02:00:00:00:01:00", "--watch", "wlan0"}, 2, "tarvolin-scan: --follow goes with"},
        {{"--follow", "02:00:00:00:01:00", "--trigger", "wlan0"}, 2, "tarvolin-scan: --follow goes with"},
        {{"--follow", "02:00:00:00:01:00", "--interval", "5", "wlan0"}, 2, "tarvolin-scan: --follow goes with"},
        {{"--scenario", scenario, "--follow", "02:00:00:00:09:00", "wlan0"},
         1,
         "tarvolin-scan: 02:00:00:00:09:00 was not heard in a scan of every channel on wlan0"},
        {{"--scenario", scenario, "--follow", "02:00:00:00:01:00", "wlan9"}, 1, "tarvolin-scan: no such adapter"},
    };
    for (const Case& c : cases) {
        const Result result = RunTool(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST(ScanToolFollow, CtrlCEndsIt)
{
    const std::string scenario = WriteScenario("follow-ctrl-c.scn", kScenario);
    const std::string out = TempPath("follow-ctrl-c.out");
    const pid_t pid = StartTool({"--scenario", scenario, "--follow", "02:00:00:00:02:00", "wlan0"}, out,
                                TempPath("follow-ctrl-c.err"));
    ASSERT_GT(pid, 0);
    while (Lines(ReadFile(out)).size() < 3)
        usleep(10000);
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal instead of cleanly";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(ReadFile(out).ends_with("\n"));
}

}  // namespace
