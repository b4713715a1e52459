// Which of the BSS entries the kernel holds for one interface were heard in
// its latest completed scan. The kernel keeps an entry for 30 s after it was
// last heard; a network switched off would stay in the list that long.
// Pure bookkeeping on times, fed by the scan events of that interface.
#pragma once

#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <map>
#include <optional>
#include <span>

namespace platform::nl80211 {

class ScanFreshness {
public:
    // How many scans completed and were aborted so far.
    struct Counts {
        std::uint64_t completed = 0;
        std::uint64_t aborted = 0;
    };

    // What became of the scans for a request, as far as the events tell.
    enum class Verdict {
        Pending,    // nothing yet: wait on
        Completed,  // a scan that serves completed
        Aborted,    // a scan that serves was cut short
        Missed,     // scans ended, none that serves, and none that serves runs:
                    // only a new request can bring one
    };

    // A scan began at startNs (CLOCK_BOOTTIME).
    void Started(std::uint64_t startNs);
    // The running scan completed, having visited these frequencies (MHz);
    // an empty list stands for every frequency. A completion whose start was
    // not seen (the scan began before anyone listened) still counts as one,
    // but says nothing about when its entries were heard.
    void Completed(std::span<const std::uint32_t> frequencies);
    // The running scan was cut short: what it heard is incomplete, so the
    // latest completed scan stays the measure.
    void Aborted();
    // Events were lost: whether a scan runs is no longer known.
    void Forget();

    bool Running() const { return m_runningStart.has_value(); }
    Counts Snapshot() const { return {m_completed, m_aborted}; }
    std::uint64_t CompletedCount() const { return m_completed; }
    std::uint64_t AbortedCount() const { return m_aborted; }
    // When the latest completed scan began; 0 when its start was not seen.
    std::uint64_t LatestCompletedStart() const { return m_latestCompletedStart; }

    // For a request made at askedAtNs, when the counts were since: a scan
    // serves when it was seen to begin at or after that moment. One whose
    // start was not seen (it ran before anyone listened) or that began
    // earlier may have passed a channel before a network there went away,
    // so its end is Missed, not Completed. With askedAtNs 0 any scan that
    // ends after since serves, and nothing is ever Missed.
    Verdict Judge(Counts since, std::uint64_t askedAtNs) const;

    // Whether the BSS was heard no earlier than the start of the latest
    // completed scan that visited its frequency. An entry on a frequency no
    // completed scan visited, or without a last-seen time, is kept: nothing
    // says it is gone.
    bool IsCurrent(const WirelessBss& bss) const;

private:
    std::optional<std::uint64_t> m_runningStart;
    // Start of the latest completed scan that visited every frequency, and
    // per frequency the start of the latest completed scan that visited it.
    std::uint64_t m_everyFrequencySince = 0;
    std::map<std::uint32_t, std::uint64_t> m_frequencySince;
    std::uint64_t m_latestCompletedStart = 0;
    std::uint64_t m_latestAbortedStart = 0;
    std::uint64_t m_completed = 0;
    std::uint64_t m_aborted = 0;
};

}  // namespace platform::nl80211
