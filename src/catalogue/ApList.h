// The catalogue of every network heard since it was last cleared, with the
// ordered, filtered list the scanner page shows.
#pragma once

#include "catalogue/ApRecord.h"
#include "platform/Sync.h"
#include "scan/ScanEntry.h"

#include <memory>
#include <vector>

class CApList {
public:
    CApList();
    virtual ~CApList();

    CApList(const CApList&) = delete;
    CApList& operator=(const CApList&) = delete;

    // Updates the record of every entry's MAC, creating the ones not heard
    // before, and marks all other records inactive. Plays the new-network
    // sound when a new network is shown and sound is on.
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

    CRITICAL_SECTION m_lock;
    // Index by number; owns the records. Record n lies in bucket (n / 16) % 17.
    std::unique_ptr<Node*[]> m_byNumber;
    // Index by MAC, bucket hash % 17. Both tables are made on first insertion.
    std::unique_ptr<Node*[]> m_byMac;
    // The records the scanner page shows, in its order; owns nothing.
    std::vector<const Node*> m_display;
    LONG m_count = 0;
};
