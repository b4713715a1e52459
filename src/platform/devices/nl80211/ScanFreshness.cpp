#include "platform/devices/nl80211/ScanFreshness.h"

#include <algorithm>

namespace platform::nl80211 {

void ScanFreshness::Started(std::uint64_t startNs)
{
    m_runningStart = startNs;
}

void ScanFreshness::Completed(std::span<const std::uint32_t> frequencies)
{
    ++m_completed;
    m_latestCompletedStart = m_runningStart.value_or(0);
    if (!m_runningStart)
        return;
    const std::uint64_t start = *m_runningStart;
    m_runningStart.reset();
    if (frequencies.empty()) {
        m_everyFrequencySince = start;
        m_frequencySince.clear();
        return;
    }
    for (const std::uint32_t frequency : frequencies)
        m_frequencySince[frequency] = start;
}

void ScanFreshness::Aborted()
{
    ++m_aborted;
    m_runningStart.reset();
}

void ScanFreshness::Forget()
{
    m_runningStart.reset();
}

bool ScanFreshness::IsCurrent(const WirelessBss& bss) const
{
    std::uint64_t since = m_everyFrequencySince;
    if (const auto found = m_frequencySince.find(bss.frequencyMhz); found != m_frequencySince.end())
        since = std::max(since, found->second);
    return since == 0 || bss.lastSeenBoottimeNs == 0 || bss.lastSeenBoottimeNs >= since;
}

}  // namespace platform::nl80211
