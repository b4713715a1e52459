// Runs tarvolin-trigger, the small helper that alone may hold the capability
// to start scans, when the kernel refuses this process's own scan request.
// A run is waited for through a pidfd, on the thread that asked for it,
// together with that thread's stop request and deadline: the helper is
// killed and reaped as soon as either comes, and no other thread ever owns
// a child of ours.
#pragma once

#include "platform/Types.h"

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <stop_token>
#include <string>

namespace platform::nl80211 {

class TriggerHelper {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    // helperPath: the helper's file; empty when there is none.
    explicit TriggerHelper(std::string helperPath);
    // Kills and reaps the runs Start began that nobody waited for.
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

    // Runs the helper for interfaceName (with a frequency in MHz, a scan of
    // that channel alone) and waits for it on the calling thread. How it
    // ended: ERROR_ACCESS_DENIED when the helper is missing or cannot be
    // started, ERROR_PRIVILEGE_NOT_HELD when the kernel refused it (it lacks
    // its capability), else the Win32 counterpart of its exit. When stop is
    // requested first the helper is killed and the result is ERROR_CANCELLED;
    // when the deadline passes first, ERROR_TIMEOUT. Either way it is reaped
    // before this returns.
    DWORD Run(const std::string& interfaceName, std::uint32_t frequencyMhz, std::stop_token stop,
              Deadline deadline = Deadline::max());

    // Starts the helper for interfaceName unless one still runs for it, and
    // returns at once, with how the run before ended (ERROR_SUCCESS before
    // any ended, and while one runs), with the codes Run gives.
    DWORD Start(const std::string& interfaceName, std::uint32_t frequencyMhz = 0);

    // Waits up to timeout for the run Start began for interfaceName to end,
    // reaps it and returns how the last run ended, or ERROR_BUSY when it
    // still runs.
    DWORD Wait(const std::string& interfaceName, std::chrono::milliseconds timeout);

private:
    // A started helper: its pid, and a pidfd that becomes readable when it
    // exits. Reaped by whoever sees it end.
    struct Child {
        pid_t pid = -1;
        int pidfd = -1;
    };
    struct Started {
        Child child;
        DWORD lastResult = ERROR_SUCCESS;
    };

    Child Spawn(const std::string& interfaceName, std::uint32_t frequencyMhz) const;
    // Reaps an ended run of Start's, keeping its result.
    void Reap(Started& run);

    std::string m_path;
    std::mutex m_lock;
    std::map<std::string, Started> m_started;
};

}  // namespace platform::nl80211
