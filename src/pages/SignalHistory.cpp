#include "pages/SignalHistory.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr LONG kWeakest = -100;
constexpr LONG kStrongest = -30;

bool Within(DWORD now, DWORD tick)
{
    // Unsigned, so a tick count that wrapped in between still gives the age.
    return now - tick < CSignalHistory::kSpanMs;
}

}  // namespace

void CSignalHistory::Add(DWORD tick, bool heard, LONG rssi)
{
    const Reading reading{tick, heard, heard ? rssi : 0};
    if (m_count < kCapacity) {
        m_readings[(m_first + m_count) % kCapacity] = reading;
        ++m_count;
    } else {
        m_readings[m_first] = reading;
        m_first = (m_first + 1) % kCapacity;
    }
}

void CSignalHistory::Clear()
{
    m_first = 0;
    m_count = 0;
}

std::vector<CSignalHistory::Reading> CSignalHistory::Recent(DWORD now) const
{
    std::vector<Reading> recent;
    for (int i = 0; i < m_count; ++i) {
        const Reading& reading = m_readings[(m_first + i) % kCapacity];
        if (Within(now, reading.tick))
            recent.push_back(reading);
    }
    return recent;
}

bool CSignalHistory::Best(DWORD now, Reading& best) const
{
    bool found = false;
    for (const Reading& reading : Recent(now)) {
        if (reading.heard && (!found || reading.rssi >= best.rssi)) {
            best = reading;
            found = true;
        }
    }
    return found;
}

std::vector<CSignalHistory::Column> CSignalHistory::Columns(DWORD now, int width) const
{
    std::vector<Column> columns(static_cast<std::size_t>(std::max(width, 0)));
    if (width <= 0)
        return columns;
    Reading best{};
    const bool haveBest = Best(now, best);
    for (const Reading& reading : Recent(now)) {
        const std::uint64_t age = now - reading.tick;
        const auto x = static_cast<std::size_t>(width - 1 - static_cast<int>(age * width / kSpanMs));
        Column& column = columns[x];
        if (reading.heard) {
            if (column.kind != Column::kHeard || reading.rssi > column.rssi)
                column.rssi = reading.rssi;
            column.kind = Column::kHeard;
            if (haveBest && reading.tick == best.tick && reading.rssi == best.rssi)
                column.best = true;
        } else if (column.kind == Column::kEmpty) {
            column.kind = Column::kMissed;
        }
    }
    return columns;
}

int CSignalHistory::BarHeight(LONG rssi, int height)
{
    if (height <= 0)
        return 0;
    const LONG clamped = std::clamp(rssi, kWeakest, kStrongest);
    const int bar = static_cast<int>((clamped - kWeakest) * height / (kStrongest - kWeakest));
    return std::max(bar, 1);
}
