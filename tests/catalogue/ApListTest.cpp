#include "catalogue/ApList.h"

#include "platform/Testing.h"
#include "platform/media/Time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// A clock the tests move by hand, one second per step unless told otherwise.
SYSTEMTIME g_now;
void FixedClock(LPSYSTEMTIME time)
{
    *time = g_now;
}
void SetClock(int hour, int minute, int second)
{
    g_now =
        SYSTEMTIME{2024, 2, 4, 29, static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second), 250};
}
DATE ClockDate()
{
    SYSTEMTIME whole = g_now;
    double date = 0.0;
    SystemTimeToVariantTime(&whole, &date);
    return date;
}

ScanEntry Entry(BYTE last, LONG rssi, const std::u16string& ssid = u"net", ULONG mode = 1, ULONG privacy = 0,
                ULONG channel = 6)
{
    ScanEntry e{};
    const BYTE mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, last};
    std::memcpy(e.mac, mac, 6);
    std::copy_n(ssid.begin(), std::min<std::size_t>(ssid.size(), 32), e.ssid);
    e.rssi = rssi;
    e.channel = channel;
    e.infrastructureMode = mode;
    e.privacy = privacy;
    return e;
}

std::u16string Name(const ApRecord& record)
{
    const WCHAR* end = std::find(record.ssid, record.ssid + 32, u'\0');
    return std::u16string(record.ssid, end);
}

// A catalogue's owner as tests play it: filters they set between calls,
// and a list of the new networks the catalogue told of.
struct Owner {
    CApList::Filters filters{false, false};
    std::vector<ApRecord> told;

    CApList::Hooks Hooks()
    {
        CApList::Hooks hooks;
        hooks.filters = [this] { return filters; };
        hooks.newNetwork = [this](const ApRecord& record) { told.push_back(record); };
        return hooks;
    }
};

class ApListTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetClock(12, 0, 0);
        SetLocalClockSource(&FixedClock);
    }
    void TearDown() override { SetLocalClockSource(nullptr); }

    void Merge(std::vector<ScanEntry> entries) { m_list.Merge(entries.data(), static_cast<int>(entries.size())); }

    // The numbers of the displayed records, in display order.
    std::vector<LONG> Displayed(LONG* activeCount = nullptr)
    {
        LONG total = -1;
        LONG active = -1;
        m_list.BuildDisplayList(total, active);
        std::vector<LONG> numbers;
        ApRecord record{};
        for (LONG i = 0; m_list.GetDisplayed(i, record); ++i)
            numbers.push_back(record.number);
        EXPECT_EQ(total, static_cast<LONG>(numbers.size()));
        if (activeCount != nullptr)
            *activeCount = active;
        return numbers;
    }

    ApRecord ByNumber(LONG number)
    {
        ApRecord record{};
        EXPECT_TRUE(m_list.GetByNumber(number, record)) << number;
        return record;
    }

    Owner m_owner;
    CApList m_list{m_owner.Hooks()};
    // The new networks m_list told of.
    const std::vector<ApRecord>& m_told = m_owner.told;
};

TEST_F(ApListTest, FirstNetworkStartsItsHistory)
{
    const std::u16string fullName = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";  // 32 code units, no terminator
    Merge({Entry(0x01, -67, fullName, 1, 1, 11)});

    const ApRecord r = ByNumber(0);
    EXPECT_EQ(0, r.number);
    EXPECT_EQ(1, r.active);
    EXPECT_EQ(0, std::memcmp(r.mac, Entry(0x01, 0).mac, 6));
    EXPECT_EQ(fullName, std::u16string(r.ssid, 32));
    EXPECT_EQ(-67, r.rssi);
    EXPECT_EQ(-67, r.bestRssi);
    EXPECT_EQ(-67, r.worstRssi);
    EXPECT_EQ(11u, r.channel);
    EXPECT_EQ(1u, r.infrastructureMode);
    EXPECT_EQ(1u, r.privacy);
    EXPECT_EQ(ClockDate(), r.firstSeen);
    EXPECT_EQ(r.firstSeen, r.lastSeen);
}

