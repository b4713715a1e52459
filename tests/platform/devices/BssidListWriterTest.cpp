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

NDIS_WLAN_BSSID RecordAt(const std::vector<BYTE>& bytes, std::size_t index)
{
    NDIS_WLAN_BSSID record;
    std::memcpy(&record, bytes.data() + sizeof(ULONG) + index * sizeof(record), sizeof(record));
    return record;
}

TEST(BssidListWriter, WritesOnlyWholeRecordsInsideTheBuffer)
{
    const std::vector<WirelessBss> networks = Networks(100);
    std::vector<std::size_t> sizes;
    for (std::size_t size = 0; size <= 200; ++size)
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
        const std::size_t fit = std::min<std::size_t>(100, (size - sizeof(ULONG)) / sizeof(NDIS_WLAN_BSSID));
        EXPECT_EQ(items, fit) << size;
        EXPECT_EQ(written, sizeof(ULONG) + fit * sizeof(NDIS_WLAN_BSSID)) << size;
    }
}

TEST(BssidListWriter, EightKilobytesHoldSeventyEightRecords)
{
    std::vector<BYTE> bytes(8192 - kNdisuioDataOffset);
    std::size_t written = 0;
    ASSERT_EQ(WriteBssidList(Networks(100), bytes.data(), bytes.size(), written), ERROR_SUCCESS);
    ULONG items = 0;
    std::memcpy(&items, bytes.data(), sizeof(items));
    EXPECT_EQ(items, 78u);
}

TEST(BssidListWriter, StrongestFirstAndEqualSignalsKeepTheirOrder)
{
    std::vector<WirelessBss> networks = Networks(6);
    const int rssi[] = {-70, -50, -70, -90, -50, -20};
    for (std::size_t i = 0; i < networks.size(); ++i)
        networks[i].rssiDbm = rssi[i];
    std::vector<BYTE> bytes(sizeof(ULONG) + 6 * sizeof(NDIS_WLAN_BSSID));
    std::size_t written = 0;
    ASSERT_EQ(WriteBssidList(networks, bytes.data(), bytes.size(), written), ERROR_SUCCESS);
    const int expectedOrder[] = {5, 1, 4, 0, 2, 3};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(RecordAt(bytes, i).MacAddress[5], expectedOrder[i]) << i;

    // Only the strongest are kept when the buffer is short.
    std::vector<BYTE> two(sizeof(ULONG) + 2 * sizeof(NDIS_WLAN_BSSID) + 50);
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
        std::vector<BYTE> bytes(sizeof(ULONG) + sizeof(NDIS_WLAN_BSSID), 0xEE);
        std::size_t written = 0;
        ASSERT_EQ(WriteBssidList({bss}, bytes.data(), bytes.size(), written), ERROR_SUCCESS);
        const NDIS_WLAN_BSSID r = RecordAt(bytes, 0);
        EXPECT_EQ(r.Length, sizeof(NDIS_WLAN_BSSID));
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
        for (const UCHAR rate : r.SupportedRates)
            EXPECT_EQ(rate, 0);
    }
}

}  // namespace
