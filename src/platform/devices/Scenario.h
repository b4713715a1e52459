// A scenario for the simulated radio: adapters, and networks whose signal
// follows a timeline of steps. docs/scenario-format.md describes the text form.
#pragma once

#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ScenarioAdapter {
    std::string name;
    bool wireless = true;
    // What scan requests fail with: ERROR_ACCESS_DENIED (trigger=denied: no
    // way to start a scan), ERROR_PRIVILEGE_NOT_HELD (trigger=no-capability:
    // the installed helper lacks its capability); ERROR_SUCCESS when they work.
    DWORD triggerError = ERROR_SUCCESS;
};

// One key point of a signal timeline: from `step` on the network is heard at
// `dbm` (moving in a straight line towards the next heard point), or is not
// heard at all when dbm is empty.
struct SignalPoint {
    std::uint32_t step = 0;
    std::optional<int> dbm;
};

struct ScenarioNetwork {
    WirelessBss bss;                  // everything but the signal, which comes from the timeline
    std::string adapter;              // the one adapter that hears it; empty: every wireless adapter
    std::vector<SignalPoint> signal;  // steps strictly increasing
    int line = 0;                     // where the network was declared
};

struct Scenario {
    std::uint32_t steps = 1;  // length of the timeline
    bool loop = false;        // after the last step: start again (true) or stay on the last step
    // How long things take, in milliseconds: the walk stays this long on
    // each step; a scan of every channel takes sweepMs, as on real radios
    // that visit both bands; a scan of a few channels channelMs for each,
    // at most a sweep.
    std::uint32_t stepMs = 1000;
    std::uint32_t sweepMs = 3000;
    std::uint32_t channelMs = 90;
    std::vector<ScenarioAdapter> adapters;
    std::vector<ScenarioNetwork> networks;

    // The timeline step after this many steps walked.
    std::uint32_t StepAt(std::uint64_t walked) const;
    // The timeline step at a moment, in milliseconds since the walk began.
    std::uint32_t StepAtTime(std::uint64_t ms) const { return StepAt(ms / stepMs); }
    // How long a scan of this many frequencies takes (0: every channel).
    std::uint32_t ScanMs(std::size_t frequencies) const;
};

// The signal of a network at a timeline step, or nothing when it is not heard.
std::optional<int> SignalAt(const ScenarioNetwork& network, std::uint32_t step);

// Parses a scenario. On a malformed one returns nothing and sets error to
// "line N: what is wrong", or to what is wrong with the whole text when it
// declares no adapter ("is empty; ...", "names no adapter; ...").
std::optional<Scenario> ParseScenario(std::string_view text, std::string& error);

}  // namespace platform