TEST_F(ApListTest, LatestReadingsReplaceTheOldAndHistoryKeepsTheExtremes)
{
    struct Step {
        LONG rssi;
        LONG best;
        LONG worst;
    };
    const Step steps[] = {
        {-60, -60, -60}, {-70, -60, -70}, {-60, -60, -70},  // equal to best: neither changes
        {-70, -60, -70},                                    // equal to worst: neither changes
        {-45, -45, -70}, {-90, -45, -90}, {-65, -45, -90},
    };
    int second = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.rssi);
        SetClock(12, 0, second++);
        Merge({Entry(0x01, step.rssi, u"name" + std::u16string(1, static_cast<char16_t>(u'a' + second)), 1,
                     static_cast<ULONG>(second % 2), static_cast<ULONG>(second))});
        const ApRecord r = ByNumber(0);
        EXPECT_EQ(step.rssi, r.rssi);
        EXPECT_EQ(step.best, r.bestRssi);
        EXPECT_EQ(step.worst, r.worstRssi);
        EXPECT_EQ(u"name" + std::u16string(1, static_cast<char16_t>(u'a' + second)), Name(r));
        EXPECT_EQ(static_cast<ULONG>(second), r.channel);
        EXPECT_EQ(static_cast<ULONG>(second % 2), r.privacy);
        EXPECT_EQ(ClockDate(), r.lastSeen);
    }
    SetClock(12, 0, 0);
    EXPECT_EQ(ClockDate(), ByNumber(0).firstSeen);
    EXPECT_EQ(0, ByNumber(0).number);
    EXPECT_EQ(1u, m_told.size());  // only the first report was new
}

TEST_F(ApListTest, AMissingNetworkGoesInactiveAndComesBackWithItsHistory)
{
    Merge({Entry(0x01, -50), Entry(0x02, -60)});
    const ApRecord before = ByNumber(1);

    SetClock(12, 5, 0);
    Merge({Entry(0x01, -55)});
    ApRecord gone = ByNumber(1);
    EXPECT_EQ(0, gone.active);
    gone.active = 1;
    EXPECT_EQ(0, std::memcmp(&before, &gone, sizeof before)) << "values other than active changed";
    EXPECT_EQ(1, ByNumber(0).active);

    SetClock(13, 0, 0);
    Merge({Entry(0x02, -80)});
    const ApRecord back = ByNumber(1);
    EXPECT_EQ(1, back.active);
    EXPECT_EQ(1, back.number);
    EXPECT_EQ(before.firstSeen, back.firstSeen);
    EXPECT_EQ(ClockDate(), back.lastSeen);
    EXPECT_GT(back.lastSeen, before.lastSeen);
    EXPECT_EQ(-60, back.bestRssi);
    EXPECT_EQ(-80, back.worstRssi);
    EXPECT_EQ(0, ByNumber(0).active);
    EXPECT_EQ(2u, m_told.size());  // coming back is not new
}

TEST_F(ApListTest, MergingNoEntriesOnlyMarksEveryRecordInactive)
{
    // A scan that fails or hears nothing is not merged by the caller; merging
    // it anyway would mark every network inactive and change nothing else.
    Merge({Entry(0x01, -50), Entry(0x02, -60)});
    const ApRecord first = ByNumber(0);
    LONG active = -1;
    EXPECT_EQ((std::vector<LONG>{1, 0}), Displayed(&active));
    EXPECT_EQ(2, active);

    m_list.Merge(nullptr, 0);
    EXPECT_EQ((std::vector<LONG>{1, 0}), Displayed(&active));
    EXPECT_EQ(0, active);
    EXPECT_EQ(first.lastSeen, ByNumber(0).lastSeen);
    EXPECT_EQ(-50, ByNumber(0).rssi);
    EXPECT_EQ(2u, m_told.size());
}

TEST_F(ApListTest, MacsWithEqualHashesAreTwoRecords)
{
    // +1 in the fifth byte and -33 in the sixth leave h = h * 33 + byte unchanged.
    ScanEntry a = Entry(0x60, -40, u"first");
    ScanEntry b = Entry(0x60 - 33, -70, u"second");
    b.mac[4] = static_cast<BYTE>(a.mac[4] + 1);
    auto hash = [](const BYTE* mac) {
        DWORD h = 0;
        for (int i = 0; i < 6; ++i)
            h = h * 33 + mac[i];
        return h;
    };
    ASSERT_EQ(hash(a.mac), hash(b.mac));

    Merge({a, b});
    Merge({Entry(0x01, -10), b, a});
    b.rssi = -75;
    Merge({b});

    const ApRecord ra = ByNumber(0);
    const ApRecord rb = ByNumber(1);
    EXPECT_EQ(u"first", Name(ra));
    EXPECT_EQ(u"second", Name(rb));
    EXPECT_EQ(0, std::memcmp(ra.mac, a.mac, 6));
    EXPECT_EQ(0, std::memcmp(rb.mac, b.mac, 6));
    EXPECT_EQ(0, ra.active);
    EXPECT_EQ(1, rb.active);
    EXPECT_EQ(-40, ra.worstRssi);
    EXPECT_EQ(-75, rb.worstRssi);
    ApRecord none{};
    EXPECT_FALSE(m_list.GetByNumber(3, none));
}

