#include "platform/devices/SimulatedClock.h"

#include <algorithm>

namespace platform {

SimulatedClock::SimulatedClock(SimulatedTime time) : m_time(time), m_start(std::chrono::steady_clock::now())
{
}

std::uint64_t SimulatedClock::NowMs() const
{
    if (Held())
        return m_heldMs;
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SimulatedClock::MoveTo(std::uint64_t ms)
{
    if (Held())
        m_heldMs = std::max(m_heldMs, ms);
}

std::chrono::steady_clock::time_point SimulatedClock::WallTimeOf(std::uint64_t ms) const
{
    return m_start + std::chrono::milliseconds(ms);
}

}  // namespace platform
