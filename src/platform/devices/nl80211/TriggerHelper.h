// Runs tarvolin-trigger, the small helper that alone may hold the capability
// to start scans, when the kernel refuses this process's own scan request.
// The helper is started and never waited for on the caller's thread: a
// thread of its own reaps it and keeps how it ended, which the next request
// for the same interface reports. A failing helper is thus noticed one scan
// later, while a fixed one (a capability granted meanwhile) is noticed as
// soon as it runs again.
#pragma once

#include "platform/Types.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::nl80211 {

class TriggerHelper {
public:
    // helperPath: the helper's file; empty when there is none.
    explicit TriggerHelper(std::string helperPath);
    ~TriggerHelper();
    TriggerHelper(const TriggerHelper&) = delete;
    TriggerHelper& operator=(const TriggerHelper&) = delete;

    // Where the helper is for the program at programPath: beside the
    // installed program (../lib/tarvolin/tarvolin-trigger from its folder),
    // or, for a program inside the build tree, the build tree's copy. Empty
    // when neither is there.
    static std::string Locate(const std::string& programPath);
    // Locate for the running program.
    static std::string LocateForThisProgram();

    const std::string& Path() const { return m_path; }

    // Starts the helper for interfaceName unless one still runs for it, and
    // returns at once. With a frequency (MHz) the scan visits it alone. The result is how the previous run for this
    // interface ended (ERROR_SUCCESS before the first one ended, and while one runs): ERROR_ACCESS_DENIED when the
    // helper is missing or cannot be started, ERROR_PRIVILEGE_NOT_HELD when the kernel refused it (it lacks its
    // capability), else the Win32 counterpart of its exit.
    DWORD Start(const std::string& interfaceName, std::uint32_t frequencyMhz = 0);

    // For command-line tools, which may wait: waits up to timeout for the
    // run for interfaceName to end and returns how the last run ended, or
    // ERROR_BUSY when it still runs.
    DWORD Wait(const std::string& interfaceName, std::chrono::milliseconds timeout);

private:
    struct Runs;

    std::string m_path;
    // Shared with the reaper threads, which may outlive this object.
    std::shared_ptr<Runs> m_runs;
};

}  // namespace platform::nl80211
