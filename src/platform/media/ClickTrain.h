// The guiding click as samples: a short tick repeated at a rate that may
// change at any moment. Qt-free and lock-free, so the sound module renders
// with it on its audio thread and the benchmark measures it alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ClickTrain {
public:
    // Mono 16-bit samples at `sampleRate` samples a second.
    explicit ClickTrain(int sampleRate);

    // Clicks per 1000 seconds; 0 for silence. From silence the first tick
    // starts at once; between two rates the wait for the next tick keeps its
    // place in the interval, so a faster rate is heard at the next tick, not
    // a whole old interval later. 0 also cuts a tick that is sounding. Rates
    // above kMaxMilliHertz play at that rate.
    void SetRate(std::uint32_t milliHertz);
    std::uint32_t Rate() const { return m_rate; }

    // The next `count` samples of the stream.
    void Render(std::int16_t* samples, std::size_t count);

    // The samples of one tick.
    std::size_t ClickLength() const { return m_click.size(); }

    // Fifty ticks a second still leave a gap between two ticks.
    static constexpr std::uint32_t kMaxMilliHertz = 50000;

private:
    double Interval() const;

    std::vector<std::int16_t> m_click;
    int m_sampleRate;
    std::uint32_t m_rate = 0;
    // Samples from the current position to the start of the next tick.
    double m_untilNext = 0;
    // The position inside the tick that is sounding; the tick's length when none is.
    std::size_t m_clickPos;
};
