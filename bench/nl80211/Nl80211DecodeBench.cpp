// Decoding a whole scan dump: N NL80211_CMD_NEW_SCAN_RESULTS messages, each
// with the elements a real access point sends, into WirelessBss records.
#include "platform/devices/nl80211/BssDecoder.h"

#include "NetlinkBuilder.h"

#include <benchmark/benchmark.h>

using namespace nltest;

namespace {

// A BSS with a beacon-sized element list (about 300 bytes, the SSID first as
// real beacons have it, then rates, RSN, HT and vendor elements).
Bytes RealisticBss(int number)
{
    Bytes elements = Join({Element(0, Text("Network-" + std::to_string(number))),
                           Element(1, {0x82, 0x84, 0x8b, 0x96, 0x0c, 0x12, 0x18, 0x24}), Element(3, {6}),
                           Element(48, Bytes(20, 0x01)), Element(45, Bytes(26, 0x02)), Element(61, Bytes(22, 0x03)),
                           Element(221, Bytes(60, 0x04)), Element(221, Bytes(90, 0x05)), Element(127, Bytes(8, 0))});
    Bytes bss;
    Put(bss, NL80211_BSS_BSSID,
        {0x02, 0, 0, 0, static_cast<std::uint8_t>(number >> 8), static_cast<std::uint8_t>(number)});
    Put(bss, NL80211_BSS_FREQUENCY, Value<std::uint32_t>(2412 + 5 * (number % 13)));
    Put(bss, NL80211_BSS_TSF, Value<std::uint64_t>(1000000u * number));
    Put(bss, NL80211_BSS_BEACON_INTERVAL, Value<std::uint16_t>(100));
    Put(bss, NL80211_BSS_CAPABILITY, Value<std::uint16_t>(0x0431));
    Put(bss, NL80211_BSS_SIGNAL_MBM, Value<std::int32_t>(-4000 - 100 * (number % 50)));
    Put(bss, NL80211_BSS_SEEN_MS_AGO, Value<std::uint32_t>(120));
    Put(bss, NL80211_BSS_INFORMATION_ELEMENTS, elements);
    Put(bss, NL80211_BSS_BEACON_IES, elements);
    return ScanResultMessage(bss);
}

void DecodeScanDump(benchmark::State& state)
{
    std::vector<Bytes> messages;
    std::size_t bytes = 0;
    for (int i = 0; i < state.range(0); ++i) {
        messages.push_back(RealisticBss(i));
        bytes += messages.back().size();
    }
    std::vector<platform::WirelessBss> networks;
    for (auto _ : state) {
        networks.clear();
        for (const Bytes& message : messages) {
            if (auto bss = platform::nl80211::DecodeScanResult(message))
                networks.push_back(std::move(*bss));
        }
        benchmark::DoNotOptimize(networks.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(DecodeScanDump)->Arg(1)->Arg(32)->Arg(128)->Arg(1024);

}  // namespace

BENCHMARK_MAIN();
