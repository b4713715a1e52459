#include "catalogue/ApList.h"

#include "platform/media/Time.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

// The local date and time now, to the second.
DATE LocalNow()
{
    SYSTEMTIME time{};
    GetLocalTime(&time);
    double date = 0.0;
    SystemTimeToVariantTime(&time, &date);
    return date;
}

// Copies the readings an entry carries into its record.
void TakeReadings(ApRecord& record, const ScanEntry& entry)
{
    record.channel = entry.channel;
    record.infrastructureMode = entry.infrastructureMode;
    record.privacy = entry.privacy;
    record.frequency = entry.frequency;
    record.width = entry.width;
    record.security = entry.security;
    record.enterprise = entry.enterprise;
    record.rssi = entry.rssi;
    std::memcpy(record.ssid, entry.ssid, sizeof record.ssid);
}

}  // namespace

CApList::CApList() : CApList(Hooks{})
{
}

CApList::CApList(Hooks hooks) : m_hooks(std::move(hooks))
{
    InitializeCriticalSection(&m_lock);
}

CApList::~CApList()
{
    DeleteCriticalSection(&m_lock);
    Clear();
}

CApList::Node* CApList::AllocateNode()
{
    return new (std::nothrow) Node;
}

DWORD CApList::HashMac(const BYTE* mac)
{
    DWORD hash = 0;
    for (int i = 0; i < 6; ++i)
        hash = hash * 33 + mac[i];
    return hash;
}

int CApList::NumberBucket(LONG number)
{
    return static_cast<int>((number / 16) % kBucketCount);
}

CApList::Node* CApList::FindByMac(const BYTE* mac, DWORD hash) const
{
    if (!m_byMac)
        return nullptr;
    for (Node* node = m_byMac[hash % kBucketCount]; node != nullptr; node = node->nextByMac) {
        if (node->macHash == hash && std::memcmp(node->record.mac, mac, 6) == 0)
            return node;
    }
    return nullptr;
}

CApList::Filters CApList::CurrentFilters() const
{
    return m_hooks.filters ? m_hooks.filters() : Filters{false, false};
}

DATE CApList::Now() const
{
    return m_hooks.now ? m_hooks.now() : LocalNow();
}

bool CApList::CreateTables()
{
    if (m_byNumber && m_byMac)
        return true;
    m_byNumber.reset(new (std::nothrow) Node* [kBucketCount] {});
    m_byMac.reset(new (std::nothrow) Node* [kBucketCount] {});
    if (m_byNumber && m_byMac)
        return true;
    // Only possible while the catalogue is empty.
    m_byNumber.reset();
    m_byMac.reset();
    return false;
}

void CApList::Merge(const ScanEntry* entries, int count, ULONG visitedFrequency)
{
    const Filters filters = CurrentFilters();
    if (entries == nullptr)
        count = 0;

    EnterCriticalSection(&m_lock);
    if (m_byNumber) {
        for (int bucket = 0; bucket < kBucketCount; ++bucket) {
            for (Node* node = m_byNumber[bucket]; node != nullptr; node = node->nextByNumber) {
                if (visitedFrequency == 0 || node->record.frequency == visitedFrequency)
                    node->record.active = 0;
            }
        }
    }

    for (int i = 0; i < count; ++i) {
        const ScanEntry& entry = entries[i];
        if (visitedFrequency != 0 && entry.frequency != visitedFrequency)
            continue;
        const DWORD hash = HashMac(entry.mac);
        if (Node* found = FindByMac(entry.mac, hash)) {
            ApRecord& record = found->record;
            record.active = 1;
            TakeReadings(record, entry);
            if (record.rssi > record.bestRssi)
                record.bestRssi = record.rssi;
            if (record.rssi < record.worstRssi)
                record.worstRssi = record.rssi;
            record.lastSeen = Now();
            continue;
        }

        // A network not heard before. Without memory for it the entry is
        // skipped; the catalogue stays as it was and the next entry goes on.
        if (!CreateTables())
            continue;
        Node* node = AllocateNode();
        if (node == nullptr)
            continue;
        ApRecord& record = node->record;
        std::memcpy(record.mac, entry.mac, sizeof record.mac);
        TakeReadings(record, entry);
        record.number = m_count;
        record.active = 1;
        record.firstSeen = record.lastSeen = Now();
        record.bestRssi = record.worstRssi = record.rssi;

        node->macHash = hash;
        Node*& macBucket = m_byMac[hash % kBucketCount];
        node->nextByMac = macBucket;
        macBucket = node;
        Node*& numberBucket = m_byNumber[NumberBucket(record.number)];
        node->nextByNumber = numberBucket;
        numberBucket = node;
        ++m_count;

        if (m_hooks.newNetwork && !filters.Hides(record.privacy, record.infrastructureMode))
            m_hooks.newNetwork(record);
    }
    LeaveCriticalSection(&m_lock);
}

void CApList::Clear()
{
    if (m_byNumber) {
        for (int bucket = 0; bucket < kBucketCount; ++bucket) {
            Node* node = m_byNumber[bucket];
            while (node != nullptr) {
                Node* next = node->nextByNumber;
                delete node;
                node = next;
            }
        }
    }
    m_byNumber.reset();
    m_byMac.reset();
    std::vector<const Node*>().swap(m_display);
    m_count = 0;
}

void CApList::BuildDisplayList(LONG& total, LONG& active)
{
    const Filters filters = CurrentFilters();
    total = 0;
    active = 0;
    // Both lists are sized for every record at once, so building cannot
    // stop half-way; without the memory the display list is left empty.
    std::vector<const Node*> shown;
    std::vector<const Node*> inactive;
    try {
        shown.reserve(static_cast<std::size_t>(m_count));
        inactive.reserve(static_cast<std::size_t>(m_count));
    } catch (const std::bad_alloc&) {
        std::vector<const Node*>().swap(m_display);
        return;
    }

    if (m_byNumber) {
        for (int bucket = 0; bucket < kBucketCount; ++bucket) {
            for (const Node* node = m_byNumber[bucket]; node != nullptr; node = node->nextByNumber) {
                const ApRecord& record = node->record;
                if (filters.Hides(record.privacy, record.infrastructureMode))
                    continue;
                ++total;
                if (record.active == 1) {
                    ++active;
                    shown.push_back(node);
                } else {
                    inactive.push_back(node);
                }
            }
        }
    }
    shown.insert(shown.end(), inactive.begin(), inactive.end());
    m_display.swap(shown);
}

BOOL CApList::GetDisplayed(LONG position, ApRecord& record) const
{
    if (position < 0 || static_cast<std::size_t>(position) >= m_display.size())
        return FALSE;
    record = m_display[static_cast<std::size_t>(position)]->record;
    return TRUE;
}

BOOL CApList::GetByNumber(LONG number, ApRecord& record) const
{
    if (number < 0 || !m_byNumber)
        return FALSE;
    for (const Node* node = m_byNumber[NumberBucket(number)]; node != nullptr; node = node->nextByNumber) {
        if (node->record.number == number) {
            record = node->record;
            return TRUE;
        }
    }
    return FALSE;
}

std::vector<ApRecord> CApList::ActiveRecords() const
{
    std::vector<ApRecord> records;
    if (!m_byNumber)
        return records;
    try {
        for (int bucket = 0; bucket < kBucketCount; ++bucket)
            for (const Node* node = m_byNumber[bucket]; node != nullptr; node = node->nextByNumber)
                if (node->record.active == 1)
                    records.push_back(node->record);
    } catch (const std::bad_alloc&) {
        records.clear();
    }
    return records;
}
