// Decoding one BSS's information elements into security, WPS and width, and
// looking up an access point's maker in Debian's IEEE registry.
#include "platform/devices/OuiRegistry.h"
#include "platform/devices/nl80211/InformationElements.h"

#include "NetlinkBuilder.h"

#include <benchmark/benchmark.h>

using namespace nltest;

namespace {

// The probe response of hostapd's WPA2/WPA3 transition access point with WPS
// in the test machine
// (tests/platform/devices/nl80211/kernel/hostapd-mixed.conf), 109 bytes.
const Bytes kMixed =
    Hex("000d546172766f6c696e4d69786564010882848b960c1218240301060504010200002a010432043048606c3018010000"
        "0fac040100000fac040200000fac02000fac0880003b0251007f080400400200000040dd180050f204104a0001101044"
        "0001021049000600372a000120");

void DecodeOneBss(benchmark::State& state)
{
    for (auto _ : state) {
        auto decoded = platform::nl80211::DecodeElements(kMixed, true);
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMixed.size()));
}
BENCHMARK(DecodeOneBss);

void OuiLookup(benchmark::State& state)
{
    const platform::OuiRegistry& registry = platform::OuiRegistry::System();
    if (registry.Size() == 0) {
        state.SkipWithError("no IEEE registry (install ieee-data)");
        return;
    }
    std::array<std::uint8_t, 6> mac{0x3c, 0xa6, 0x2f, 0x10, 0x22, 0x31};
    std::uint8_t turn = 0;
    for (auto _ : state) {
        // Walk through assigned and unassigned OUIs alike.
        mac[2] = ++turn;
        benchmark::DoNotOptimize(registry.Find(mac));
    }
}
BENCHMARK(OuiLookup);

void OuiRegistryLoad(benchmark::State& state)
{
    for (auto _ : state) {
        auto registry = platform::OuiRegistry::FromFile(platform::OuiRegistry::kSystemPath);
        benchmark::DoNotOptimize(registry.Size());
    }
}
BENCHMARK(OuiRegistryLoad)->Unit(benchmark::kMillisecond);

}  // namespace
