// The guiding click's generator: the processor time one second of sound
// costs, rendered in the 10 ms blocks the player feeds the output with.
#include "platform/media/ClickTrain.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr int kBlock = kSampleRate / 100;

// Argument: the rate in clicks per 1000 seconds (0: the silence between).
void BM_OneSecondOfClicks(benchmark::State& state)
{
    ClickTrain train(kSampleRate);
    train.SetRate(static_cast<std::uint32_t>(state.range(0)));
    std::vector<std::int16_t> block(kBlock);
    for (auto _ : state) {
        for (int done = 0; done < kSampleRate; done += kBlock) {
            train.Render(block.data(), block.size());
            benchmark::DoNotOptimize(block.data());
        }
        benchmark::ClobberMemory();
    }
    // Seconds of sound made per second of processor time.
    state.counters["sound_per_cpu"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * kSampleRate);
}
BENCHMARK(BM_OneSecondOfClicks)->Arg(0)->Arg(1000)->Arg(3162)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A new rate at every block, as when fast scans change the signal often.
void BM_OneSecondWithChangingRate(benchmark::State& state)
{
    ClickTrain train(kSampleRate);
    std::vector<std::int16_t> block(kBlock);
    std::uint32_t rate = 1000;
    for (auto _ : state) {
        for (int done = 0; done < kSampleRate; done += kBlock) {
            rate = rate >= 10000 ? 1000 : rate + 97;
            train.SetRate(rate);
            train.Render(block.data(), block.size());
            benchmark::DoNotOptimize(block.data());
        }
        benchmark::ClobberMemory();
    }
    state.counters["sound_per_cpu"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_OneSecondWithChangingRate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
