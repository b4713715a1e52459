#include "tools/tarvolin-scan/WatchMode.h"

#include "platform/devices/OuiRegistry.h"
#include "tools/tarvolin-scan/CsvLog.h"
#include "tools/tarvolin-scan/JsonOutput.h"
#include "tools/tarvolin-scan/NetworkView.h"
#include "tools/tarvolin-scan/Scanning.h"
#include "tools/tarvolin-scan/StopSignals.h"
#include "tools/tarvolin-scan/WalkRecorder.h"
#include "tools/tarvolin-scan/WatchTracker.h"

#include <cstdio>
#include <optional>

namespace {

// Scans follow each other at this pace unless --interval says otherwise.
constexpr unsigned long kDefaultIntervalMs = 2000;

void PrintEvent(const WatchTracker::Event& event, const std::string& time, unsigned long scan, bool json)
{
    const NetworkView& n = event.network;
    if (json) {
        nlohmann::ordered_json object;
        object["time"] = time;
        object["scan"] = scan;
        object["event"] = EventName(event.kind);
        if (event.kind == WatchTracker::EventKind::Signal)
            object["previous_signal_dbm"] = event.previousSignalDbm;
        object.update(NetworkJson(n));
        std::printf("%s\n", JsonLine(object).c_str());
        return;
    }
    std::printf("%s\t%s\t%s\t%u\t%d\t%s\t%s\n", time.c_str(), EventName(event.kind), n.bssid.c_str(),
                static_cast<unsigned>(n.channel), static_cast<int>(n.signalDbm), SecurityLabel(n.details).c_str(),
                PrintableSsid(n.ssid).c_str());
}

}  // namespace

int RunWatch(CWifiTarv& wifi, const Options& options)
{
    StopSignals::Catch();
    const platform::OuiRegistry& registry = platform::OuiRegistry::System();
    WatchTracker tracker;
    std::optional<CsvLog> log;
    if (!options.logPath.empty()) {
        log.emplace(options.logPath);
        if (std::string error; !log->Open(error))
            return Fail(error);
    }
    std::optional<WalkRecorder> walk;
    if (options.gps) {
        walk.emplace(options, TARVOLIN_VERSION);
        if (std::string error; !walk->Start(error))
            return Fail(error);
    }
    bool triggering = true;

    for (unsigned long scans = 0; !StopSignals::Requested();) {
        std::vector<platform::WirelessBss> networks;
        if (const auto failed = ReadNetworks(options.adapter, networks))
            return *failed;
        const auto now = WatchTracker::Clock::now();
        std::vector<NetworkView> views;
        for (const platform::WirelessBss& bss : networks)
            views.push_back(DescribeNetwork(bss, registry));
        const std::string time = IsoTime(now);
        for (const WatchTracker::Event& event : tracker.Update(views, now))
            PrintEvent(event, time, scans, options.json);
        if (std::fflush(stdout) != 0)
            return Fail("cannot write the output");
        std::string error;
        if (log && !log->Write(tracker.Records(), error))
            return Fail(error);
        if (walk && !walk->Record(views, now, error))
            return Fail(error);

        ++scans;
        if (options.count && scans == *options.count)
            break;
        // When scans cannot be started the watch goes on with what the
        // adapter hears from scans others start; the reason is told once.
        if (triggering && StartScan(wifi, options.adapter).has_value()) {
            triggering = false;
            std::fprintf(stderr, "tarvolin-scan: watching without starting scans\n");
        }
        StopSignals::SleepFor(std::chrono::milliseconds(options.intervalMs.value_or(kDefaultIntervalMs)));
    }
    return 0;
}
