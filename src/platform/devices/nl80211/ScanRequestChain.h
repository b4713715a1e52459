// Starts scans through the ways that need no privilege of our own, in order
// (NetworkManager first), on a thread of its own: the caller hands a request
// over and returns at once, so a daemon that answers slowly or never cannot
// hold up the window.
#pragma once

#include "platform/devices/nl80211/ScanRequester.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::nl80211 {

class ScanRequestChain {
public:
    // How long one request may take down the whole chain before it counts
    // as failed: NetworkManager's two calls and a helper run share it.
    static constexpr std::chrono::seconds kDefaultRequestTime{30};

    explicit ScanRequestChain(std::vector<std::unique_ptr<ScanRequester>> ways,
                              std::chrono::milliseconds requestTime = kDefaultRequestTime);
    // Cancels the request under way and waits for the thread to end.
    ~ScanRequestChain();
    ScanRequestChain(const ScanRequestChain&) = delete;
    ScanRequestChain& operator=(const ScanRequestChain&) = delete;

    // Queues a request for the interface and returns without waiting. While
    // an earlier request for the same interface is still on its way, that one
    // stands for this one too: a daemon that never answers collects one
    // request per interface, not one per scan tick. With a frequency (MHz),
    // the ways that can scan it alone are asked first, then the others,
    // which sweep every channel.
    void Start(const std::string& interfaceName, std::uint32_t frequencyMhz = 0);

    // Waits until no request for the interface is on its way, and gives the
    // outcome of the latest one: ERROR_SUCCESS when a way started a scan (or
    // none was asked), ERROR_ACCESS_DENIED when every way failed, with why
    // saying what the last way answered; ERROR_PRIVILEGE_NOT_HELD instead
    // when the last way was a helper that lacks its capability.
    // ERROR_TIMEOUT when the deadline passes first; the request goes on.
    DWORD WaitSettled(const std::string& interfaceName, std::string& why,
                      std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());

    // Whether a request for the interface is queued or under way.
    bool Pending(const std::string& interfaceName);

    // Without waiting: how the latest settled request for the interface
    // ended (ERROR_SUCCESS when none has settled, or while one is on its way).
    DWORD LatestOutcome(const std::string& interfaceName);

private:
    struct Outcome {
        bool pending = false;
        DWORD result = ERROR_SUCCESS;
        std::string why;
    };

    struct Queued {
        std::string interfaceName;
        std::uint32_t frequencyMhz = 0;
        // Counted from when the request was queued, not from when its turn came.
        ScanRequester::Deadline deadline;
    };

    void Run(std::stop_token stop);
    Outcome Ask(const Queued& request, std::stop_token stop);

    std::vector<std::unique_ptr<ScanRequester>> m_ways;
    std::chrono::milliseconds m_requestTime;
    std::mutex m_lock;
    std::condition_variable_any m_changed;
    std::deque<Queued> m_queue;
    std::map<std::string, Outcome> m_outcomes;
    // Last member: the thread starts once everything it uses exists.
    std::jthread m_thread;
};

}  // namespace platform::nl80211
