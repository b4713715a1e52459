#include "pages/GuideTone.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr LONG kSlowest = -90;
constexpr LONG kFastest = -30;
constexpr double kSlowestMilliHertz = 1000.0;
constexpr double kFastestMilliHertz = 10000.0;

}  // namespace

DWORD CGuideTone::RateFor(LONG rssi)
{
    const double share = static_cast<double>(std::clamp(rssi, kSlowest, kFastest) - kSlowest) / (kFastest - kSlowest);
    const double rate = kSlowestMilliHertz * std::pow(kFastestMilliHertz / kSlowestMilliHertz, share);
    return static_cast<DWORD>(std::lround(rate));
}

void CGuideTone::Heard(DWORD tick, LONG rssi)
{
    m_heard = true;
    m_tick = tick;
    m_rssi = rssi;
}

void CGuideTone::Forget()
{
    m_heard = false;
}

DWORD CGuideTone::QuietIn(DWORD now) const
{
    if (!m_heard)
        return 0;
    const DWORD age = now - m_tick;
    return age < kQuietAfterMs ? kQuietAfterMs - age : 0;
}

DWORD CGuideTone::RateAt(DWORD now) const
{
    return QuietIn(now) != 0 ? RateFor(m_rssi) : 0;
}
