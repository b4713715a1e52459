#include "tools/tarvolin-scan/WatchTracker.h"

#include "platform/Text.h"
#include "platform/devices/Ndis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The catalogue counts dates in days since 30 December 1899, 25569 days
// before the Unix epoch. The watch gives it UTC to the millisecond, which
// a double holds to well under a microsecond, so that the time comes back
// exactly as the log writes it.
constexpr double kUnixEpochDate = 25569.0;
constexpr double kMillisecondsPerDay = 86400000.0;

DATE DateOf(WatchTracker::Clock::time_point time)
{
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return kUnixEpochDate + static_cast<double>(ms) / kMillisecondsPerDay;
}

WatchTracker::Clock::time_point TimeOf(DATE date)
{
    const auto ms = std::llround((date - kUnixEpochDate) * kMillisecondsPerDay);
    return WatchTracker::Clock::time_point(std::chrono::milliseconds(ms));
}

// The catalogue's entry for a network as the watch heard it.
ScanEntry CatalogueEntry(const NetworkView& network)
{
    ScanEntry entry{};
    std::copy(network.mac.begin(), network.mac.end(), entry.mac);
    const std::u16string name = platform::Utf8ToUtf16(network.ssid);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), std::size(entry.ssid)), entry.ssid);
    entry.rssi = network.signalDbm;
    entry.channel = network.channel;
    entry.infrastructureMode = network.mode == "ap"      ? Ndis802_11Infrastructure
                               : network.mode == "adhoc" ? Ndis802_11IBSS
                                                         : Ndis802_11AutoUnknown;
    // Every protection but none sets the privacy bit.
    entry.privacy = network.details.security != platform::Security::Open ? 1 : 0;
    entry.frequency = network.frequencyMhz;
    entry.width = network.details.widthMhz;
    // The platform's kinds of protection are the catalogue's, in the same order.
    entry.security = static_cast<BYTE>(network.details.security);
    entry.enterprise = network.details.enterprise ? 1 : 0;
    return entry;
}

// The watch hides nothing and has no use for the catalogue's new-network
// hook: its own "new" is a network present again, first heard or back.
CApList::Hooks WatchHooks(const DATE& scanTime)
{
    CApList::Hooks hooks;
    hooks.now = [&scanTime] { return scanTime; };
    return hooks;
}

}  // namespace

WatchTracker::WatchTracker() : m_catalogue(WatchHooks(m_scanTime))
{
}

std::vector<WatchTracker::Event> WatchTracker::Update(const std::vector<NetworkView>& scan, Clock::time_point now)
{
    std::vector<Event> events;
    std::vector<ScanEntry> entries;
    std::vector<bool> heard(m_watched.size(), false);
    for (const NetworkView& network : scan) {
        const int signal = network.signalDbm;
        auto [it, added] = m_index.try_emplace(network.mac, m_watched.size());
        if (added) {
            m_watched.emplace_back();
            heard.push_back(false);
        }
        const std::size_t index = it->second;
        // A BSSID heard twice in one scan (two adapters' views) counts once.
        if (heard[index])
            continue;
        heard[index] = true;
        entries.push_back(CatalogueEntry(network));
        Watched& watched = m_watched[index];
        if (!watched.present) {
            events.push_back({EventKind::New, network, 0});
            watched.reportedSignalDbm = signal;
        } else if (std::abs(signal - watched.reportedSignalDbm) >= kSignalStepDb) {
            events.push_back({EventKind::Signal, network, watched.reportedSignalDbm});
            watched.reportedSignalDbm = signal;
        }
        watched.present = true;
        watched.missedScans = 0;
        watched.latest = network;
    }
    m_scanTime = DateOf(now);
    m_catalogue.Merge(entries.data(), static_cast<int>(entries.size()));

    for (std::size_t i = 0; i < m_watched.size(); ++i) {
        Watched& watched = m_watched[i];
        if (heard[i] || !watched.present)
            continue;
        if (++watched.missedScans >= kScansToLeave) {
            watched.present = false;
            events.push_back({EventKind::Gone, watched.latest, 0});
        }
    }
    return events;
}

std::vector<WatchTracker::Record> WatchTracker::Records() const
{
    // The catalogue numbers networks in the order first heard, as the watch
    // lists them.
    std::vector<Record> records;
    records.reserve(m_watched.size());
    ApRecord history{};
    for (LONG number = 0; m_catalogue.GetByNumber(number, history); ++number) {
        std::array<std::uint8_t, 6> mac;
        std::copy(std::begin(history.mac), std::end(history.mac), mac.begin());
        const auto found = m_index.find(mac);
        if (found == m_index.end())
            continue;
        Record& record = records.emplace_back();
        record.latest = m_watched[found->second].latest;
        record.firstSeen = TimeOf(history.firstSeen);
        record.lastSeen = TimeOf(history.lastSeen);
        record.bestSignalDbm = history.bestRssi;
        record.worstSignalDbm = history.worstRssi;
    }
    return records;
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
