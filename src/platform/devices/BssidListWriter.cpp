#include "platform/devices/BssidListWriter.h"

#include "platform/devices/Ndis.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace platform {

namespace {

NDIS_WLAN_BSSID MakeRecord(const WirelessBss& bss)
{
    NDIS_WLAN_BSSID record{};
    record.Length = sizeof(NDIS_WLAN_BSSID);
    std::copy(bss.bssid.begin(), bss.bssid.end(), record.MacAddress);
    const std::size_t ssidLength = std::min(bss.ssid.size(), sizeof(record.Ssid.Ssid));
    record.Ssid.SsidLength = static_cast<ULONG>(ssidLength);
    std::copy_n(bss.ssid.begin(), ssidLength, record.Ssid.Ssid);
    record.Privacy = bss.privacy ? 1 : 0;
    record.Rssi = bss.rssiDbm;
    // Everything above the 2.4 GHz band is OFDM in the 5 GHz sense (5 and 6 GHz).
    record.NetworkTypeInUse = bss.frequencyMhz < 3000 ? Ndis802_11OFDM24 : Ndis802_11OFDM5;
    record.Configuration.Length = sizeof(NDIS_802_11_CONFIGURATION);
    record.Configuration.BeaconPeriod = bss.beaconPeriod;
    record.Configuration.DSConfig = bss.frequencyMhz * 1000;
    record.InfrastructureMode = bss.infrastructureMode;
    return record;
}

}  // namespace

DWORD WriteBssidList(const std::vector<WirelessBss>& networks, BYTE* data, std::size_t size, std::size_t& written)
{
    written = 0;
    constexpr std::size_t countSize = sizeof(ULONG);
    if (data == nullptr || size < countSize)
        return ERROR_INSUFFICIENT_BUFFER;

    // Sort indices rather than the networks: the provider's list stays as it is.
    std::vector<std::size_t> order(networks.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&networks](std::size_t a, std::size_t b) { return networks[a].rssiDbm > networks[b].rssiDbm; });

    const std::size_t room = (size - countSize) / sizeof(NDIS_WLAN_BSSID);
    const std::size_t count = std::min(room, order.size());
    for (std::size_t i = 0; i < count; ++i) {
        const NDIS_WLAN_BSSID record = MakeRecord(networks[order[i]]);
        std::memcpy(data + countSize + i * sizeof(NDIS_WLAN_BSSID), &record, sizeof(record));
    }
    const ULONG items = static_cast<ULONG>(count);
    std::memcpy(data, &items, countSize);
    written = countSize + count * sizeof(NDIS_WLAN_BSSID);
    return ERROR_SUCCESS;
}

}  // namespace platform
