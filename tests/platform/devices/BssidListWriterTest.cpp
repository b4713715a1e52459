#include "platform/devices/BssidListWriter.h"
#include "platform/devices/Ndis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using platform::WirelessBss;
using platform::WriteBssidList;

std::vector<WirelessBss> Networks(int count)
{
    std::vector<WirelessBss> networks;
    for (int i = 0; i < count; ++i) {
        WirelessBss bss;
        bss.bssid = {0x02, 0, 0, 0, static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
        bss.ssid = {'n', static_cast<std::uint8_t>('0' + i % 10)};
        bss.rssiDbm = -40 - (i * 37) % 50;  // unsorted on purpose
        bss.frequencyMhz = i % 2 ? 5180 : 2437;
        networks.push_back(bss);
    }
    return networks;
}

// A network of Networks() is open with a 2-byte name: the fixed part, the
// beacon's fixed fields and one SSID element of 4 bytes.
constexpr std::size_t kRecord = kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs) + 4;
static_assert(kRecord == 132);

NDIS_WLAN_BSSID RecordAt(const std::vector<BYTE>& bytes, std::size_t index)
{
    NDIS_WLAN_BSSID record;
    std::memcpy(&record, bytes.data() + sizeof(ULONG) + index * kRecord, sizeof(record));
    return record;
}

TEST(BssidListWriter, WritesOnlyWholeRecordsInsideTheBuffer)
{
    const std::vector<WirelessBss> networks = Networks(100);
    std::vector<std::size_t> sizes;
    for (std::size_t size = 0; size <= 300; ++size)
        sizes.push_back(size);
    sizes.push_back(8192 - kNdisuioDataOffset);
    sizes.push_back(8192);
    for (const std::size_t size : sizes) {
        std::vector<BYTE> bytes(size + 32, 0xCD);
        std::size_t written = 1234;
        const DWORD error = WriteBssidList(networks, bytes.data(), size, written);
        for (std::size_t i = size; i < bytes.size(); ++i)
            ASSERT_EQ(bytes[i], 0xCD) << "size " << size << " byte " << i;
        if (size < sizeof(ULONG)) {
            EXPECT_EQ(error, ERROR_INSUFFICIENT_BUFFER);
            EXPECT_EQ(written, 0u);
            continue;
        }
        ASSERT_EQ(error, ERROR_SUCCESS);
        ULONG items = 0;
        std::memcpy(&items, bytes.data(), sizeof(items));
        const std::size_t fit = std::min<std::size_t>(100, (size - sizeof(ULONG)) / kRecord);
        EXPECT_EQ(items, fit) << size;
        EXPECT_EQ(written, sizeof(ULONG) + fit * kRecord) << size;
    }
}

// Records carry elements of any length up to the most one record can hold;
// each Length and IELength tells where the next record starts, and the
// elements come out byte for byte after the beacon's fixed fields.
TEST(BssidListWriter, RecordsCarryTheirElementsAndTheirLengths)
{
    std::vector<WirelessBss> networks = Networks(3);
    networks[0].elements = {0, 2, 'n', '0'};
    networks[1].elements.assign(2000, 0xAB);          // far more than any beacon: still one record
    networks[2].elements = {0, 2, 'n', '2', 221, 1};  // a damaged tail goes out as heard
    for (std::size_t i = 0; i < networks.size(); ++i)
        networks[i].rssiDbm = -40 - static_cast<int>(i);
    std::vector<BYTE> bytes(65536, 0xCD);
    std::size_t written = 0;
    ASSERT_EQ(WriteBssidList(networks, bytes.data(), bytes.size(), written), ERROR_SUCCESS);
    std::size_t offset = sizeof(ULONG);
    for (const WirelessBss& bss : networks) {
        NDIS_WLAN_BSSID_EX record;
        std::memcpy(&record, bytes.data() + offset, kBssidExFixedSize);
        const std::size_t expected = kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs) + bss.elements.size();
        EXPECT_EQ(record.IELength, sizeof(NDIS_802_11_FIXED_IEs) + bss.elements.size());
        EXPECT_EQ(record.Length, (expected + 3) / 4 * 4);
        NDIS_802_11_FIXED_IEs fixed;
        std::memcpy(&fixed, bytes.data() + offset + kBssidExFixedSize, sizeof(fixed));
        EXPECT_EQ(fixed.BeaconInterval, 100);
        EXPECT_EQ(fixed.Capabilities, 0x0001);
        EXPECT_TRUE(
            std::equal(bss.elements.begin(), bss.elements.end(),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + kBssidExFixedSize + sizeof(fixed))));
        offset += record.Length;
    }
    EXPECT_EQ(written, offset);

    // A buffer one byte short of the big record keeps only the first.
    const std::size_t firstTwo = offset - (kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs) + 8);
    std::vector<BYTE> shortBuffer(firstTwo - 1);
    ASSERT_EQ(WriteBssidList(networks, shortBuffer.data(), shortBuffer.size(), written), ERROR_SUCCESS);
    ULONG items = 0;
    std::memcpy(&items, shortBuffer.data(), sizeof(items));
    EXPECT_EQ(items, 1u);
}

