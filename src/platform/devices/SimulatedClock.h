// The time the simulated radio keeps: how long its scans take and where its
// scenario's walk stands follow from it. Milliseconds since the radio was
// made, on the wall clock or held still until moved.
#pragma once

#include "platform/devices/SimulatedProvider.h"

#include <chrono>
#include <cstdint>

namespace platform {

// Not safe to share between threads by itself: the radio guards it.
class SimulatedClock {
public:
    explicit SimulatedClock(SimulatedTime time);

    SimulatedTime Kind() const { return m_time; }
    // Whether the clock moves only when told to (Leaping, Manual).
    bool Held() const { return m_time != SimulatedTime::RealTime; }
    // Milliseconds since the clock was made.
    std::uint64_t NowMs() const;
    // Moves a held clock on to ms; a clock is never set back, and one in
    // real time moves by itself.
    void MoveTo(std::uint64_t ms);
    // When the moment ms comes on the wall clock, for a clock in real time.
    std::chrono::steady_clock::time_point WallTimeOf(std::uint64_t ms) const;

private:
    const SimulatedTime m_time;
    const std::chrono::steady_clock::time_point m_start;
    std::uint64_t m_heldMs = 0;
};

}  // namespace platform
