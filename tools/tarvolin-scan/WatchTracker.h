// What a watch has heard so far, and what each new scan changes: a network
// first heard, its signal moved by 5 dB or more since it was last reported,
// or gone after two scans in which it was not heard. Each network's history
// (first and last heard, best and worst signal) is kept by the program's own
// catalogue, which the tracker feeds every scan.
#pragma once

#include "catalogue/ApList.h"
#include "tools/tarvolin-scan/NetworkView.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class WatchTracker {
public:
    using Clock = std::chrono::system_clock;

    // A signal change smaller than this is not reported.
    static constexpr int kSignalStepDb = 5;
    // Scans in a row without a network before it counts as gone.
    static constexpr int kScansToLeave = 2;

    enum class EventKind { New, Signal, Gone };

    struct Event {
        EventKind kind;
        NetworkView network;    // as last heard
        int previousSignalDbm;  // Signal: the signal reported before
    };

    // Everything known of one network since the watch began; the times to
    // the millisecond.
    struct Record {
        NetworkView latest;
        Clock::time_point firstSeen;
        Clock::time_point lastSeen;
        int bestSignalDbm = 0;
        int worstSignalDbm = 0;
    };

    WatchTracker();

    // Takes one scan's networks, in the order heard, and returns its events:
    // new and signal events in that order, then gone events in the order the
    // networks were first heard.
    std::vector<Event> Update(const std::vector<NetworkView>& scan, Clock::time_point now);

    // Every network ever heard, in the order first heard.
    std::vector<Record> Records() const;

private:
    // What the watch reports of one network, beside its history in the
    // catalogue.
    struct Watched {
        NetworkView latest;
        int reportedSignalDbm = 0;
        int missedScans = 0;
        bool present = false;
    };

    std::vector<Watched> m_watched;                              // in the order first heard
    std::map<std::array<std::uint8_t, 6>, std::size_t> m_index;  // BSSID -> watched
    // The time of the scan being merged, which the catalogue stamps on the
    // records it creates and updates: UTC, to the millisecond.
    DATE m_scanTime = 0.0;
    CApList m_catalogue;
};

const char* EventName(WatchTracker::EventKind kind);
