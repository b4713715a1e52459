#include "tools/tarvolin-scan/FollowMode.h"

#include "platform/devices/WirelessBasics.h"
#include "platform/devices/WirelessProvider.h"
#include "tools/tarvolin-scan/CsvLog.h"
#include "tools/tarvolin-scan/JsonOutput.h"
#include "tools/tarvolin-scan/Scanning.h"
#include "tools/tarvolin-scan/StopSignals.h"

#include <cstdio>
#include <optional>

namespace {

// A sweep of every channel takes seconds; a scan of one channel a fraction
// of one, unless it had to go through NetworkManager, which sweeps them all.
constexpr unsigned long kSweepWaitMs = 30000;
constexpr unsigned long kScanWaitMs = 15000;

// The followed network among what the adapter holds, or nothing; failed is
// the exit status when the adapter could not be read.
std::optional<platform::WirelessBss> FindNetwork(const std::string& adapter, const std::array<std::uint8_t, 6>& mac,
                                                 std::optional<int>& failed)
{
    std::vector<platform::WirelessBss> networks;
    failed = ReadNetworks(adapter, networks);
    for (platform::WirelessBss& bss : networks) {
        if (bss.bssid == mac)
            return std::move(bss);
    }
    return std::nullopt;
}

void PrintReading(const Options& options, unsigned long scan, std::uint32_t frequency,
                  const std::optional<platform::WirelessBss>& heard, long long durationMs)
{
    const std::string time = IsoTime(std::chrono::system_clock::now());
    if (options.json) {
        nlohmann::ordered_json object;
        object["time"] = time;
        object["scan"] = scan;
        object["bssid"] = platform::FormatMac(options.followBssid);
        object["frequency_mhz"] = frequency;
        object["signal_dbm"] = heard ? nlohmann::ordered_json(heard->rssiDbm) : nlohmann::ordered_json(nullptr);
        object["duration_ms"] = durationMs;
        std::printf("%s\n", JsonLine(object).c_str());
        return;
    }
    const std::string signal = heard ? std::to_string(heard->rssiDbm) : "-";
    std::printf("%s\t%s\t%lld\n", time.c_str(), signal.c_str(), durationMs);
}

}  // namespace

int RunFollow(CWifiTarv& wifi, const Options& options)
{
    StopSignals::Catch();
    const std::string mac = platform::FormatMac(options.followBssid);

    // Where the network is: where the adapter last heard it, when it still
    // holds it, so that following starts at once; otherwise a sweep of every
    // channel finds it.
    std::optional<int> failed;
    std::optional<platform::WirelessBss> found = FindNetwork(options.adapter, options.followBssid, failed);
    if (failed)
        return *failed;
    if (!found) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSweepWaitMs);
        if (const auto ended =
                TellOutcome(RequestScan(wifi, options.adapter, 0, deadline), options.adapter, kSweepWaitMs))
            return *ended;
        found = FindNetwork(options.adapter, options.followBssid, failed);
        if (failed)
            return *failed;
        if (!found)
            return Fail(mac + " was not heard in a scan of every channel on " + options.adapter);
    }
    const std::uint32_t frequency = found->frequencyMhz;
    std::fprintf(stderr, "tarvolin-scan: following %s on %u MHz\n", mac.c_str(), static_cast<unsigned>(frequency));

    // Scans of its channel alone, until the adapter refuses one (a channel a
    // scan of one channel cannot visit, a helper that does not know it):
    // sweeps of every channel visit it too, only more slowly.
    bool limited = true;
    for (unsigned long scan = 0; !StopSignals::Requested();) {
        const auto start = std::chrono::steady_clock::now();
        const unsigned long capMs = limited ? kScanWaitMs : kSweepWaitMs;
        const ScanOutcome outcome =
            RequestScan(wifi, options.adapter, limited ? frequency : 0, start + std::chrono::milliseconds(capMs));
        if (StopSignals::Requested())
            break;
        if (limited &&
            (outcome.kind == ScanOutcome::Kind::NotPermitted || outcome.kind == ScanOutcome::Kind::Refused)) {
            limited = false;
            std::fprintf(stderr, "tarvolin-scan: %s; following %s with sweeps of every channel\n",
                         outcome.message.c_str(), mac.c_str());
            continue;
        }
        const std::optional<int> ended = TellOutcome(outcome, options.adapter, capMs);
        if (ended == kTimedOut)
            continue;  // said so; the next request may fare better
        if (ended)
            return *ended;
        const long long durationMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        const std::optional<platform::WirelessBss> heard = FindNetwork(options.adapter, options.followBssid, failed);
        if (failed)
            return *failed;
        PrintReading(options, scan, frequency, heard, durationMs);
        if (std::fflush(stdout) != 0)
            return Fail("cannot write the output");
        ++scan;
        if (options.count && scan == *options.count)
            break;
    }
    return 0;
}
