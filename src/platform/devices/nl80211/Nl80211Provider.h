// The wireless provider on the running kernel: nl80211 over a generic netlink
// socket (libnl-genl). Reading needs no privilege; starting a scan does, and
// without it the request goes to NetworkManager when that runs.
#pragma once

#include "platform/devices/WirelessProvider.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <span>

struct nl_sock;

namespace platform::nl80211 {

// Maps an errno value from the kernel onto the Win32 code a caller expects.
DWORD ErrnoToWin32(int error);

class Nl80211Provider final : public WirelessProvider {
public:
    Nl80211Provider() = default;
    ~Nl80211Provider() override;
    Nl80211Provider(const Nl80211Provider&) = delete;
    Nl80211Provider& operator=(const Nl80211Provider&) = delete;

    DWORD ListInterfaces(std::vector<std::string>& names) override;
    DWORD IsWireless(const std::string& name, bool& wireless) override;
    DWORD CanScan(const std::string& name, bool& canScan) override;
    DWORD TriggerScan(const std::string& name) override;
    DWORD ReadScan(const std::string& name, std::vector<WirelessBss>& networks) override;

private:
    using MessageHandler = std::function<void(std::span<const std::uint8_t> attributes)>;

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
    int Transact(std::uint8_t command, bool dump, unsigned interfaceIndex, const MessageHandler& handler);

    std::mutex m_lock;
    nl_sock* m_socket = nullptr;
    int m_family = -1;
};

}  // namespace platform::nl80211
