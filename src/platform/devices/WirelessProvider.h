// The source of wireless information behind the devices "UIO1:" and "NDS0:".
// The device layer turns these answers into the NDIS records the program
// reads; a provider only describes interfaces and the networks they hear.
#pragma once

#include "platform/Types.h"
#include "platform/devices/BssDetails.h"
#include "platform/devices/Ndis.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace platform {

// One BSS as a provider reports it.
struct WirelessBss {
    std::array<std::uint8_t, 6> bssid{};
    std::vector<std::uint8_t> ssid;  // 0 to 32 bytes, exactly as broadcast (hidden networks: empty or zeros)
    std::int32_t rssiDbm = 0;        // signal strength in dBm
    std::uint32_t frequencyMhz = 0;  // centre frequency of the primary channel
    bool privacy = false;            // capability bit 4
    std::uint32_t infrastructureMode = Ndis802_11Infrastructure;  // or Ndis802_11IBSS, Ndis802_11AutoUnknown
    std::uint32_t beaconPeriod = 100;                             // time units of 1024 us
    // When the radio last heard this BSS, in nanoseconds on the CLOCK_BOOTTIME
    // clock; 0 when the source does not say.
    std::uint64_t lastSeenBoottimeNs = 0;
    BssDetails details;                  // security, WPS and width, for tools that show more
    std::vector<std::uint8_t> elements;  // information elements as heard (nl80211 only; empty otherwise)
};

// Every operation returns ERROR_SUCCESS or a Win32 error code
// (ERROR_FILE_NOT_FOUND for an unknown interface, ERROR_ACCESS_DENIED when
// privilege is missing, ERROR_PRIVILEGE_NOT_HELD when scans are refused
// although the installed scan helper is there (it lacks its capability),
// ERROR_NOT_SUPPORTED, ERROR_GEN_FAILURE, ...).
class WirelessProvider {
public:
    virtual ~WirelessProvider() = default;

    // Names of every network interface, wireless or not, in the provider's order.
    virtual DWORD ListInterfaces(std::vector<std::string>& names) = 0;
    // Whether the named interface is a wireless LAN interface.
    virtual DWORD IsWireless(const std::string& name, bool& wireless) = 0;
    // Whether the named wireless interface can scan for networks: it works
    // as a station (managed) or in an ad hoc network, not as a monitor or an
    // access point. Providers whose wireless interfaces all can keep this.
    virtual DWORD CanScan(const std::string& name, bool& canScan) { return IsWireless(name, canScan); }
    // Starts a new scan on the named interface; results are read later.
    virtual DWORD TriggerScan(const std::string& name) = 0;
    // Starts a scan that visits only these frequencies (MHz); an empty list
    // means every channel. A provider that cannot limit a scan sweeps every
    // channel, which visits them too.
    virtual DWORD TriggerScanOn(const std::string& name, std::span<const std::uint32_t> frequencies)
    {
        (void)frequencies;
        return TriggerScan(name);
    }
    // How many scans of the named interface have ended so far (completed or
    // cut short), whoever started them: a caller that asked for a scan sees
    // it is over when the number moves on. ERROR_NOT_SUPPORTED when the
    // provider cannot tell.
    virtual DWORD CountEndedScans(const std::string& name, std::uint64_t& ended)
    {
        (void)name, (void)ended;
        return ERROR_NOT_SUPPORTED;
    }
    // Waits until the number CountEndedScans gives for the named interface
    // moves on from since (a scan ended, whoever started it), for at most
    // timeoutMs, and sets ended to the new number: for a command-line tool
    // that reads the scans others start, never for a window. ERROR_SUCCESS
    // when one ended, ERROR_TIMEOUT when none did, ERROR_NOT_SUPPORTED when
    // the provider cannot tell. This default looks at the count every few
    // milliseconds; a provider that hears scans end wakes at the end instead.
    virtual DWORD WaitForEndedScan(const std::string& name, std::uint64_t since, unsigned timeoutMs,
                                   std::uint64_t& ended)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            if (const DWORD error = CountEndedScans(name, ended); error != ERROR_SUCCESS)
                return error;
            if (ended != since)
                return ERROR_SUCCESS;
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline)
                return ERROR_TIMEOUT;
            std::this_thread::sleep_for(
                std::min<std::chrono::steady_clock::duration>(deadline - now, std::chrono::milliseconds(20)));
        }
    }
    // The networks the named interface currently holds in its scan list.
    virtual DWORD ReadScan(const std::string& name, std::vector<WirelessBss>& networks) = 0;
    // Waits until a scan that began after the latest TriggerScan on the named
    // interface has completed (while the radio is busy, the next one), for at
    // most timeoutMs in all, the answer of whoever was asked to start it
    // included; for command-line tools, never for a window. ERROR_SUCCESS
    // when it completed; ERROR_TIMEOUT, ERROR_OPERATION_ABORTED, or the
    // reason no scan could be started (with why saying it in one sentence).
    // A provider whose scans complete at once has nothing to wait for.
    virtual DWORD WaitForScan(const std::string& name, unsigned timeoutMs, std::string& why)
    {
        (void)name, (void)timeoutMs, (void)why;
        return ERROR_SUCCESS;
    }
};

// The provider the devices answer from. The program's start-up installs one;
// with none installed the devices cannot be opened.
void SetWirelessProvider(std::shared_ptr<WirelessProvider> provider);
std::shared_ptr<WirelessProvider> GetWirelessProvider();

// The provider on the real kernel (nl80211 through libnl).
std::shared_ptr<WirelessProvider> MakeNl80211Provider();

}  // namespace platform
