// What a watch has heard so far, and what each new scan changes: a network
// first heard, its signal moved by 5 dB or more since it was last reported,
// or gone after two scans in which it was not heard.
#pragma once

#include "tools/tarvolin-scan/NetworkView.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <string>
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

    // Everything known of one network since the watch began.
    struct Record {
        NetworkView latest;
        Clock::time_point firstSeen;
        Clock::time_point lastSeen;
        int bestSignalDbm = 0;
        int worstSignalDbm = 0;
        int reportedSignalDbm = 0;
        int missedScans = 0;
        bool present = false;
    };

    // Takes one scan's networks, in the order heard, and returns its events:
    // new and signal events in that order, then gone events in the order the
    // networks were first heard.
    std::vector<Event> Update(const std::vector<NetworkView>& scan, Clock::time_point now);

    // Every network ever heard, in the order first heard.
    const std::vector<Record>& Records() const { return m_records; }

private:
    std::vector<Record> m_records;
    std::map<std::string, std::size_t> m_index;  // BSSID -> record
};

const char* EventName(WatchTracker::EventKind kind);
