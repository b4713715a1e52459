// Which entries count as heard in the latest completed scan, and how the
// scan-group messages that drive it are decoded.
#include "platform/devices/nl80211/ScanFreshness.h"
#include "platform/devices/nl80211/ScanEvent.h"

#include "NetlinkBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace nltest;
using platform::WirelessBss;
using platform::nl80211::DecodeScanEvent;
using platform::nl80211::ScanEvent;
using platform::nl80211::ScanFreshness;

namespace {

// One step of a scan's life as the events tell it.
struct Step {
    enum Kind { Start, Complete, Abort, Forget } kind;
    std::uint64_t at = 0;                // start time, for Start
    std::vector<std::uint32_t> visited;  // for Complete; empty: every frequency
};

void Play(ScanFreshness& freshness, const std::vector<Step>& steps)
{
    for (const Step& step : steps) {
        if (step.kind == Step::Start)
            freshness.Started(step.at);
        else if (step.kind == Step::Complete)
            freshness.Completed(step.visited);
        else if (step.kind == Step::Abort)
            freshness.Aborted();
        else
            freshness.Forget();
    }
}

struct FreshnessCase {
    const char* name;
    std::vector<Step> steps;
    std::uint32_t frequency;
    std::uint64_t lastSeen;
    bool current;
};

void PrintTo(const FreshnessCase& row, std::ostream* out)
{
    *out << row.name;
}

class Freshness : public testing::TestWithParam<FreshnessCase> { };

TEST_P(Freshness, KeepsWhatTheLatestCompletedScanHeard)
{
    ScanFreshness freshness;
    Play(freshness, GetParam().steps);
    WirelessBss bss;
    bss.frequencyMhz = GetParam().frequency;
    bss.lastSeenBoottimeNs = GetParam().lastSeen;
    EXPECT_EQ(freshness.IsCurrent(bss), GetParam().current);
}

const std::vector<std::uint32_t> kEvery;
const std::vector<std::uint32_t> kOnly2412{2412};

INSTANTIATE_TEST_SUITE_P(
    Cases, Freshness,
    testing::Values(
        FreshnessCase{"NoScanYetKeepsEverything", {}, 2412, 5, true},
        FreshnessCase{"RunningScanIsNoMeasure", {{Step::Start, 100, {}}}, 2412, 5, true},
        FreshnessCase{
            "HeardBeforeTheScanIsGone", {{Step::Start, 100, {}}, {Step::Complete, 0, kEvery}}, 2412, 99, false},
        FreshnessCase{"HeardAtItsStartStays", {{Step::Start, 100, {}}, {Step::Complete, 0, kEvery}}, 2412, 100, true},
        FreshnessCase{"HeardDuringItStays", {{Step::Start, 100, {}}, {Step::Complete, 0, kEvery}}, 5180, 150, true},
        FreshnessCase{"UnknownLastSeenStays", {{Step::Start, 100, {}}, {Step::Complete, 0, kEvery}}, 2412, 0, true},
        FreshnessCase{"PartialScanDropsOnWhatItVisited",
                      {{Step::Start, 100, {}}, {Step::Complete, 0, kOnly2412}},
                      2412,
                      50,
                      false},
        FreshnessCase{"PartialScanKeepsWhatItDidNotVisit",
                      {{Step::Start, 100, {}}, {Step::Complete, 0, kOnly2412}},
                      2437,
                      50,
                      true},
        FreshnessCase{"PartialScanAfterAFullOneKeepsTheFullOnesMeasure",
                      {{Step::Start, 100, {}},
                       {Step::Complete, 0, kEvery},
                       {Step::Start, 200, {}},
                       {Step::Complete, 0, kOnly2412}},
                      2437,
                      150,
                      true},
        FreshnessCase{"PartialScanAfterAFullOneStillDropsOlder",
                      {{Step::Start, 100, {}},
                       {Step::Complete, 0, kEvery},
                       {Step::Start, 200, {}},
                       {Step::Complete, 0, kOnly2412}},
                      2437,
                      90,
                      false},
        FreshnessCase{"LaterPartialScanRaisesItsFrequency",
                      {{Step::Start, 100, {}},
                       {Step::Complete, 0, kEvery},
                       {Step::Start, 200, {}},
                       {Step::Complete, 0, kOnly2412}},
                      2412,
                      150,
                      false},
        FreshnessCase{
            "AbortedScanLeavesTheMeasure",
            {{Step::Start, 100, {}}, {Step::Complete, 0, kEvery}, {Step::Start, 200, {}}, {Step::Abort, 0, {}}},
            2412,
            150,
            true},
        FreshnessCase{"CompletionWithoutASeenStartSaysNothing", {{Step::Complete, 0, kEvery}}, 2412, 5, true}),
    [](const testing::TestParamInfo<FreshnessCase>& info) { return info.param.name; });

TEST(Freshness, CountsCompletionsAndAbortsAndKnowsWhenAScanRuns)
{
    ScanFreshness freshness;
    EXPECT_FALSE(freshness.Running());
    freshness.Started(10);
    EXPECT_TRUE(freshness.Running());
    freshness.Completed(kEvery);
    freshness.Started(20);
    freshness.Aborted();
    freshness.Started(30);
    EXPECT_TRUE(freshness.Running());
    freshness.Forget();
    EXPECT_FALSE(freshness.Running());
    EXPECT_EQ(freshness.CompletedCount(), 1u);
    EXPECT_EQ(freshness.AbortedCount(), 1u);
    EXPECT_EQ(freshness.LatestCompletedStart(), 10u);
    freshness.Completed(kEvery);  // its start was forgotten
    EXPECT_EQ(freshness.LatestCompletedStart(), 0u);
}

// Whether the scans since a request serve it. The request is made at 100,
// when one scan (the first) had completed and none had been aborted.
struct JudgeCase {
    const char* name;
    std::vector<Step> steps;  // after the request
    std::uint64_t askedAt;
    ScanFreshness::Verdict verdict;
};

void PrintTo(const JudgeCase& row, std::ostream* out)
{
    *out << row.name;
}

class Judge : public testing::TestWithParam<JudgeCase> { };

TEST_P(Judge, OnlyAScanSeenToBeginAfterTheRequestServes)
{
    ScanFreshness freshness;
    freshness.Started(10);
    freshness.Completed(kEvery);
    const ScanFreshness::Counts since = freshness.Snapshot();
    Play(freshness, GetParam().steps);
    EXPECT_EQ(freshness.Judge(since, GetParam().askedAt), GetParam().verdict);
}

using Verdict = ScanFreshness::Verdict;

INSTANTIATE_TEST_SUITE_P(
    Cases, Judge,
    testing::Values(
        JudgeCase{"NothingYet", {}, 100, Verdict::Pending},
        JudgeCase{"OwnScanRuns", {{Step::Start, 100, {}}}, 100, Verdict::Pending},
        JudgeCase{"OwnScanCompleted", {{Step::Start, 100, {}}, {Step::Complete, 0, kEvery}}, 100, Verdict::Completed},
        JudgeCase{"LaterScanOfAnotherReaderCompleted",
                  {{Step::Start, 250, {}}, {Step::Complete, 0, kOnly2412}},
                  100,
                  Verdict::Completed},
        // The busy radio: the scan running when the process came began
        // before anyone here listened.
        JudgeCase{"ScanWhoseStartWasNotSeenIsMissed", {{Step::Complete, 0, kEvery}}, 100, Verdict::Missed},
        JudgeCase{"ScanThatBeganBeforeTheRequestIsMissed",
                  {{Step::Start, 90, {}}, {Step::Complete, 0, kEvery}},
                  100,
                  Verdict::Missed},
        JudgeCase{"MissedButTheNextOneRunsAlready",
                  {{Step::Complete, 0, kEvery}, {Step::Start, 300, {}}},
                  100,
                  Verdict::Pending},
        JudgeCase{"MissedThenTheNextOneCompleted",
                  {{Step::Complete, 0, kEvery}, {Step::Start, 300, {}}, {Step::Complete, 0, kEvery}},
                  100,
                  Verdict::Completed},
        JudgeCase{"OwnScanAborted", {{Step::Start, 100, {}}, {Step::Abort, 0, {}}}, 100, Verdict::Aborted},
        JudgeCase{"EarlierScanAbortedIsMissed", {{Step::Abort, 0, {}}}, 100, Verdict::Missed},
        JudgeCase{"EventsLostWhileOwnScanRan",
                  {{Step::Start, 100, {}}, {Step::Forget, 0, {}}, {Step::Complete, 0, kEvery}},
                  100,
                  Verdict::Missed},
        // Without a request any scan that ends serves, seen or not.
        JudgeCase{"AnyScanServesNoRequest", {{Step::Complete, 0, kEvery}}, 0, Verdict::Completed},
        JudgeCase{"AnyAbortEndsNoRequest", {{Step::Abort, 0, {}}}, 0, Verdict::Aborted},
        JudgeCase{"NoRequestWaitsWhileNothingEnded", {{Step::Start, 5, {}}}, 0, Verdict::Pending}),
    [](const testing::TestParamInfo<JudgeCase>& info) { return info.param.name; });

Bytes Frequencies(std::initializer_list<std::uint32_t> mhz)
{
    Bytes nested;
    std::uint16_t index = 0;
    for (const std::uint32_t frequency : mhz)
        Put(nested, index++, Value(frequency));
    return nested;
}

Bytes EventMessage(std::uint32_t interfaceIndex, const Bytes& frequencies)
{
    Bytes message;
    Put(message, NL80211_ATTR_WIPHY, Value<std::uint32_t>(0));
    if (interfaceIndex != 0)
        Put(message, NL80211_ATTR_IFINDEX, Value(interfaceIndex));
    Put(message, NL80211_ATTR_SCAN_SSIDS | NLA_F_NESTED, Join({}));
    if (!frequencies.empty())
        Put(message, NL80211_ATTR_SCAN_FREQUENCIES | NLA_F_NESTED, frequencies);
    return message;
}

}  // namespace

