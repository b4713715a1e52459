// The followed network's readings of the last minute, one for each scan that
// completed while the large view showed it: heard at a signal, or missed.
// Qt-free; the scanner page draws what it says.
#pragma once

#include "platform/Types.h"

#include <array>
#include <vector>

class CSignalHistory {
public:
    static constexpr DWORD kSpanMs = 60000;
    // A minute of scans at twenty a second; beyond that the oldest go first.
    static constexpr int kCapacity = 1200;

    struct Reading {
        DWORD tick;  // GetTickCount when the scan completed
        bool heard;
        LONG rssi;  // dBm; meaningless for a miss
    };

    // What one column of the graph shows: nothing, a miss, or the strongest
    // reading heard in its slice of the minute.
    struct Column {
        enum Kind { kEmpty, kMissed, kHeard };
        Kind kind = kEmpty;
        LONG rssi = 0;
        bool best = false;  // holds the best reading of the minute
    };

    void Add(DWORD tick, bool heard, LONG rssi);
    void Clear();

    // The readings less than kSpanMs old at `now`, oldest first. The tick
    // count may wrap between them.
    std::vector<Reading> Recent(DWORD now) const;
    // The strongest reading heard less than kSpanMs ago (the latest of equal
    // ones); false when none was.
    bool Best(DWORD now, Reading& best) const;

    // The graph `width` columns wide: the last column is `now`, the first
    // kSpanMs ago. A column holding both a miss and a reading heard shows the
    // reading.
    std::vector<Column> Columns(DWORD now, int width) const;

    // The height of a bar for a signal in a graph `height` pixels high:
    // -100 dBm and below one pixel, -30 dBm and above all of it, in
    // proportion between.
    static int BarHeight(LONG rssi, int height);

private:
    std::array<Reading, kCapacity> m_readings{};
    int m_first = 0;  // the oldest reading's slot
    int m_count = 0;
};
