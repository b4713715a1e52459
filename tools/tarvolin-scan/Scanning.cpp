#include "tools/tarvolin-scan/Scanning.h"

#include "platform/Text.h"
#include "platform/devices/Devices.h"
#include "tools/tarvolin-scan/NetworkView.h"
#include "tools/tarvolin-scan/Options.h"
#include "tools/tarvolin-scan/StopSignals.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

std::string PermissionAdvice(const std::string& adapter, const std::string& why)
{
    // Only the scan helper may hold the capability, never this program.
    return "no permission to start a scan on " + adapter + (why.empty() ? "" : " (" + why + ")") +
           ": run NetworkManager (it scans for ordinary users), or install Tarvolin's Debian package, or give "
           "its scan helper the capability: sudo setcap cap_net_admin+ep /usr/lib/tarvolin/tarvolin-trigger";
}

// The package's helper is there but the kernel refused it: it lost its
// capability (a copied file, a file system without extended attributes).
std::string LostCapabilityAdvice(const std::string& adapter, const std::string& why)
{
    return "no permission to start a scan on " + adapter + (why.empty() ? "" : " (" + why + ")") +
           ": the scan helper is installed but has lost its capability; give it back with sudo setcap "
           "cap_net_admin+ep /usr/lib/tarvolin/tarvolin-trigger (or sudo dpkg-reconfigure tarvolin), or run "
           "NetworkManager";
}

}  // namespace

int Fail(const std::string& message)
{
    std::fprintf(stderr, "tarvolin-scan: %s\n", message.c_str());
    return kFailed;
}

std::string ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return "no such interface";
    case ERROR_ACCESS_DENIED: return "permission denied";
    case ERROR_NOT_SUPPORTED: return "not supported by this interface";
    case ERROR_NOT_READY: return "the interface is down";
    case ERROR_BUSY: return "the interface is busy";
    case ERROR_NOT_ENOUGH_MEMORY: return "out of memory";
    default: return "error " + std::to_string(error);
    }
}

std::optional<int> CheckAdapter(CWifiTarv& wifi, const std::string& adapter)
{
    // Interface names are bytes: any real one, UTF-8 or not, reaches the
    // devices as itself.
    const std::u16string name = platform::BytesToUtf16(adapter);
    SetLastError(ERROR_SUCCESS);
    if (wifi.IsWireless(name.c_str()))
        return std::nullopt;
    const DWORD error = GetLastError();
    if (error == ERROR_SUCCESS)
        return Fail(adapter + " is not a wireless adapter");
    if (error == ERROR_FILE_NOT_FOUND)
        return Fail("no such adapter: " + adapter);
    return Fail("cannot query " + adapter + ": " + ErrorText(error));
}

ScanOutcome RequestScan(CWifiTarv& wifi, const std::string& adapter, ULONG frequencyMhz,
                        std::chrono::steady_clock::time_point deadline)
{
    using Kind = ScanOutcome::Kind;
    const std::u16string name = platform::BytesToUtf16(adapter);
    if (!wifi.RefreshBSSIDs(name.c_str(), frequencyMhz)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED)
            return {Kind::NotPermitted, PermissionAdvice(adapter, {})};
        if (error == ERROR_PRIVILEGE_NOT_HELD)
            return {Kind::NotPermitted, LostCapabilityAdvice(adapter, {})};
        if (error == ERROR_INVALID_PARAMETER && frequencyMhz != 0)
            return {Kind::Refused, "cannot scan " + std::to_string(frequencyMhz) + " MHz alone on " + adapter};
        // A scan under way: the wait below takes the one that begins after it.
        if (error != ERROR_BUSY)
            return {Kind::Refused, "cannot start a scan on " + adapter + ": " + ErrorText(error)};
    }
    const auto provider = platform::GetWirelessProvider();
    if (!provider)
        return {};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    std::string why;
    const DWORD waited =
        provider->WaitForScan(adapter, static_cast<unsigned>(std::max<long long>(left.count(), 0)), why);
    switch (waited) {
    case ERROR_SUCCESS: return {};
    case ERROR_OPERATION_ABORTED: return {Kind::Aborted, {}};
    case ERROR_TIMEOUT: return {Kind::TimedOut, {}};
    case ERROR_ACCESS_DENIED: return {Kind::NotPermitted, PermissionAdvice(adapter, why)};
    case ERROR_PRIVILEGE_NOT_HELD: return {Kind::NotPermitted, LostCapabilityAdvice(adapter, why)};
    default:
        return {Kind::Refused, "cannot start a scan on " + adapter + ": " + (why.empty() ? ErrorText(waited) : why)};
    }
}

std::optional<int> TellOutcome(const ScanOutcome& outcome, const std::string& adapter, unsigned long capMs)
{
    switch (outcome.kind) {
    case ScanOutcome::Kind::Completed: return std::nullopt;
    case ScanOutcome::Kind::Aborted:
        std::fprintf(stderr,
                     "tarvolin-scan: the scan on %s was aborted; the networks shown are those of the scan before it\n",
                     adapter.c_str());
        return std::nullopt;
    case ScanOutcome::Kind::TimedOut:
        // What the adapter holds would be older than asked for: nothing is
        // printed rather than that.
        std::fprintf(stderr, "tarvolin-scan: no scan on %s completed within %lu ms\n", adapter.c_str(), capMs);
        return kTimedOut;
    case ScanOutcome::Kind::NotPermitted:
    case ScanOutcome::Kind::Refused: break;
    }
    return Fail(outcome.message);
}

std::optional<std::uint64_t> CountEndedScans(const std::string& adapter)
{
    const auto provider = platform::GetWirelessProvider();
    std::uint64_t ended = 0;
    if (!provider || provider->CountEndedScans(adapter, ended) != ERROR_SUCCESS)
        return std::nullopt;
    return ended;
}

std::optional<std::uint64_t> AwaitScanByAnyone(const std::string& adapter, std::uint64_t since)
{
    // The provider's wait cannot see Ctrl-C: it waits in slices short enough
    // for the signal to end the watch at once, as people expect.
    constexpr unsigned kSliceMs = 250;
    const auto provider = platform::GetWirelessProvider();
    while (provider && !StopSignals::Requested()) {
        std::uint64_t ended = since;
        const DWORD waited = provider->WaitForEndedScan(adapter, since, kSliceMs, ended);
        if (waited == ERROR_SUCCESS)
            return ended;
        if (waited != ERROR_TIMEOUT)
            break;
    }
    return std::nullopt;
}

std::optional<int> ReadNetworks(const std::string& adapter, std::vector<platform::WirelessBss>& networks)
{
    const auto provider = platform::GetWirelessProvider();
    const DWORD error = provider ? provider->ReadScan(adapter, networks) : ERROR_NOT_READY;
    if (error == ERROR_ACCESS_DENIED)
        return Fail("no permission to read the networks of " + adapter);
    if (error != ERROR_SUCCESS)
        return Fail("cannot read the networks of " + adapter + ": " + ErrorText(error));
    SortStrongestFirst(networks);
    return std::nullopt;
}
