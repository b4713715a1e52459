#include "tools/tarvolin-scan/WatchMode.h"

#include "platform/devices/OuiRegistry.h"
#include "tools/tarvolin-scan/CsvLog.h"
#include "tools/tarvolin-scan/JsonOutput.h"
#include "tools/tarvolin-scan/NetworkView.h"
#include "tools/tarvolin-scan/Scanning.h"
#include "tools/tarvolin-scan/StopSignals.h"
#include "tools/tarvolin-scan/WalkRecorder.h"
#include "tools/tarvolin-scan/WatchTracker.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

// Scans start at this pace unless --interval says otherwise.
constexpr std::chrono::milliseconds kDefaultInterval{2000};
// A sweep of every channel of every band takes a few seconds on real radios;
// a watch waits this long at most for the one it asked for.
constexpr unsigned long kScanWaitMs = 30000;
// After a refused request, or while the end of a scan cannot be told, the
// watch goes on no sooner than this, whatever --interval says: it never spins.
constexpr std::chrono::milliseconds kLeastPause{1000};

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
    const std::chrono::milliseconds interval =
        options.intervalMs ? std::chrono::milliseconds(*options.intervalMs) : kDefaultInterval;
    // Each reading is what a scan heard, read as it ends: the watch asks for
    // a scan and waits for it. When it may not start scans it reads those
    // others start (NetworkManager's, wpa_supplicant's), as each ends.
    bool triggering = true;
    std::optional<std::uint64_t> othersEnded;  // scans ended by the latest reading, when reading others' scans
    std::string refusal;                       // the latest refused request, told once

    for (unsigned long scans = 0; !StopSignals::Requested();) {
        // The next round begins no sooner than the pause after this moment:
        // a request's start, or the end of someone else's scan.
        auto paceFrom = std::chrono::steady_clock::now();
        std::chrono::milliseconds pause = interval;
        if (triggering) {
            const ScanOutcome outcome =
                RequestScan(wifi, options.adapter, 0, paceFrom + std::chrono::milliseconds(kScanWaitMs));
            if (StopSignals::Requested())
                break;
            if (outcome.kind == ScanOutcome::Kind::NotPermitted) {
                // What the adapter holds now is the latest scan someone else
                // made; the reason is told once.
                triggering = false;
                othersEnded = CountEndedScans(options.adapter);
                std::fprintf(stderr, "tarvolin-scan: watching without starting scans; %s\n", outcome.message.c_str());
            } else if (outcome.kind == ScanOutcome::Kind::Refused) {
                // Another request may fare better (an interface brought up
                // again); the same reason is told only once.
                if (outcome.message != refusal)
                    std::fprintf(stderr, "tarvolin-scan: %s; asking again\n", outcome.message.c_str());
                refusal = outcome.message;
                StopSignals::SleepFor(std::max(interval, kLeastPause));
                continue;
            } else {
                refusal.clear();
                if (TellOutcome(outcome, options.adapter, kScanWaitMs))
                    continue;  // no scan completed in time: said so, and nothing new to read
            }
        } else if (othersEnded) {
            othersEnded = AwaitScanByAnyone(options.adapter, *othersEnded);
            if (StopSignals::Requested())
                break;
            paceFrom = std::chrono::steady_clock::now();
        } else {
            // Nobody can tell when others' scans end: read at the interval.
            pause = std::max(interval, kLeastPause);
        }

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
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(paceFrom + pause - std::chrono::steady_clock::now());
        if (left.count() > 0)
            StopSignals::SleepFor(left);
    }
    return 0;
}
