#include "pages/SignalHistory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Column = CSignalHistory::Column;

TEST(SignalHistory, KeepsTheLastMinuteOldestFirst)
{
    struct Case {
        const char* name;
        DWORD now;
        DWORD tick;
        bool kept;
    };
    const Case cases[] = {
        {"just now", 100000, 100000, true},
        {"a moment short of a minute", 100000, 40001, true},
        {"a minute old", 100000, 40000, false},
        {"two minutes old", 200000, 80000, false},
        {"the tick count wrapped since", 30000, 0xFFFFFFFFu - 1000, true},
        {"from after now", 100000, 100005, false},
    };
    for (const Case& c : cases) {
        CSignalHistory history;
        history.Add(c.tick, true, -60);
        EXPECT_EQ(history.Recent(c.now).size(), c.kept ? 1u : 0u) << c.name;
    }

    CSignalHistory history;
    history.Add(1000, true, -70);
    history.Add(2000, false, -99);
    history.Add(3000, true, -50);
    const std::vector<CSignalHistory::Reading> recent = history.Recent(61500);
    ASSERT_EQ(recent.size(), 2u);  // the first is a minute and a half second old
    EXPECT_FALSE(recent[0].heard);
    EXPECT_EQ(recent[0].rssi, 0);  // a miss carries no signal
    EXPECT_EQ(recent[1].tick, 3000u);
    EXPECT_EQ(recent[1].rssi, -50);
}

TEST(SignalHistory, AFullRingDropsTheOldest)
{
    CSignalHistory history;
    const int extra = 5;
    for (int i = 0; i < CSignalHistory::kCapacity + extra; ++i)
        history.Add(10000 + static_cast<DWORD>(i), true, -40 - i % 50);
    const auto recent = history.Recent(10000 + CSignalHistory::kCapacity + extra);
    ASSERT_EQ(recent.size(), static_cast<std::size_t>(CSignalHistory::kCapacity));
    EXPECT_EQ(recent.front().tick, 10000u + extra);
    EXPECT_EQ(recent.back().tick, 10000u + CSignalHistory::kCapacity + extra - 1);
    history.Clear();
    EXPECT_TRUE(history.Recent(20000).empty());
}

TEST(SignalHistory, BestIsTheStrongestHeardInTheMinute)
{
    struct Reading {
        DWORD tick;
        bool heard;
        LONG rssi;
    };
    struct Case {
        const char* name;
        std::vector<Reading> readings;
        bool found;
        DWORD bestTick;
    };
    const Case cases[] = {
        {"strongest wins", {{61000, true, -70}, {62000, true, -50}, {63000, true, -60}}, true, 62000},
        {"the latest of equals", {{61000, true, -50}, {62000, true, -55}, {63000, true, -50}}, true, 63000},
        {"misses never count", {{61000, false, -20}, {62000, true, -80}}, true, 62000},
        {"only misses", {{61000, false, 0}, {62000, false, 0}}, false, 0},
        {"an old peak has gone", {{1000, true, -30}, {65000, true, -75}}, true, 65000},
        {"nothing", {}, false, 0},
    };
    for (const Case& c : cases) {
        CSignalHistory history;
        for (const Reading& r : c.readings)
            history.Add(r.tick, r.heard, r.rssi);
        CSignalHistory::Reading best{};
        EXPECT_EQ(history.Best(70000, best), c.found) << c.name;
        if (c.found) {
            EXPECT_EQ(best.tick, c.bestTick) << c.name;
        }
    }
}

TEST(SignalHistory, ColumnsPlaceEachReadingByItsAge)
{
    // Sixty columns: one a second, the newest on the right.
    const DWORD now = 100000;
    CSignalHistory history;
    history.Add(now, true, -60);          // column 59
    history.Add(now - 59999, true, -80);  // column 0
    history.Add(now - 30500, false, 0);   // column 29: only a miss
    history.Add(now - 10200, false, 0);   // column 49: a miss and two heard,
    history.Add(now - 10400, true, -70);  // which show the stronger
    history.Add(now - 10600, true, -45);  // (and the best of the minute)
    history.Add(now - 60000, true, -20);  // gone

    const std::vector<Column> columns = history.Columns(now, 60);
    ASSERT_EQ(columns.size(), 60u);
    struct Expected {
        int x;
        Column::Kind kind;
        LONG rssi;
        bool best;
    };
    const Expected expected[] = {
        {59, Column::kHeard, -60, false},
        {0, Column::kHeard, -80, false},
        {29, Column::kMissed, 0, false},
        {49, Column::kHeard, -45, true},
    };
    int shown = 0;
    for (const Column& column : columns)
        shown += column.kind != Column::kEmpty ? 1 : 0;
    EXPECT_EQ(shown, 4);
    for (const Expected& e : expected) {
        const Column& column = columns[static_cast<std::size_t>(e.x)];
        EXPECT_EQ(column.kind, e.kind) << "column " << e.x;
        if (e.kind == Column::kHeard) {
            EXPECT_EQ(column.rssi, e.rssi) << "column " << e.x;
        }
        EXPECT_EQ(column.best, e.best) << "column " << e.x;
    }
    EXPECT_TRUE(history.Columns(now, 0).empty());
    EXPECT_EQ(history.Columns(now, 1).front().kind, Column::kHeard);
}

TEST(SignalHistory, BarHeightFollowsTheSignal)
{
    struct Case {
        LONG rssi;
        int height;
        int bar;
    };
    const Case cases[] = {
        {-120, 14, 1}, {-100, 14, 1}, {-65, 14, 7}, {-30, 14, 14}, {-5, 14, 14}, {-95, 14, 1}, {-60, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSignalHistory::BarHeight(c.rssi, c.height), c.bar) << c.rssi << " dBm in " << c.height;
}

}  // namespace
