// How the engine turns the driver's NDIS records into ScanEntry records.
#include "platform/devices/Ndis.h"
#include "scan/WifiTarv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(WifiTarvConversion, RssiInTheUpperHalfIsRecovered)
{
    struct Case {
        std::uint32_t field;
        LONG rssi;
    };
    const Case cases[] = {
        {0xFFFFFFC4, -60},
        {0xFFC40000, -60},
        {0xFFFFFF00, -256},
        {0, 0},
        {0xFF800000, -128},
        {0xFFC40001, static_cast<LONG>(0xFFC40001)},
        {0xFEC40000, static_cast<LONG>(0xFEC40000)},
        {0x00000040, 64},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CWifiTarv::RssiFromField(static_cast<LONG>(c.field)), c.rssi) << std::hex << c.field;
}

TEST(WifiTarvConversion, ChannelFollowsEightOTwoElevenNumbering)
{
    struct Case {
        ULONG dsConfig;
        ULONG channel;
    };
    const Case cases[] = {
        {0, 0},         {6, 6},          {14, 14},      {15, 0},        {2407000, 0},   {2412000, 1},   {2437000, 6},
        {2472000, 13},  {2484000, 14},   {2500000, 0},  {4920000, 184}, {4940000, 188}, {5000000, 0},   {5180000, 36},
        {5825000, 165}, {5920000, 184},  {5925000, 0},  {5955000, 1},   {6115000, 33},  {7115000, 233}, {7120000, 0},
        {2412999, 1},   {0xFFFFFFFF, 0}, {900000, 0},   {5935000, 2},   {5930000, 0},   {5940000, 0},   {58320000, 1},
        {60480000, 2},  {69120000, 6},   {58000000, 0}, {71000000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CWifiTarv::ChannelFromDSConfig(c.dsConfig), c.channel) << c.dsConfig;
}

NDIS_WLAN_BSSID RecordWithSsid(const std::string& bytes, ULONG length)
{
    NDIS_WLAN_BSSID record{};
    record.Length = sizeof(record);
    std::memcpy(record.Ssid.Ssid, bytes.data(), std::min<std::size_t>(bytes.size(), 32));
    record.Ssid.SsidLength = length;
    return record;
}

TEST(WifiTarvConversion, SsidBytesConvertAsUtf8)
{
    struct Case {
        const char* what;
        std::string bytes;
        ULONG length;
        std::u16string ssid;
    };
    using namespace std::string_literals;
    const std::string full32 = "0123456789abcdef0123456789ABCDEF";
    const Case cases[] = {
        {"plain", "Home", 4, u"Home"},
        {"length cuts the name", "HomeNet", 4, u"Home"},
        {"hidden: length 0 and zeros", std::string(32, '\0'), 0, u""},
        {"length 0 with bytes reads them all", "Hidden", 0, u"Hidden"},
        {"accented", "Caf\xc3\xa9", 5, u"Café"},
        {"cyrillic", "\xd0\x9a\xd0\xb0\xd1\x84\xd0\xb5", 8, u"Кафе"},
        {"outside the BMP", "a\xf0\x9f\xa6\xb7", 5, u"a\U0001F9B7"},
        {"invalid byte", "Net\xffwork", 8, u"Net\uFFFDwork"},
        {"cut inside a sequence", "Caf\xc3\xa9", 4, u"Caf\uFFFD"},
        {"embedded zero stops it", "ab\0cd"s, 5, u"ab"},
        {"length above 32 reads 32", full32, 200, u"0123456789abcdef0123456789ABCDEF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScanEntry entry;
        std::memset(&entry, 0x5A, sizeof(entry));
        CWifiTarv::ConvertBssid(RecordWithSsid(c.bytes, c.length), entry);
        std::size_t n = 0;
        while (n < 32 && entry.ssid[n] != 0)
            ++n;
        EXPECT_EQ(std::u16string(entry.ssid, n), c.ssid);
        for (std::size_t i = n; i < 32; ++i)
            EXPECT_EQ(entry.ssid[i], 0) << i;
    }
}

TEST(WifiTarvConversion, ThirtyTwoByteNameFillsTheFieldWithoutTerminator)
{
    const std::string full32 = "TheQuickBrownFoxJumpsOverTheLazy";
    ScanEntry entry;
    CWifiTarv::ConvertBssid(RecordWithSsid(full32, 32), entry);
    EXPECT_EQ(std::u16string(entry.ssid, 32), u"TheQuickBrownFoxJumpsOverTheLazy");
}

TEST(WifiTarvConversion, OtherFieldsAreCopied)
{
    NDIS_WLAN_BSSID record = RecordWithSsid("x", 1);
    const UCHAR mac[6] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0xfe};
    std::memcpy(record.MacAddress, mac, 6);
    record.Privacy = 7;
    record.InfrastructureMode = 2;
    record.Rssi = -71;
    record.Configuration.DSConfig = 5500000;
    ScanEntry entry;
    CWifiTarv::ConvertBssid(record, entry);
    EXPECT_EQ(std::memcmp(entry.mac, mac, 6), 0);
    EXPECT_EQ(entry.privacy, 7u);
    EXPECT_EQ(entry.infrastructureMode, 2u);
    EXPECT_EQ(entry.rssi, -71);
    EXPECT_EQ(entry.channel, 100u);
}

// Builds the data part of a BSSID list reply byte by byte.
class ListBuilder {
public:
    explicit ListBuilder(ULONG items) { Put(items); }
    // A record claiming length bytes; it takes up that many in the list, or
    // just its fixed part when the length is shorter or is a lie (lie set).
    ListBuilder& Record(ULONG length, UCHAR lastMacByte, bool lie = false)
    {
        NDIS_WLAN_BSSID record{};
        record.Length = length;
        record.MacAddress[5] = lastMacByte;
        record.Ssid.SsidLength = 1;
        record.Ssid.Ssid[0] = 'a';
        const std::size_t at = bytes.size();
        const std::size_t taken = lie || length < sizeof(record) ? sizeof(record) : length;
        bytes.resize(at + taken);
        std::memcpy(bytes.data() + at, &record, sizeof(record));
        return *this;
    }
    std::vector<BYTE> bytes;

private:
    void Put(ULONG value)
    {
        bytes.resize(bytes.size() + sizeof(value));
        std::memcpy(bytes.data() + bytes.size() - sizeof(value), &value, sizeof(value));
    }
};

TEST(WifiTarvConversion, ListWalkStopsAtCountCapacityOrABadRecord)
{
    constexpr ULONG kFixed = sizeof(NDIS_WLAN_BSSID);
    struct Case {
        const char* what;
        std::vector<BYTE> list;
        std::size_t size;  // bytes the walk may use; 0 means the whole list
        DWORD capacity;
        DWORD count;
    };
    const Case cases[] = {
        {"no items", ListBuilder(0).Record(kFixed, 1).bytes, 0, 128, 0},
        {"three items", ListBuilder(3).Record(kFixed, 1).Record(kFixed, 2).Record(kFixed, 3).bytes, 0, 128, 3},
        {"count below records", ListBuilder(2).Record(kFixed, 1).Record(kFixed, 2).Record(kFixed, 3).bytes, 0, 128, 2},
        {"capacity below count", ListBuilder(3).Record(kFixed, 1).Record(kFixed, 2).Record(kFixed, 3).bytes, 0, 2, 2},
        {"zero capacity", ListBuilder(3).Record(kFixed, 1).bytes, 0, 0, 0},
        {"count claims more than there is", ListBuilder(1000).Record(kFixed, 1).Record(kFixed, 2).bytes, 0, 128, 2},
        {"longer records with elements", ListBuilder(2).Record(kFixed + 40, 1).Record(kFixed + 3, 2).bytes, 0, 128, 2},
        {"length shorter than a record", ListBuilder(2).Record(kFixed, 1).Record(kFixed - 1, 2).bytes, 0, 128, 1},
        {"length zero", ListBuilder(2).Record(0, 1).bytes, 0, 128, 0},
        {"length past the end", ListBuilder(2).Record(kFixed, 1).Record(kFixed + 1, 2, true).bytes, 0, 128, 1},
        {"length huge", ListBuilder(1).Record(0xFFFFFFFF, 1, true).bytes, 0, 128, 0},
        {"record cut by the end", ListBuilder(1).Record(kFixed, 1).bytes, 4 + kFixed - 1, 128, 0},
        {"no room for the count", ListBuilder(1).Record(kFixed, 1).bytes, 3, 128, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t size = c.size != 0 ? c.size : c.list.size();
        // The list sits in its own allocation so that ASan sees any read past it.
        std::vector<BYTE> list(c.list.begin(), c.list.begin() + std::min(size, c.list.size()));
        std::vector<ScanEntry> entries(c.capacity + 1);
        std::memset(entries.data(), 0x5A, entries.size() * sizeof(ScanEntry));
        const DWORD count = CWifiTarv::ConvertBssidList(list.data(), list.size(), entries.data(), c.capacity);
        EXPECT_EQ(count, c.count);
        for (DWORD i = 0; i < count; ++i)
            EXPECT_EQ(entries[i].mac[5], i + 1);
        EXPECT_EQ(entries[c.capacity].mac[0], 0x5A);  // one past capacity is untouched
    }
}

TEST(WifiTarvConversion, FullReplyHoldsSeventyEightRecords)
{
    ListBuilder builder(100);
    for (int i = 0; i < 100; ++i)
        builder.Record(sizeof(NDIS_WLAN_BSSID), static_cast<UCHAR>(i + 1));
    std::vector<BYTE> list(builder.bytes.begin(),
                           builder.bytes.begin() + (CWifiTarv::kBssidListBufferSize - kNdisuioDataOffset));
    std::vector<ScanEntry> entries(128);
    EXPECT_EQ(CWifiTarv::ConvertBssidList(list.data(), list.size(), entries.data(), 128), 78u);
}

TEST(WifiTarvConversion, RandomRepliesStayInsideTheirBuffers)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 2000; ++round) {
        const std::size_t size = random() % 1200;
        std::vector<BYTE> list(size);
        for (BYTE& b : list)
            b = static_cast<BYTE>(random());
        // Plausible counts and lengths now and then, to reach deeper records.
        if (size >= 8 && round % 2 == 0) {
            const ULONG items = random() % 12;
            std::memcpy(list.data(), &items, sizeof(items));
            const ULONG length = sizeof(NDIS_WLAN_BSSID) + random() % 16;
            std::memcpy(list.data() + 4, &length, sizeof(length));
        }
        const DWORD capacity = random() % 10;
        std::vector<ScanEntry> entries(capacity);
        const DWORD count = CWifiTarv::ConvertBssidList(list.data(), list.size(), entries.data(), capacity);
        ASSERT_LE(count, capacity);
        ASSERT_LE(count * sizeof(NDIS_WLAN_BSSID), size);
    }
}

}  // namespace
