// Cost of one scan tick in the catalogue: one Merge of a full-sized scan and
// one BuildDisplayList, as the catalogue grows; and the memory per record.
#include "app/CatalogueHooks.h"
#include "catalogue/ApList.h"

#include "settings/Settings.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

CSettings g_settings;

// Counts the heap allocations the catalogue makes, to report them per record.
namespace {
std::size_t g_allocations = 0;
std::size_t g_allocatedBytes = 0;
}  // namespace

void* operator new(std::size_t size)
{
    ++g_allocations;
    g_allocatedBytes += size;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    g_allocatedBytes += size;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// The largest scan the engine reads is 128 entries; 78 is a busy city street.
constexpr int kScanSize = 78;

ScanEntry MakeEntry(std::uint32_t id)
{
    ScanEntry e{};
    e.mac[0] = 0x02;
    e.mac[2] = static_cast<BYTE>(id >> 24);
    e.mac[3] = static_cast<BYTE>(id >> 16);
    e.mac[4] = static_cast<BYTE>(id >> 8);
    e.mac[5] = static_cast<BYTE>(id);
    std::memcpy(e.ssid, u"benchmark-network", 17 * sizeof(WCHAR));
    e.rssi = -40 - static_cast<LONG>(id % 50);
    e.channel = 1 + id % 13;
    e.infrastructureMode = id % 10 == 0 ? 0 : 1;
    e.privacy = id % 3;
    return e;
}

// Catalogues networks 0 to records - 1 in one merge.
void Fill(CApList& list, int records)
{
    std::vector<ScanEntry> entries;
    entries.reserve(static_cast<std::size_t>(records));
    for (int i = 0; i < records; ++i)
        entries.push_back(MakeEntry(static_cast<std::uint32_t>(i)));
    list.Merge(entries.data(), records);
}

void SetUpSettings()
{
    g_settings.SetValue(SettingHideWEP, 0);
    g_settings.SetValue(SettingHidePeer, 1);
    g_settings.SetValue(SettingSoundOff, 1);
}

// One merge of 78 networks already in the catalogue (the steady state of a
// scanner standing still): 78 lookups and one walk over all records.
void BM_MergeKnown(benchmark::State& state)
{
    SetUpSettings();
    const int records = static_cast<int>(state.range(0));
    CApList list(ProgramCatalogueHooks(g_settings));
    Fill(list, records);
    std::vector<ScanEntry> scan;
    for (int i = 0; i < kScanSize; ++i)
        scan.push_back(MakeEntry(static_cast<std::uint32_t>((i * 7919) % records)));
    for (auto _ : state)
        list.Merge(scan.data(), kScanSize);
    state.counters["records"] = records;
}
BENCHMARK(BM_MergeKnown)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);

// One merge of 78 networks never heard before (walking into a new street).
// The catalogue is rebuilt outside the timing so every merge meets the same size.
void BM_MergeNew(benchmark::State& state)
{
    SetUpSettings();
    const int records = static_cast<int>(state.range(0));
    CApList list(ProgramCatalogueHooks(g_settings));
    std::vector<ScanEntry> scan;
    for (int i = 0; i < kScanSize; ++i)
        scan.push_back(MakeEntry(static_cast<std::uint32_t>(records + i)));
    for (auto _ : state) {
        state.PauseTiming();
        list.Clear();
        Fill(list, records);
        state.ResumeTiming();
        list.Merge(scan.data(), kScanSize);
    }
    state.counters["records"] = records;
}
BENCHMARK(BM_MergeNew)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(20);

void BM_BuildDisplayList(benchmark::State& state)
{
    SetUpSettings();
    const int records = static_cast<int>(state.range(0));
    CApList list(ProgramCatalogueHooks(g_settings));
    Fill(list, records);
    // All active after the one filling merge; every tenth is a peer and hidden.
    LONG total = 0;
    LONG active = 0;
    for (auto _ : state) {
        list.BuildDisplayList(total, active);
        benchmark::DoNotOptimize(total);
    }
    state.counters["records"] = records;
    state.counters["shown"] = total;
}
BENCHMARK(BM_BuildDisplayList)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);

// Memory: heap allocations and bytes per record, with the display list built.
void BM_MemoryPerRecord(benchmark::State& state)
{
    SetUpSettings();
    const int records = static_cast<int>(state.range(0));
    std::size_t allocations = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::vector<ScanEntry> entries;
        entries.reserve(static_cast<std::size_t>(records));
        for (int i = 0; i < records; ++i)
            entries.push_back(MakeEntry(static_cast<std::uint32_t>(i)));
        CApList list(ProgramCatalogueHooks(g_settings));
        const std::size_t allocationsBefore = g_allocations;
        const std::size_t bytesBefore = g_allocatedBytes;
        list.Merge(entries.data(), records);
        LONG total = 0;
        LONG active = 0;
        list.BuildDisplayList(total, active);
        allocations = g_allocations - allocationsBefore;
        bytes = g_allocatedBytes - bytesBefore;
    }
    state.counters["sizeof(ApRecord)"] = sizeof(ApRecord);
    state.counters["allocs/record"] = static_cast<double>(allocations) / records;
    state.counters["bytes/record"] = static_cast<double>(bytes) / records;
}
BENCHMARK(BM_MemoryPerRecord)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
