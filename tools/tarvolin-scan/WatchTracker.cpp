#include "tools/tarvolin-scan/WatchTracker.h"

#include <algorithm>
#include <cstdlib>

std::vector<WatchTracker::Event> WatchTracker::Update(const std::vector<NetworkView>& scan, Clock::time_point now)
{
    std::vector<Event> events;
    std::vector<bool> heard(m_records.size(), false);
    for (const NetworkView& network : scan) {
        const int signal = network.signalDbm;
        auto [it, added] = m_index.try_emplace(network.bssid, m_records.size());
        if (added) {
            Record record;
            record.firstSeen = now;
            record.bestSignalDbm = signal;
            record.worstSignalDbm = signal;
            m_records.push_back(record);
            heard.push_back(false);
        }
        const std::size_t index = it->second;
        // A BSSID heard twice in one scan (two adapters' views) counts once.
        if (heard[index])
            continue;
        heard[index] = true;
        Record& record = m_records[index];
        if (!record.present) {
            events.push_back({EventKind::New, network, 0});
            record.reportedSignalDbm = signal;
        } else if (std::abs(signal - record.reportedSignalDbm) >= kSignalStepDb) {
            events.push_back({EventKind::Signal, network, record.reportedSignalDbm});
            record.reportedSignalDbm = signal;
        }
        record.present = true;
        record.missedScans = 0;
        record.latest = network;
        record.lastSeen = now;
        record.bestSignalDbm = std::max(record.bestSignalDbm, signal);
        record.worstSignalDbm = std::min(record.worstSignalDbm, signal);
    }
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        Record& record = m_records[i];
        if (heard[i] || !record.present)
            continue;
        if (++record.missedScans >= kScansToLeave) {
            record.present = false;
            events.push_back({EventKind::Gone, record.latest, 0});
        }
    }
    return events;
}

const char* EventName(WatchTracker::EventKind kind)
{
    switch (kind) {
    case WatchTracker::EventKind::New: return "new";
    case WatchTracker::EventKind::Signal: return "signal";
    case WatchTracker::EventKind::Gone: return "gone";
    }
    return "?";
}
