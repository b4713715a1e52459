// Reading a full BSSID list: 100 networks heard, of which 78 fill the 8192-byte reply.
#include "platform/devices/Ndis.h"
#include "platform/devices/WirelessProvider.h"
#include "scan/WifiTarv.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

class CrowdedProvider final : public platform::WirelessProvider {
public:
    CrowdedProvider()
    {
        for (int i = 0; i < 100; ++i) {
            platform::WirelessBss bss;
            bss.bssid = {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(i)};
            const char name[] = "Caf\xc3\xa9-Network-Number-00";
            bss.ssid.assign(name, name + sizeof(name) - 1);
            bss.ssid.back() = static_cast<std::uint8_t>('0' + i % 10);
            bss.rssiDbm = -30 - (i * 7) % 60;
            bss.frequencyMhz = i % 3 ? 2437 : 5180;
            bss.privacy = i % 2;
            m_networks.push_back(bss);
        }
    }
    DWORD ListInterfaces(std::vector<std::string>& names) override
    {
        names = {"wlan0"};
        return ERROR_SUCCESS;
    }
    DWORD IsWireless(const std::string&, bool& wireless) override
    {
        wireless = true;
        return ERROR_SUCCESS;
    }
    DWORD TriggerScan(const std::string&) override { return ERROR_SUCCESS; }
    DWORD ReadScan(const std::string&, std::vector<platform::WirelessBss>& networks) override
    {
        networks = m_networks;
        return ERROR_SUCCESS;
    }

private:
    std::vector<platform::WirelessBss> m_networks;
};

// The whole request: device layer, record writer and conversion.
void BM_GetBSSIDsFullReply(benchmark::State& state)
{
    platform::SetWirelessProvider(std::make_shared<CrowdedProvider>());
    CWifiTarv wifi;
    ScanEntry entries[128];
    DWORD count = 0;
    for (auto _ : state) {
        wifi.GetBSSIDs(u"wlan0", entries, 128, &count);
        benchmark::DoNotOptimize(entries);
    }
    if (count != 78)
        state.SkipWithError("expected 78 records");
    state.SetItemsProcessed(state.iterations() * count);
    platform::SetWirelessProvider(nullptr);
}
BENCHMARK(BM_GetBSSIDsFullReply);

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
