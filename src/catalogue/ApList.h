// The catalogue of every network heard since it was last cleared, with the
// ordered, filtered list the scanner page shows. What it needs of its owner
// (which networks to hide, what to do when a new one is heard, the time) it
// is given through its hooks, so that any program can keep one.
#pragma once

#include "catalogue/ApRecord.h"
#include "platform/Sync.h"
#include "platform/devices/Ndis.h"
#include "scan/ScanEntry.h"

#include <functional>
#include <memory>
#include <vector>

class CApList {
public:
    // Which networks the owner hides from the display list.
    struct Filters {
        bool hideSecured;  // every network with its privacy bit set
        bool hidePeers;    // everything that is not an access point

        bool Hides(ULONG privacy, ULONG infrastructureMode) const
        {
            return (hideSecured && privacy != 0) || (hidePeers && infrastructureMode != Ndis802_11Infrastructure);
        }
    };

    // What the catalogue asks of its owner; each hook may be left empty.
    struct Hooks {
        // The filters in force, asked afresh at the start of every merge and
        // every display-list build, so a changed setting shows at once.
        // Empty: nothing is hidden.
        std::function<Filters()> filters;
        // Told of each network a merge catalogues for the first time that the
        // filters of that merge show, while the merge holds the lock. Empty:
        // nobody is told.
        std::function<void(const ApRecord&)> newNetwork;
        // The date a merge stamps on the records it creates or updates, read
        // once per entry. Empty: the local clock, to the second.
        std::function<DATE()> now;
    };

    // A catalogue that hides nothing, tells nobody and reads the local clock.
    CApList();
    explicit CApList(Hooks hooks);
    virtual ~CApList();

    CApList(const CApList&) = delete;
    CApList& operator=(const CApList&) = delete;

    // Updates the record of every entry's MAC, creating the ones not heard
    // before, and marks all other records inactive. Tells the newNetwork hook
    // of each new record the filters show.
    // After a scan that visited one frequency alone (visitedFrequency, MHz)
    // only that frequency's entries count and only its records can become
    // inactive: the scan says nothing of the others, which keep their values.
    void Merge(const ScanEntry* entries, int count, ULONG visitedFrequency = 0);
    // Deletes every record; numbering starts again at 0.
    void Clear();
    // Rebuilds the display list from the hide filters: active records first.
    // total and active receive the number of records shown and how many of
    // them are active.
    void BuildDisplayList(LONG& total, LONG& active);
    // Copies the record at a position of the display list. FALSE, and record
    // untouched, when the position is outside the list.
    BOOL GetDisplayed(LONG position, ApRecord& record) const;
    // Copies the record with the given number. FALSE, and record untouched,
    // when no record has it.
    BOOL GetByNumber(LONG number, ApRecord& record) const;
    // Copies every record the most recent merge reported, shown or hidden by
    // the filters, in no particular order; empty when memory runs out.
    std::vector<ApRecord> ActiveRecords() const;

    static constexpr int kBucketCount = 17;

protected:
    // A record and its links in both indexes, allocated in one piece.
    struct Node {
        ApRecord record;
        Node* nextByNumber;
        Node* nextByMac;
        DWORD macHash;
    };

    // Allocates one node; null when memory is exhausted. Overridden by tests
    // to exercise that path.
    virtual Node* AllocateNode();

private:
    static DWORD HashMac(const BYTE* mac);
    static int NumberBucket(LONG number);
    Node* FindByMac(const BYTE* mac, DWORD hash) const;
    bool CreateTables();
    Filters CurrentFilters() const;
    DATE Now() const;

    Hooks m_hooks;
    CRITICAL_SECTION m_lock;
    // Index by number; owns the records. Record n lies in bucket (n / 16) % 17.
    std::unique_ptr<Node*[]> m_byNumber;
    // Index by MAC, bucket hash % 17. Both tables are made on first insertion.
    std::unique_ptr<Node*[]> m_byMac;
    // The records the scanner page shows, in its order; owns nothing.
    std::vector<const Node*> m_display;
    LONG m_count = 0;
};
