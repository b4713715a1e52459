// What a watch reports scan by scan and the history its log writes, as the
// tracker keeps them over the program's catalogue.
#include "tools/tarvolin-scan/WatchTracker.h"
#include "tools/tarvolin-scan/CsvLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Kind = WatchTracker::EventKind;

NetworkView Network(std::uint8_t last, int signal)
{
    NetworkView n;
    n.mac = {0x02, 0x00, 0x00, 0x00, 0x00, last};
    n.bssid = "02:00:00:00:00:0" + std::to_string(last);
    n.signalDbm = signal;
    n.mode = "ap";
    return n;
}

struct Expected {
    Kind kind;
    std::string bssid;
    int signal;
    int previous;  // Signal events only
};

TEST(WatchTracker, ScansGiveTheirEventsAndTheHistoryKeepsTheMillisecond)
{
    // 2026-12-10T13:20:01.123Z and some microseconds, which the log drops.
    const WatchTracker::Clock::time_point start{1796908801123ms + 987654ns};
    struct Step {
        std::chrono::milliseconds after;
        std::vector<NetworkView> scan;
        std::vector<Expected> events;
    };
    const Step steps[] = {
        {0ms,
         {Network(1, -60), Network(2, -70)},
         {{Kind::New, "02:00:00:00:00:01", -60, 0}, {Kind::New, "02:00:00:00:00:02", -70, 0}}},
        // 4 dB is too little to tell; a network heard twice in one scan
        // counts by its first reading, in the history too.
        {1001ms, {Network(1, -64), Network(1, -30), Network(2, -76)}, {{Kind::Signal, "02:00:00:00:00:02", -76, -70}}},
        {2002ms, {Network(1, -50)}, {{Kind::Signal, "02:00:00:00:00:01", -50, -60}}},
        {3003ms, {}, {{Kind::Gone, "02:00:00:00:00:02", -76, 0}}},
        // Back after it was gone is new again; gone events come last.
        {4999ms,
         {Network(2, -80)},
         {{Kind::New, "02:00:00:00:00:02", -80, 0}, {Kind::Gone, "02:00:00:00:00:01", -50, 0}}},
    };
    WatchTracker tracker;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.after.count());
        const std::vector<WatchTracker::Event> events = tracker.Update(step.scan, start + step.after);
        ASSERT_EQ(step.events.size(), events.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(step.events[i].kind, events[i].kind) << i;
            EXPECT_EQ(step.events[i].bssid, events[i].network.bssid) << i;
            EXPECT_EQ(step.events[i].signal, events[i].network.signalDbm) << i;
            if (events[i].kind == Kind::Signal) {
                EXPECT_EQ(step.events[i].previous, events[i].previousSignalDbm) << i;
            }
        }
    }

    struct History {
        std::string bssid;
        std::string firstSeen;
        std::string lastSeen;
        int best;
        int worst;
    };
    const History expected[] = {
        {"02:00:00:00:00:01", "2026-12-10T13:20:01.123Z", "2026-12-10T13:20:03.125Z", -50, -64},
        {"02:00:00:00:00:02", "2026-12-10T13:20:01.123Z", "2026-12-10T13:20:06.122Z", -70, -80},
    };
    const std::vector<WatchTracker::Record> records = tracker.Records();
    ASSERT_EQ(std::size(expected), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(expected[i].bssid);
        EXPECT_EQ(expected[i].bssid, records[i].latest.bssid);
        EXPECT_EQ(expected[i].firstSeen, IsoTime(records[i].firstSeen));
        EXPECT_EQ(expected[i].lastSeen, IsoTime(records[i].lastSeen));
        EXPECT_EQ(expected[i].best, records[i].bestSignalDbm);
        EXPECT_EQ(expected[i].worst, records[i].worstSignalDbm);
    }
}

}  // namespace
