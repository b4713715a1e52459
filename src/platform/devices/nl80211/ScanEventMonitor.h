// Listens to nl80211's "scan" multicast group on a thread of its own and
// keeps, per interface, what its scans tell about freshness (ScanFreshness).
// It hears every scan, whoever started it (this program, NetworkManager,
// wpa_supplicant, iw), and stamps each start with the boot-time clock the
// kernel uses for its last-seen times, which is why it cannot wait for the
// next read-out to look at its messages. Joining the group needs no privilege.
#pragma once

#include "platform/devices/WirelessProvider.h"
#include "platform/devices/nl80211/ScanFreshness.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct nl_sock;
struct nl_msg;

namespace platform::nl80211 {

class ScanEventMonitor {
public:
    // How many scans of an interface completed and were aborted so far.
    using Counts = ScanFreshness::Counts;

    // Opens the socket, joins nl80211's scan group and starts listening.
    // When that fails (no nl80211), Listening() is false and every read-out
    // is kept.
    ScanEventMonitor();
    // The same on another generic netlink family's multicast group, one that
    // any kernel has (nlctrl's "notify"), to look at how the listener lives
    // and ends where nl80211 is missing.
    ScanEventMonitor(std::string family, std::string group);
    ~ScanEventMonitor();
    ScanEventMonitor(const ScanEventMonitor&) = delete;
    ScanEventMonitor& operator=(const ScanEventMonitor&) = delete;

    // False as well once the socket ended (hung up, or failing every
    // receive) and a socket opened afresh ended too: listening then stops
    // rather than wake for a socket that has nothing more to give.
    bool Listening() const { return m_listening; }

    // Removes the entries not heard in the interface's latest completed scan.
    void Filter(unsigned interfaceIndex, std::vector<WirelessBss>& networks);
    bool Running(unsigned interfaceIndex);
    Counts Snapshot(unsigned interfaceIndex);

    // Waits until the scans of the interface give a verdict on a request
    // made at askedAtNs, when the counts were since (ScanFreshness::Judge),
    // or until the deadline, and returns it: Pending when the deadline
    // passed, or when not listening. On Missed, since moves on to the counts
    // then, so that the caller can ask again and wait from there.
    ScanFreshness::Verdict WaitForScan(unsigned interfaceIndex, Counts& since,
                                       std::chrono::steady_clock::time_point deadline, std::uint64_t askedAtNs);

    // Waits until the scans of the interface that ended (completed or
    // aborted, whoever started them) are no longer since, or until the
    // deadline, and returns their number; nothing when the deadline passed or
    // when not listening.
    std::optional<std::uint64_t> WaitForEnded(unsigned interfaceIndex, std::uint64_t since,
                                              std::chrono::steady_clock::time_point deadline);

    // This program is about to ask for a scan, and has asked (started: the
    // kernel took the request). The scan it starts began no earlier than the
    // moment given, and that moment is taken as its start rather than the
    // later one at which its message is read, which may come after the
    // request returned.
    void OwnRequestStarting(unsigned interfaceIndex, std::uint64_t nowNs);
    void OwnRequestEnded(unsigned interfaceIndex, bool started);

private:
    // The group's socket, joined and non-blocking, with this monitor's
    // message handler; null when nl80211 cannot be reached.
    nl_sock* OpenSocket();
    // Waits on the socket until stopped (true) or until it ends (false).
    bool ListenOn(nl_sock* socket);
    // No scan is known to run any more: messages were lost.
    void ForgetScans();
    void Listen();
    void Handle(std::uint8_t command, const std::uint8_t* attributes, int length);
    static int OnMessage(::nl_msg* message, void* context);

    nl_sock* m_socket = nullptr;  // the listening thread's once it runs
    int m_stopEvent = -1;         // an eventfd that wakes the thread to end it
    std::atomic<bool> m_listening = false;
    std::string m_family;
    std::string m_group;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::map<unsigned, ScanFreshness> m_interfaces;
    struct OwnRequest {
        std::uint64_t since = 0;
        bool started = false;
    };
    std::map<unsigned, OwnRequest> m_ownRequests;
    std::thread m_thread;
};

}  // namespace platform::nl80211
