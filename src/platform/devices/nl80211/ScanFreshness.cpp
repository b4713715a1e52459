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
    m_latestAbortedStart = m_runningStart.value_or(0);
    m_runningStart.reset();
}

void ScanFreshness::Forget()
{
    m_runningStart.reset();
}

ScanFreshness::Verdict ScanFreshness::Judge(Counts since, std::uint64_t askedAtNs) const
{
    const bool completed = m_completed > since.completed;
    const bool aborted = m_aborted > since.aborted;
    // A start of 0 was not seen, and serves only a request that takes any scan.
    const auto serves = [askedAtNs](std::uint64_t start) {
        return askedAtNs == 0 || (start != 0 && start >= askedAtNs);
    };
    if (completed && serves(m_latestCompletedStart))
        return Verdict::Completed;
    if (aborted && serves(m_latestAbortedStart))
        return Verdict::Aborted;
    if (askedAtNs == 0 || (m_runningStart && serves(*m_runningStart)))
        return Verdict::Pending;
    return completed || aborted ? Verdict::Missed : Verdict::Pending;
}

bool ScanFreshness::IsCurrent(const WirelessBss& bss) const
{
    std::uint64_t since = m_everyFrequencySince;
    if (const auto found = m_frequencySince.find(bss.frequencyMhz); found != m_frequencySince.end())
        since = std::max(since, found->second);
    return since == 0 || bss.lastSeenBoottimeNs == 0 || bss.lastSeenBoottimeNs >= since;
}

}  // namespace platform::nl80211
