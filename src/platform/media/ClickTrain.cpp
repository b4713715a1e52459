#include "platform/media/ClickTrain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A tick: 5 ms of a 2 kHz tone dying away quickly. Short and high, it is
// heard over street noise without hiding the next one at ten a second.
constexpr double kToneHz = 2000.0;
constexpr double kLengthSeconds = 0.005;
constexpr double kDecaySeconds = 0.0012;
constexpr double kPeak = 0.6 * 32767.0;

}  // namespace

ClickTrain::ClickTrain(int sampleRate) : m_sampleRate(sampleRate > 0 ? sampleRate : 44100)
{
    const auto length = static_cast<std::size_t>(m_sampleRate * kLengthSeconds);
    m_click.resize(length);
    for (std::size_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / m_sampleRate;
        const double value = kPeak * std::exp(-t / kDecaySeconds) * std::sin(2.0 * std::numbers::pi * kToneHz * t);
        m_click[n] = static_cast<std::int16_t>(std::lround(value));
    }
    m_clickPos = m_click.size();
}

double ClickTrain::Interval() const
{
    return static_cast<double>(m_sampleRate) * 1000.0 / m_rate;
}

void ClickTrain::SetRate(std::uint32_t milliHertz)
{
    milliHertz = std::min(milliHertz, kMaxMilliHertz);
    if (milliHertz == m_rate)
        return;
    if (milliHertz == 0) {
        m_clickPos = m_click.size();
    } else if (m_rate == 0) {
        m_untilNext = 0;
    } else {
        m_untilNext *= static_cast<double>(m_rate) / milliHertz;
    }
    m_rate = milliHertz;
}

void ClickTrain::Render(std::int16_t* samples, std::size_t count)
{
    while (count > 0) {
        std::size_t n = 0;
        if (m_clickPos < m_click.size()) {
            n = std::min(count, m_click.size() - m_clickPos);
            std::copy_n(m_click.data() + m_clickPos, n, samples);
            m_clickPos += n;
        } else if (m_rate == 0) {
            std::fill_n(samples, count, std::int16_t{0});
            return;
        } else if (m_untilNext < 1.0) {
            // The tick starts on this sample; the next is one interval on.
            m_clickPos = 0;
            m_untilNext += Interval();
            continue;
        } else {
            n = std::min(count, static_cast<std::size_t>(m_untilNext));
            std::fill_n(samples, n, std::int16_t{0});
        }
        m_untilNext -= static_cast<double>(n);
        samples += n;
        count -= n;
    }
}
