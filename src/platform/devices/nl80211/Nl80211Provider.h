// The wireless provider on the running kernel: nl80211 over a generic netlink
// socket (libnl-genl). Reading needs no privilege; starting a scan does, and
// without it the request goes down a chain of other ways (NetworkManager
// first) on a thread of its own. A read-out holds only the networks heard in
// the interface's latest completed scan, as the scan events tell.
#pragma once

#include "platform/devices/WirelessProvider.h"
#include "platform/devices/nl80211/ScanEventMonitor.h"
#include "platform/devices/nl80211/ScanRequestChain.h"
#include "platform/devices/nl80211/ScanRequester.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

struct nl_sock;
struct nl_msg;

namespace platform::nl80211 {

// Maps an errno value from the kernel onto the Win32 code a caller expects.
DWORD ErrnoToWin32(int error);

class Nl80211Provider final : public WirelessProvider {
public:
    // Without privilege, scans are asked of NetworkManager on the system bus.
    Nl80211Provider();
    // Without privilege, scans are asked of each of these ways in turn.
    explicit Nl80211Provider(std::vector<std::unique_ptr<ScanRequester>> unprivilegedWays);
    ~Nl80211Provider() override;
    Nl80211Provider(const Nl80211Provider&) = delete;
    Nl80211Provider& operator=(const Nl80211Provider&) = delete;

    DWORD ListInterfaces(std::vector<std::string>& names) override;
    DWORD IsWireless(const std::string& name, bool& wireless) override;
    DWORD CanScan(const std::string& name, bool& canScan) override;
    DWORD TriggerScan(const std::string& name) override;
    DWORD TriggerScanOn(const std::string& name, std::span<const std::uint32_t> frequencies) override;
    DWORD CountEndedScans(const std::string& name, std::uint64_t& ended) override;
    DWORD WaitForEndedScan(const std::string& name, std::uint64_t since, unsigned timeoutMs,
                           std::uint64_t& ended) override;
    DWORD ReadScan(const std::string& name, std::vector<WirelessBss>& networks) override;
    DWORD WaitForScan(const std::string& name, unsigned timeoutMs, std::string& why) override;

private:
    using MessageHandler = std::function<void(std::span<const std::uint8_t> attributes)>;
    using MessageFiller = std::function<int(::nl_msg* message)>;

    // What the latest TriggerScan on an interface did, for WaitForScan.
    struct Request {
        ScanEventMonitor::Counts before;
        bool viaChain = false;
        std::uint64_t askedAtNs = 0;
        std::vector<std::uint32_t> frequencies;  // the only ones to visit; empty: every channel
    };

    // Asks the kernel for a scan, telling the event monitor that the scan it
    // starts is this program's; without the privilege, hands the request to
    // the unprivileged ways (request.viaChain). Called with m_lock held.
    DWORD Ask(const std::string& name, unsigned interfaceIndex, Request& request);
    // Asks once more for a request that the scans since it all missed (they
    // began before it). Called without m_lock.
    DWORD AskAgain(const std::string& name, unsigned interfaceIndex, Request& request);

    // The opening every operation shares: m_lock taken and the socket
    // connected, then the operation run under the lock. Returns what Connect
    // says when it fails, otherwise what the operation returns.
    template <typename Operation> DWORD WithSocket(Operation&& operation);
    // The same for one interface: its index looked up by name first
    // (ERROR_FILE_NOT_FOUND for an unknown name) and handed to the operation.
    template <typename Operation> DWORD OnInterface(const std::string& name, Operation&& operation);
    // Opens the socket and looks up the nl80211 family, once. ERROR_SUCCESS,
    // ERROR_NOT_SUPPORTED when the kernel has no nl80211 (no cfg80211), or
    // ERROR_GEN_FAILURE when netlink itself cannot be used.
    DWORD Connect();
    void Disconnect();
    // Whether nl80211 knows the interface and, when it does, its type
    // (NL80211_IFTYPE_*, unspecified when the reply does not say).
    DWORD QueryInterface(const std::string& name, bool& wireless, std::uint32_t& type);
    // Sends one nl80211 command for an interface and hands the attributes of
    // every reply to the handler. Returns 0 or the kernel's negative errno;
    // -EIO for a failure of the socket itself.
    // The filler adds attributes after the interface index.
    int Transact(std::uint8_t command, bool dump, unsigned interfaceIndex, const MessageHandler& handler,
                 const MessageFiller& filler = {});

    std::mutex m_lock;
    nl_sock* m_socket = nullptr;
    int m_family = -1;
    // Listens from the first request on; before its first completed scan an
    // interface's read-out is whatever the kernel holds.
    std::unique_ptr<ScanEventMonitor> m_events;
    std::map<std::string, Request> m_requests;
    ScanRequestChain m_unprivileged;
};

}  // namespace platform::nl80211