// Which new networks are shown and which the owner is told of, by the two
// filters.
TEST_F(ApListTest, FiltersDecideWhatIsShownAndWhatTheOwnerIsToldOf)
{
    struct Case {
        const char* what;
        ULONG mode;
        ULONG privacy;
        CApList::Filters filters;
        bool shown;
    };
    const Case cases[] = {
        {"open access point", 1, 0, {true, true}, true},
        {"secured, shown", 1, 1, {false, false}, true},
        {"secured, secured hidden", 1, 1, {true, false}, false},
        {"secured by another privacy value, secured hidden", 1, 0x10, {true, false}, false},
        {"ad hoc, shown", 0, 0, {false, false}, true},
        {"ad hoc, peers hidden", 0, 0, {false, true}, false},
        {"ad hoc, secured hidden only", 0, 0, {true, false}, true},
        {"automatic mode, peers hidden", 2, 0, {false, true}, false},
        {"automatic mode, shown", 2, 0, {false, false}, true},
        {"secured ad hoc, peers hidden", 0, 1, {false, true}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Owner owner;
        owner.filters = c.filters;
        CApList list(owner.Hooks());
        const ScanEntry entry = Entry(0x07, -55, u"x", c.mode, c.privacy);
        list.Merge(&entry, 1);

        ApRecord record{};
        EXPECT_TRUE(list.GetByNumber(0, record)) << "every network is catalogued";
        LONG total = -1;
        LONG active = -1;
        list.BuildDisplayList(total, active);
        EXPECT_EQ(c.shown ? 1 : 0, total);
        EXPECT_EQ(c.shown ? 1 : 0, active);
        EXPECT_EQ(c.shown, static_cast<bool>(list.GetDisplayed(0, record)));
        ASSERT_EQ(c.shown ? 1u : 0u, owner.told.size());
        if (c.shown) {
            EXPECT_EQ(0, std::memcmp(entry.mac, owner.told[0].mac, 6));
            EXPECT_EQ(0, owner.told[0].number);
            EXPECT_EQ(1, owner.told[0].active);
        }
    }
}

// The owner's filters are asked again at every merge: what one merge is told
// of and what the list then shows follow the answer of that moment.
TEST_F(ApListTest, FiltersAreReadAfreshAtEveryMerge)
{
    const ULONG adHoc = 0;
    const ULONG secured = 1;
    struct Step {
        CApList::Filters filters;
        std::vector<ScanEntry> scan;
        std::vector<BYTE> told;       // last MAC byte of each network told of, in order
        std::vector<LONG> displayed;  // numbers, in display order
    };
    // Numbers follow the last MAC byte: 0x01 is 0, 0x02 is 1, and so on.
    const Step steps[] = {
        {{false, false},
         {Entry(0x01, -50), Entry(0x02, -50, u"s", 1, secured), Entry(0x03, -50, u"p", adHoc)},
         {0x01, 0x02, 0x03},
         {2, 1, 0}},
        {{true, false},
         {Entry(0x01, -50), Entry(0x02, -50, u"s", 1, secured), Entry(0x03, -50, u"p", adHoc),
          Entry(0x04, -50, u"s", 1, secured), Entry(0x05, -50)},
         {0x05},
         {4, 2, 0}},
        {{false, true},
         {Entry(0x04, -50, u"s", 1, secured), Entry(0x06, -50, u"p", adHoc), Entry(0x07, -50, u"s", 1, secured)},
         {0x07},
         {6, 3, 4, 1, 0}},
        {{true, true}, {Entry(0x08, -50, u"p", adHoc), Entry(0x09, -50)}, {0x09}, {8, 4, 0}},
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        m_owner.filters = step.filters;
        m_owner.told.clear();
        Merge(step.scan);
        std::vector<BYTE> told;
        for (const ApRecord& record : m_told)
            told.push_back(record.mac[5]);
        EXPECT_EQ(step.told, told);
        EXPECT_EQ(step.displayed, Displayed());
    }
}

TEST_F(ApListTest, AHiddenSecuredNetworkShowsLaterWithItsFirstSeenAndIsNeverToldOf)
{
    m_owner.filters.hideSecured = true;
    Merge({Entry(0x01, -50, u"open"), Entry(0x02, -60, u"locked", 1, 1)});
    const DATE created = ClockDate();
    EXPECT_EQ(1u, m_told.size());
    EXPECT_EQ((std::vector<LONG>{0}), Displayed());

    m_owner.filters.hideSecured = false;
    SetClock(12, 30, 0);
    EXPECT_EQ((std::vector<LONG>{1, 0}), Displayed());  // read afresh, before any merge
    Merge({Entry(0x01, -50, u"open"), Entry(0x02, -60, u"locked", 1, 1)});
    EXPECT_EQ(1u, m_told.size());
    EXPECT_EQ(created, ByNumber(1).firstSeen);
    EXPECT_EQ(ClockDate(), ByNumber(1).lastSeen);
}

// What the last scan heard, whatever the filters hide: the records of the
// latest merge across every number bucket, and no others.
TEST_F(ApListTest, ActiveRecordsAreTheLastScansWhateverIsHidden)
{
    EXPECT_TRUE(m_list.ActiveRecords().empty());
    m_owner.filters.hideSecured = true;
    m_owner.filters.hidePeers = true;
    std::vector<ScanEntry> first;
    for (BYTE i = 0; i < 40; ++i)
        first.push_back(Entry(i, -50, u"net", i % 3 == 1 ? 0 : 1, i % 2));
    Merge(first);
    Merge({first[0], first[1], first[33], first[38]});
    std::vector<LONG> numbers;
    for (const ApRecord& record : m_list.ActiveRecords())
        numbers.push_back(record.number);
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, (std::vector<LONG>{0, 1, 33, 38}));
}

