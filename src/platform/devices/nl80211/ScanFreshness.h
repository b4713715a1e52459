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
    std::uint64_t CompletedCount() const { return m_completed; }
    std::uint64_t AbortedCount() const { return m_aborted; }
    // When the latest completed scan began; 0 when its start was not seen.
    std::uint64_t LatestCompletedStart() const { return m_latestCompletedStart; }

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
    std::uint64_t m_completed = 0;
    std::uint64_t m_aborted = 0;
};

}  // namespace platform::nl80211
