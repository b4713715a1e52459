#include "platform/media/ClickTrain.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kRate = 44100;

// Renders `seconds` of the train in uneven blocks, as an output asks for it.
std::vector<std::int16_t> Render(ClickTrain& train, double seconds)
{
    std::vector<std::int16_t> all(static_cast<std::size_t>(seconds * kRate));
    std::size_t done = 0;
    for (std::size_t block = 1; done < all.size(); block = block * 7 % 1500 + 1) {
        const std::size_t n = std::min(block, all.size() - done);
        train.Render(all.data() + done, n);
        done += n;
    }
    return all;
}

// Where each tick is first heard: a sound after more than a tick's length of
// silence. (A tick's own first sample is 0: it starts as a sine does.)
std::vector<std::size_t> Onsets(const std::vector<std::int16_t>& samples, std::size_t gap)
{
    std::vector<std::size_t> onsets;
    std::size_t quiet = gap + 1;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] == 0) {
            ++quiet;
            continue;
        }
        if (quiet > gap)
            onsets.push_back(i);
        quiet = 0;
    }
    return onsets;
}

TEST(ClickTrain, TicksComeAtTheRateSetToTheSample)
{
    struct Case {
        std::uint32_t milliHertz;
        double interval;  // samples between two ticks, on average
    };
    const Case cases[] = {
        {1000, 44100.0}, {3162, 44100.0 * 1000 / 3162}, {10000, 4410.0}, {7, 44100.0 * 1000 / 7},
        {90000, 882.0},  // above fifty a second: fifty
    };
    for (const Case& c : cases) {
        ClickTrain train(kRate);
        train.SetRate(c.milliHertz);
        const double seconds = std::max(3.0, 3 * c.interval / kRate);
        const std::vector<std::size_t> onsets = Onsets(Render(train, seconds), train.ClickLength());
        ASSERT_GE(onsets.size(), 3u) << c.milliHertz;
        EXPECT_LE(onsets.front(), 1u) << "the first tick comes at once";
        for (std::size_t i = 1; i < onsets.size(); ++i)
            EXPECT_NEAR(static_cast<double>(onsets[i] - onsets.front()), i * c.interval, 1.0)
                << c.milliHertz << " tick " << i;
    }
}

TEST(ClickTrain, StopCutsAtOnceAndANewRateKeepsItsPlace)
{
    ClickTrain train(kRate);
    train.SetRate(1000);
    std::vector<std::int16_t> start(train.ClickLength() / 2);
    train.Render(start.data(), start.size());
    // Stopped halfway through a tick: the rest of it is never heard.
    train.SetRate(0);
    for (std::int16_t sample : Render(train, 1.0))
        ASSERT_EQ(sample, 0);
    EXPECT_EQ(train.Rate(), 0u);

    // A quarter of the way to the next tick at one a second, the pace
    // doubles: the next tick comes a quarter of the new interval later, not
    // three quarters of the old.
    train.SetRate(1000);
    std::vector<std::int16_t> quarter(kRate / 4);
    train.Render(quarter.data(), quarter.size());
    train.SetRate(2000);
    const std::vector<std::size_t> onsets = Onsets(Render(train, 1.0), train.ClickLength());
    ASSERT_GE(onsets.size(), 2u);
    EXPECT_NEAR(static_cast<double>(onsets[0]), 3 * kRate / 8.0, 2.0);
    EXPECT_NEAR(static_cast<double>(onsets[1] - onsets[0]), kRate / 2.0, 1.0);
}

TEST(ClickTrain, ATickIsShortAndLoudAndNeverClips)
{
    ClickTrain train(kRate);
    train.SetRate(1000);
    std::vector<std::int16_t> tick(train.ClickLength());
    train.Render(tick.data(), tick.size());
    int peak = 0;
    for (std::int16_t sample : tick)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_LE(train.ClickLength(), static_cast<std::size_t>(kRate / 100));  // at most 10 ms
    EXPECT_GT(peak, 10000);
    EXPECT_LT(peak, 32767);
}

}  // namespace
