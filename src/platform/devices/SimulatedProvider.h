// A deterministic radio that answers from a scenario instead of hardware.
// It keeps time as a real radio does: a scan takes as long as the scenario
// says (seconds for every channel, a tenth of one for a single channel), and
// the walk moves on with the time, one step every step length. While a scan
// runs a second request is refused as busy and the count of ended scans
// stands still; the list read shows the walk where it stood when the latest
// scan ended (before any scan, its start).
#pragma once

#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// How the simulated radio's time passes.
enum class SimulatedTime {
    // On the wall clock, as a person sees a radio: for the demo, for
    // tarvolin-scan on a scenario, and for tests of pace.
    RealTime,
    // Each scan is over before anyone next asks the radio anything: the clock
    // leaps to the scan's end, and the walk moves on by the time the scan
    // took. Fast and deterministic, for tests of what a program does with
    // what it hears.
    Leaping,
    // The clock stands still until AdvanceSimulatedClock moves it, for
    // tests of what happens while a scan runs.
    Manual,
};

// RealTime, unless the environment variable TARVOLIN_SIMULATED_TIME says
// "leap" (Leaping) or "manual" (Manual): how tests run the tools on a
// scenario deterministically.
SimulatedTime SimulatedTimeFromEnvironment();

// Reads a scenario file. On failure returns nullptr and sets error to a
// one-line message naming the file and, for a malformed scenario, the line.
std::shared_ptr<WirelessProvider> MakeSimulatedProvider(const std::string& path, std::string& error,
                                                        SimulatedTime time = SimulatedTimeFromEnvironment());

// The same from the scenario's text; the message names only the line.
std::shared_ptr<WirelessProvider> MakeSimulatedProviderFromText(std::string_view text, std::string& error,
                                                                SimulatedTime time = SimulatedTimeFromEnvironment());

// The frequencies each scan request on the adapter named, oldest first (an
// empty list asked for every channel), those refused as busy included;
// nothing when provider is no simulated radio.
std::vector<std::vector<std::uint32_t>> SimulatedScanRequests(WirelessProvider& provider, const std::string& adapter);

// Moves a simulated radio's held clock (Leaping or Manual) on by ms; scans
// due by then end, and a WaitForScan waiting for one of them returns. False
// when provider is no simulated radio or its clock runs in real time.
bool AdvanceSimulatedClock(WirelessProvider& provider, std::uint64_t ms);

}  // namespace platform