TEST_F(ApListTest, DisplayOrderFollowsTheNumberBuckets)
{
    std::vector<ScanEntry> twenty;
    for (BYTE i = 0; i < 20; ++i)
        twenty.push_back(Entry(i, -50));
    Merge(twenty);
    LONG active = -1;
    EXPECT_EQ((std::vector<LONG>{15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 19, 18, 17, 16}),
              Displayed(&active));
    EXPECT_EQ(20, active);

    // Active records come first, each group in the same bucket order.
    Merge({Entry(3, -50), Entry(17, -50), Entry(19, -50)});
    EXPECT_EQ((std::vector<LONG>{3, 19, 17, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 2, 1, 0, 18, 16}),
              Displayed(&active));
    EXPECT_EQ(3, active);
}

TEST_F(ApListTest, NumbersFindTheirRecordsPastTheBucketWrap)
{
    // 17 buckets of 16 numbers: number 272 shares bucket 0 with 0 to 15.
    std::vector<ScanEntry> many;
    for (int i = 0; i < 300; ++i) {
        ScanEntry e = Entry(static_cast<BYTE>(i), -50 - i % 40);
        e.mac[4] = static_cast<BYTE>(i >> 8);
        many.push_back(e);
    }
    Merge(many);
    for (int n : {0, 15, 16, 271, 272, 287, 288, 299}) {
        const ApRecord r = ByNumber(n);
        EXPECT_EQ(n, r.number);
        EXPECT_EQ(static_cast<BYTE>(n), r.mac[5]);
        EXPECT_EQ(-50 - n % 40, r.rssi);
    }
    const std::vector<LONG> order = Displayed();
    ASSERT_EQ(300u, order.size());
    // Bucket 0 holds 287..272 in front of 15..0; bucket 1 holds 299..288 in front of 31..16.
    const std::pair<std::size_t, LONG> expected[] = {{0, 287},  {15, 272}, {16, 15}, {31, 0},
                                                     {32, 299}, {43, 288}, {44, 31}, {299, 256}};
    for (const auto& [position, number] : expected)
        EXPECT_EQ(number, order[position]) << "position " << position;
}

TEST_F(ApListTest, OutOfRangeRequestsLeaveTheCallersRecord)
{
    Merge({Entry(0x01, -50), Entry(0x02, -60)});
    Displayed();
    ApRecord marker{};
    marker.number = 4242;
    marker.rssi = 7;
    ApRecord record = marker;
    EXPECT_FALSE(m_list.GetDisplayed(-1, record));
    EXPECT_FALSE(m_list.GetDisplayed(2, record));
    EXPECT_FALSE(m_list.GetDisplayed(0x7FFFFFFF, record));
    EXPECT_FALSE(m_list.GetByNumber(2, record));
    EXPECT_FALSE(m_list.GetByNumber(-1, record));
    EXPECT_FALSE(m_list.GetByNumber(-16 * 17, record));
    EXPECT_EQ(0, std::memcmp(&marker, &record, sizeof record));
    EXPECT_TRUE(m_list.GetDisplayed(1, record));
    EXPECT_EQ(0, record.number);
}

