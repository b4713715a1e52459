// Reading a full BSSID list: 100 networks heard, all in the reply, each with
// only its name element or with a whole beacon's elements (about 250 bytes:
// rates, country, RSN, HT, VHT, WMM and vendor elements) that the engine
// decodes into security and width.
#include "platform/devices/Ndis.h"
#include "platform/devices/WirelessProvider.h"
#include "scan/WifiTarv.h"
#include "tests/support/FakeProvider.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

// A typical access point's beacon elements after its name.
std::vector<std::uint8_t> BeaconElements()
{
    std::vector<std::uint8_t> e = {
        1, 8, 0x82, 0x84, 0x8b, 0x96, 0x24, 0x30, 0x48, 0x6c,  // supported rates
        3, 1, 6,                                               // DS parameter set
        5, 4, 0, 1, 0, 0,                                      // TIM
        7, 6, 'D', 'E', ' ', 1, 13, 20,                        // country
        48, 20, 1, 0, 0, 0x0F, 0xAC, 4, 1, 0, 0, 0x0F, 0xAC, 4, 1, 0, 0, 0x0F, 0xAC, 2, 0x0C, 0, 127, 8, 0, 0, 0, 0, 0,
        0, 0, 0x40,                                                                       // extended
                                                                                          // capabilities
        191, 12, 0x32, 0x00, 0x80, 0x03, 0xaa, 0xff, 0x00, 0x00, 0xaa, 0xff, 0x00, 0x00,  // VHT capabilities
        192, 5, 1, 42, 0, 0xfc, 0xff,                                                     // VHT operation
    };
    std::vector<std::uint8_t> htCapabilities = {45, 26};
    htCapabilities.resize(28, 0x11);
    std::vector<std::uint8_t> htOperation = {61, 22, 36, 0x05};
    htOperation.resize(24, 0);
    std::vector<std::uint8_t> wmm = {221, 24, 0x00, 0x50, 0xF2, 2, 1, 1, 0x80, 0};
    wmm.resize(26, 0x27);
    std::vector<std::uint8_t> vendor = {221, 30, 0x00, 0x10, 0x18, 2};
    vendor.resize(32, 0x05);
    for (const auto* part : {&htCapabilities, &htOperation, &wmm, &vendor, &vendor})
        e.insert(e.end(), part->begin(), part->end());
    return e;
}

// A radio on wlan0 that hears 100 networks.
std::shared_ptr<FakeProvider> MakeCrowdedProvider(bool beacons)
{
    auto provider = std::make_shared<FakeProvider>();
    provider->interfaces = {"wlan0"};
    provider->wireless = {{"wlan0", true}};
    for (int i = 0; i < 100; ++i) {
        platform::WirelessBss bss;
        bss.bssid = {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(i)};
        const char name[] = "Caf\xc3\xa9-Network-Number-00";
        bss.ssid.assign(name, name + sizeof(name) - 1);
        bss.ssid.back() = static_cast<std::uint8_t>('0' + i % 10);
        bss.rssiDbm = -30 - (i * 7) % 60;
        bss.frequencyMhz = i % 3 ? 2437 : 5180;
        bss.privacy = i % 2;
        bss.elements = {0, static_cast<std::uint8_t>(bss.ssid.size())};
        bss.elements.insert(bss.elements.end(), bss.ssid.begin(), bss.ssid.end());
        if (beacons) {
            const std::vector<std::uint8_t> more = BeaconElements();
            bss.elements.insert(bss.elements.end(), more.begin(), more.end());
        }
        provider->networks.push_back(bss);
    }
    return provider;
}

// The whole request: device layer, record writer, conversion and decoding.
// Argument 0: name elements only; 1: whole beacons.
void BM_GetBSSIDsFullReply(benchmark::State& state)
{
    platform::SetWirelessProvider(MakeCrowdedProvider(state.range(0) != 0));
    CWifiTarv wifi;
    ScanEntry entries[128];
    DWORD count = 0;
    for (auto _ : state) {
        wifi.GetBSSIDs(u"wlan0", entries, 128, &count);
        benchmark::DoNotOptimize(entries);
    }
    if (count != 100 || entries[0].width != (state.range(0) != 0 ? 80u : 20u))
        state.SkipWithError("expected 100 records, with their widths");
    state.SetItemsProcessed(state.iterations() * count);
    platform::SetWirelessProvider(nullptr);
}
BENCHMARK(BM_GetBSSIDsFullReply)->Arg(0)->Arg(1);

// Only the engine's walk and conversion of an already filled reply.
void BM_ConvertFullReply(benchmark::State& state)
{
    std::vector<BYTE> list(CWifiTarv::kBssidListBufferSize - kNdisuioDataOffset);
    const ULONG items = 78;
    std::memcpy(list.data(), &items, sizeof(items));
    for (ULONG i = 0; i < items; ++i) {
        NDIS_WLAN_BSSID record{};
        record.Length = sizeof(record);
        record.Ssid.SsidLength = 20;
        std::memcpy(record.Ssid.Ssid, "Caf\xc3\xa9-Network-Numbe", 20);
        record.Rssi = -50;
        record.Configuration.DSConfig = 2437000;
        std::memcpy(list.data() + sizeof(items) + i * sizeof(record), &record, sizeof(record));
    }
    ScanEntry entries[128];
    DWORD count = 0;
    for (auto _ : state) {
        count = CWifiTarv::ConvertBssidList(list.data(), list.size(), entries, 128);
        benchmark::DoNotOptimize(entries);
    }
    if (count != 78)
        state.SkipWithError("expected 78 records");
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ConvertFullReply);

}  // namespace