TEST(BssidListWriter, StrongestFirstAndEqualSignalsKeepTheirOrder)
{
    std::vector<WirelessBss> networks = Networks(6);
    const int rssi[] = {-70, -50, -70, -90, -50, -20};
    for (std::size_t i = 0; i < networks.size(); ++i)
        networks[i].rssiDbm = rssi[i];
    std::vector<BYTE> bytes(sizeof(ULONG) + 6 * kRecord);
    std::size_t written = 0;
    ASSERT_EQ(WriteBssidList(networks, bytes.data(), bytes.size(), written), ERROR_SUCCESS);
    const int expectedOrder[] = {5, 1, 4, 0, 2, 3};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(RecordAt(bytes, i).MacAddress[5], expectedOrder[i]) << i;

    // Only the strongest are kept when the buffer is short.
    std::vector<BYTE> two(sizeof(ULONG) + 2 * kRecord + 50);
    ASSERT_EQ(WriteBssidList(networks, two.data(), two.size(), written), ERROR_SUCCESS);
    EXPECT_EQ(RecordAt(two, 0).Rssi, -20);
    EXPECT_EQ(RecordAt(two, 1).Rssi, -50);
}

TEST(BssidListWriter, FillsEveryFieldOfTheRecord)
{
    struct Case {
        std::vector<std::uint8_t> ssid;
        std::uint32_t mhz;
        bool privacy;
        std::uint32_t mode;
        ULONG networkType;
        ULONG ssidLength;
    };
    const std::vector<std::uint8_t> full(32, 'x');
    std::vector<std::uint8_t> tooLong(40, 'y');
    const Case cases[] = {
        {{'H', 'o', 'm', 'e'}, 2412, true, 1, Ndis802_11OFDM24, 4},
        {{}, 5180, false, 1, Ndis802_11OFDM5, 0},
        {full, 5955, true, 0, Ndis802_11OFDM5, 32},
        {tooLong, 2484, false, 0, Ndis802_11OFDM24, 32},
    };
    for (const Case& c : cases) {
        WirelessBss bss;
        bss.bssid = {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
        bss.ssid = c.ssid;
        bss.rssiDbm = -61;
        bss.frequencyMhz = c.mhz;
        bss.privacy = c.privacy;
        bss.infrastructureMode = c.mode;
        bss.beaconPeriod = 102;
        std::vector<BYTE> bytes(sizeof(ULONG) + 200, 0xEE);
        std::size_t written = 0;
        ASSERT_EQ(WriteBssidList({bss}, bytes.data(), bytes.size(), written), ERROR_SUCCESS);
        const NDIS_WLAN_BSSID r = RecordAt(bytes, 0);
        EXPECT_EQ(r.Length, (kBssidExFixedSize + sizeof(NDIS_802_11_FIXED_IEs) + 2 + c.ssidLength + 3) / 4 * 4);
        EXPECT_EQ(std::memcmp(r.MacAddress, bss.bssid.data(), 6), 0);
        EXPECT_EQ(r.Reserved[0] | r.Reserved[1], 0);
        EXPECT_EQ(r.Ssid.SsidLength, c.ssidLength);
        EXPECT_TRUE(std::equal(r.Ssid.Ssid, r.Ssid.Ssid + c.ssidLength, c.ssid.begin()));
        for (std::size_t i = c.ssidLength; i < 32; ++i)
            EXPECT_EQ(r.Ssid.Ssid[i], 0);
        EXPECT_EQ(r.Privacy, c.privacy ? 1u : 0u);
        EXPECT_EQ(r.Rssi, -61);
        EXPECT_EQ(r.NetworkTypeInUse, c.networkType);
        EXPECT_EQ(r.Configuration.Length, sizeof(NDIS_802_11_CONFIGURATION));
        EXPECT_EQ(r.Configuration.BeaconPeriod, 102u);
        EXPECT_EQ(r.Configuration.DSConfig, c.mhz * 1000);
        EXPECT_EQ(r.InfrastructureMode, c.mode);
        NDIS_WLAN_BSSID_EX ex;
        std::memcpy(&ex, bytes.data() + sizeof(ULONG), kBssidExFixedSize);
        for (const UCHAR rate : ex.SupportedRates)
            EXPECT_EQ(rate, 0);
    }
}

}  // namespace
