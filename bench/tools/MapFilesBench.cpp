// What a placed scan costs tarvolin-scan's map files: the WiGLE rows of one
// scan, and the whole KML document rebuilt after it, for walks that have met
// few and many networks.
#include "tools/tarvolin-scan/KmlMap.h"
#include "tools/tarvolin-scan/WigleLog.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

std::vector<NetworkView> Networks(int count)
{
    std::vector<NetworkView> networks;
    for (int i = 0; i < count; ++i) {
        NetworkView n;
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "02:00:00:00:%02x:%02x", i >> 8 & 0xff, i & 0xff);
        n.bssid = bssid;
        n.ssidBytes = "Network <" + std::to_string(i) + "> & \"friends\"";
        n.frequencyMhz = 2437;
        n.channel = 6;
        n.signalDbm = -40 - i % 50;
        n.mode = "ap";
        n.details.security = i % 3 == 0 ? platform::Security::Open : platform::Security::Wpa2;
        n.vendor = "AVM Audiovisuelles Marketing und Computersysteme GmbH";
        networks.push_back(n);
    }
    return networks;
}

GpsFix Fix()
{
    GpsFix fix;
    fix.latitude = 52.52;
    fix.longitude = 13.405;
    fix.altitudeM = 74.5;
    fix.accuracyM = 17.1;
    fix.mode = 3;
    return fix;
}

// The rows of one scan of this many networks.
void WigleRowsOfAScan(benchmark::State& state)
{
    const std::vector<NetworkView> scan = Networks(static_cast<int>(state.range(0)));
    const GpsFix fix = Fix();
    const auto now = std::chrono::system_clock::now();
    for (auto _ : state) {
        std::string rows;
        for (const NetworkView& network : scan)
            rows += WigleLog::Row(network, fix, now);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(WigleRowsOfAScan)->Arg(30)->Arg(100);

// A scan of 30 networks taken into a map that holds this many, and the
// document rebuilt, as after every placed scan.
void KmlAfterAScan(benchmark::State& state)
{
    KmlMap map("/dev/null");
    map.Take(Networks(static_cast<int>(state.range(0))), Fix(), std::chrono::system_clock::now());
    const std::vector<NetworkView> scan = Networks(30);
    for (auto _ : state) {
        map.Take(scan, Fix(), std::chrono::system_clock::now());
        benchmark::DoNotOptimize(map.Document());
    }
    state.SetLabel(std::to_string(map.Document().size() / 1024) + " KiB");
}
BENCHMARK(KmlAfterAScan)->Arg(100)->Arg(1000)->Arg(5000);

}  // namespace