TEST_F(ApListTest, ClearEmptiesEverythingAndNumberingRestarts)
{
    ApRecord record{};
    LONG total = -1;
    LONG active = -1;
    // Before anything is merged, and after a clear, the catalogue is empty.
    m_list.BuildDisplayList(total, active);
    EXPECT_EQ(0, total);
    EXPECT_FALSE(m_list.GetDisplayed(0, record));
    EXPECT_FALSE(m_list.GetByNumber(0, record));

    Merge({Entry(0x01, -50), Entry(0x02, -60), Entry(0x03, -70)});
    Displayed();
    m_list.Clear();
    EXPECT_FALSE(m_list.GetDisplayed(0, record)) << "display list emptied";
    EXPECT_FALSE(m_list.GetByNumber(0, record));
    m_list.BuildDisplayList(total, active);
    EXPECT_EQ(0, total);
    EXPECT_EQ(0, active);

    m_owner.told.clear();
    Merge({Entry(0x03, -70)});
    const ApRecord r = ByNumber(0);
    EXPECT_EQ(0x03, r.mac[5]);
    EXPECT_EQ(1u, m_told.size()) << "a network heard before the clear is new again";
    EXPECT_FALSE(m_list.GetByNumber(1, record));
}

TEST_F(ApListTest, AMacTwiceInOneScanIsOneRecordAndToldOfOnce)
{
    Merge({Entry(0x05, -60, u"one"), Entry(0x05, -40, u"two", 1, 0, 1)});
    const ApRecord r = ByNumber(0);
    EXPECT_EQ(u"two", Name(r));
    EXPECT_EQ(-40, r.rssi);
    EXPECT_EQ(-40, r.bestRssi);
    EXPECT_EQ(-60, r.worstRssi);
    EXPECT_EQ(1u, r.channel);
    ApRecord none{};
    EXPECT_FALSE(m_list.GetByNumber(1, none));
    EXPECT_EQ(1u, m_told.size());
}

TEST_F(ApListTest, EachNewShownNetworkInAMergeIsToldOfOnceAsCatalogued)
{
    m_owner.filters.hidePeers = true;
    Merge({Entry(0x01, -50), Entry(0x02, -50, u"peer", 0), Entry(0x03, -50), Entry(0x01, -50), Entry(0x04, -50)});
    ASSERT_EQ(3u, m_told.size());
    const std::pair<BYTE, LONG> expected[] = {{0x01, 0}, {0x03, 2}, {0x04, 3}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(expected[i].first, m_told[i].mac[5]);
        EXPECT_EQ(expected[i].second, m_told[i].number);
        EXPECT_EQ(ClockDate(), m_told[i].firstSeen);
    }
}

// A catalogue whose allocations fail at chosen calls.
class ScarceApList : public CApList {
public:
    explicit ScarceApList(Hooks hooks) : CApList(std::move(hooks)) { }

    std::vector<int> failAt;  // 0-based allocation calls that fail
    int calls = 0;

protected:
    Node* AllocateNode() override
    {
        const int call = calls++;
        if (std::find(failAt.begin(), failAt.end(), call) != failAt.end())
            return nullptr;
        return CApList::AllocateNode();
    }
};

TEST_F(ApListTest, ARecordThatCannotBeAllocatedSkipsOnlyItsEntry)
{
    ScarceApList list(m_owner.Hooks());
    list.failAt = {1};
    const std::vector<ScanEntry> scan = {Entry(0x01, -50), Entry(0x02, -60), Entry(0x03, -70)};
    list.Merge(scan.data(), 3);
    EXPECT_EQ(2u, m_told.size()) << "nobody is told of the skipped network";

    ApRecord r{};
    ASSERT_TRUE(list.GetByNumber(0, r));
    EXPECT_EQ(0x01, r.mac[5]);
    ASSERT_TRUE(list.GetByNumber(1, r));
    EXPECT_EQ(0x03, r.mac[5]) << "numbers stay without gaps";
    EXPECT_FALSE(list.GetByNumber(2, r));

    // The next scan that reports it catalogues it.
    list.Merge(scan.data(), 3);
    ASSERT_TRUE(list.GetByNumber(2, r));
    EXPECT_EQ(0x02, r.mac[5]);
    EXPECT_EQ(-60, r.bestRssi);
    ASSERT_TRUE(list.GetByNumber(0, r));
    EXPECT_EQ(1, r.active);
    LONG total = -1;
    LONG active = -1;
    list.BuildDisplayList(total, active);
    EXPECT_EQ(3, total);
    EXPECT_EQ(3, active);
}

}  // namespace