TEST(ScanEvents, DecodeKindInterfaceAndFrequencies)
{
    const Bytes message = EventMessage(7, Frequencies({2412, 5180}));
    const struct {
        std::uint8_t command;
        ScanEvent::Kind kind;
    } rows[] = {{NL80211_CMD_TRIGGER_SCAN, ScanEvent::Kind::Started},
                {NL80211_CMD_NEW_SCAN_RESULTS, ScanEvent::Kind::Completed},
                {NL80211_CMD_SCAN_ABORTED, ScanEvent::Kind::Aborted}};
    for (const auto& row : rows) {
        const auto event = DecodeScanEvent(row.command, message);
        ASSERT_TRUE(event) << int(row.command);
        EXPECT_EQ(event->kind, row.kind);
        EXPECT_EQ(event->interfaceIndex, 7u);
        EXPECT_EQ(event->frequencies, (std::vector<std::uint32_t>{2412, 5180}));
    }
}

TEST(ScanEvents, IgnoreWhatTheyCannotUse)
{
    Bytes damaged = EventMessage(7, Frequencies({2412}));
    damaged.resize(damaged.size() - 2);
    Bytes oddFrequency = Frequencies({2412});
    Put(oddFrequency, 1, Value<std::uint16_t>(5180));
    const struct {
        const char* name;
        std::uint8_t command;
        Bytes message;
        bool decoded;
        std::size_t frequencies;
    } rows[] = {
        {"OtherCommand", NL80211_CMD_NEW_INTERFACE, EventMessage(7, {}), false, 0},
        {"NoInterface", NL80211_CMD_TRIGGER_SCAN, EventMessage(0, Frequencies({2412})), false, 0},
        {"CutShort", NL80211_CMD_TRIGGER_SCAN, damaged, false, 0},
        {"NoFrequencyList", NL80211_CMD_NEW_SCAN_RESULTS, EventMessage(7, {}), true, 0},
        {"FrequencyOfTheWrongSizeSkipped", NL80211_CMD_NEW_SCAN_RESULTS, EventMessage(7, oddFrequency), true, 1},
    };
    for (const auto& row : rows) {
        const auto event = DecodeScanEvent(row.command, row.message);
        EXPECT_EQ(event.has_value(), row.decoded) << row.name;
        if (event) {
            EXPECT_EQ(event->frequencies.size(), row.frequencies) << row.name;
        }
    }
}
