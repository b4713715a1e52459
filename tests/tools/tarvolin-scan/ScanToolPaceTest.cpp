// tarvolin-scan --follow on a scenario as people run it, in real time: its
// lines come at the pace of a radio's scans of one channel, each taking a
// tenth of a second, not as fast as the machine can print.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <regex>
#include <sstream>

namespace {

using namespace tooltest;

// The tool tests run the radio's clock leaping (ToolRunner.h); this one
// takes it off for a while.
class RealTime {
public:
    RealTime()
    {
        if (const char* value = std::getenv(kName))
            m_saved = value;
        unsetenv(kName);
    }
    ~RealTime()
    {
        if (m_saved)
            setenv(kName, m_saved->c_str(), 1);
    }

private:
    static constexpr const char* kName = "TARVOLIN_SIMULATED_TIME";
    std::optional<std::string> m_saved;
};

TEST(ScanToolPace, FollowPrintsAboutTenLinesASecond)
{
    Result result;
    {
        const RealTime realTime;
        // The first of the walk's networks, heard from its start.
        result = RunTool({"--scenario", TARVOLIN_SCENARIO_DIR "/street-walk.scn", "--follow", "3c:a6:2f:10:22:31",
                          "--count", "12", "wlan0"});
    }
    ASSERT_EQ(result.status, 0) << result.err;
    // Time of day to the millisecond, signal, how long the scan took.
    const std::regex line(R"(^\d{4}-\d\d-\d\dT(\d\d):(\d\d):(\d\d)\.(\d{3})Z\t(-\d+|-)\t(\d+)$)");
    std::vector<long long> times;
    std::istringstream out(result.out);
    for (std::string text; std::getline(out, text);) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        times.push_back(((std::stoll(match[1]) * 60 + std::stoll(match[2])) * 60 + std::stoll(match[3])) * 1000 +
                        std::stoll(match[4]));
        EXPECT_GE(std::stoll(match[6]), 80) << "a scan of one channel ended too soon: " << text;
    }
    ASSERT_EQ(times.size(), 12u) << result.out;
    const long long spanMs = times.back() - times.front();
    ASSERT_GT(spanMs, 0) << result.out;
    const double perSecond = 11 * 1000.0 / static_cast<double>(spanMs);
    std::printf("tarvolin-scan --follow: %.1f lines a second\n", perSecond);
    EXPECT_GE(perSecond, 4.0);
    EXPECT_LE(perSecond, 12.0);
}

}  // namespace
