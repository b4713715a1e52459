#include "platform/devices/BssidListWriter.h"

#include "platform/devices/ElementWriter.h"
#include "platform/devices/Ndis.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <span>

namespace platform {

namespace {

// Bytes of one record: the fixed part, the beacon's fixed fields and the
// elements, rounded up so that the next record starts on a ULONG boundary.
std::size_t RecordSize(std::span<const std::uint8_t> elements)
{
    const std::size_t size = kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs) + elements.size();
    return (size + sizeof(ULONG) - 1) / sizeof(ULONG) * sizeof(ULONG);
}

// Writes one record at out, which has RecordSize(bss) bytes.
void WriteRecord(const WirelessBss& bss, std::span<const std::uint8_t> elements, BYTE* out)
{
    NDIS_WLAN_BSSID_EX record{};
    record.Length = static_cast<ULONG>(RecordSize(elements));
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
    record.IELength = static_cast<ULONG>(sizeof(NDIS_802_11_FIXED_IEs) + elements.size());
    std::memset(out, 0, record.Length);
    std::memcpy(out, &record, kBssidExFixedSize);

    NDIS_802_11_FIXED_IEs fixed{};
    fixed.BeaconInterval = static_cast<USHORT>(bss.beaconPeriod);
    // Capability bits: ESS (0) or IBSS (1), privacy (4).
    fixed.Capabilities = static_cast<USHORT>((bss.infrastructureMode == Ndis802_11Infrastructure ? 0x0001 : 0x0002) |
                                             (bss.privacy ? 0x0010 : 0));
    std::memcpy(out + kBssidExFixedSize, &fixed, sizeof(fixed));
    if (!elements.empty())
        std::memcpy(out + kBssidExFixedSize + sizeof(fixed), elements.data(), elements.size());
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

    // Whole records only, strongest first, until the next one does not fit.
    std::size_t offset = countSize;
    ULONG items = 0;
    std::vector<std::uint8_t> described;
    for (const std::size_t index : order) {
        // A source that hands over no elements (NetworkManager) still has
        // details; they go out as the elements that say them.
        const WirelessBss& bss = networks[index];
        std::span<const std::uint8_t> elements = bss.elements;
        if (elements.empty()) {
            described = WriteElements(bss);
            elements = described;
        }
        const std::size_t recordSize = RecordSize(elements);
        if (recordSize > size - offset)
            break;
        WriteRecord(bss, elements, data + offset);
        offset += recordSize;
        ++items;
    }
    std::memcpy(data, &items, countSize);
    written = offset;
    return ERROR_SUCCESS;
}

}  // namespace platform
