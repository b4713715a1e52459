#include "tools/tarvolin-scan/FollowMode.h"

#include "platform/devices/Ndis.h"
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
constexpr unsigned long kFirstSweepWaitMs = 30000;
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

    // Where the network is: a scan of every channel first.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFirstSweepWaitMs);
    if (const auto failed = StartScan(wifi, options.adapter))
        return *failed;
    if (const auto ended = AwaitScan(options.adapter, deadline, kFirstSweepWaitMs))
        return *ended;
    std::optional<int> failed;
    const std::optional<platform::WirelessBss> found = FindNetwork(options.adapter, options.followBssid, failed);
    if (failed)
        return *failed;
    if (!found)
        return Fail(platform::FormatMac(options.followBssid) + " was not heard in a scan of every channel on " +
                    options.adapter);
    const std::uint32_t frequency = found->frequencyMhz;
    if (frequency < kMinScanFrequencyMhz || frequency > kMaxScanFrequencyMhz)
        return Fail(platform::FormatMac(options.followBssid) + " is on " + std::to_string(frequency) +
                    " MHz, where scans of one channel cannot go");
    std::fprintf(stderr, "tarvolin-scan: following %s on %u MHz\n", platform::FormatMac(options.followBssid).c_str(),
                 static_cast<unsigned>(frequency));

    for (unsigned long scan = 0; !StopSignals::Requested();) {
        const auto start = std::chrono::steady_clock::now();
        if (const auto refused = StartScan(wifi, options.adapter, frequency))
            return *refused;
        const std::optional<int> ended =
            AwaitScan(options.adapter, start + std::chrono::milliseconds(kScanWaitMs), kScanWaitMs);
        if (StopSignals::Requested())
            break;
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
