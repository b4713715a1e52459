#include "pages/ChannelChart.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// Where the bands lie. 5935 MHz (6 GHz channel 2) is below the last 5 GHz
// channel's upper edge, so 5925 MHz divides the two.
constexpr ULONG kBand2Low = 2400;
constexpr ULONG kBand2High = 2500;
constexpr ULONG kBand5Low = 4900;
constexpr ULONG kBand5High = 5925;
constexpr ULONG kBand6High = 7125;

// The 20 MHz channels the axis labels and, for 5 GHz, the candidates for the
// quietest one (169 to 177 are allowed in few countries: labelled, not
// suggested).
struct ChannelRun {
    int first;
    int last;
    int step;
};
constexpr ChannelRun kPlan2[] = {{1, 14, 1}};
constexpr ChannelRun kPlan5[] = {{36, 64, 4}, {100, 144, 4}, {149, 177, 4}};
constexpr ChannelRun kPlan6[] = {{1, 233, 4}};
constexpr ChannelRun kCandidates2[] = {{1, 11, 5}};
constexpr ChannelRun kCandidates5[] = {{36, 64, 4}, {100, 144, 4}, {149, 165, 4}};

std::span<const ChannelRun> Plan(ChannelBand band)
{
    switch (band) {
    case ChannelBand::Ghz2_4: return kPlan2;
    case ChannelBand::Ghz5: return kPlan5;
    case ChannelBand::Ghz6: return kPlan6;
    }
    return {};
}

std::span<const ChannelRun> Candidates(ChannelBand band)
{
    switch (band) {
    case ChannelBand::Ghz2_4: return kCandidates2;
    case ChannelBand::Ghz5: return kCandidates5;
    case ChannelBand::Ghz6: return kPlan6;
    }
    return {};
}

template <typename Visit> void ForEachChannel(std::span<const ChannelRun> runs, Visit visit)
{
    for (const ChannelRun& run : runs)
        for (int channel = run.first; channel <= run.last; channel += run.step)
            visit(channel);
}

// Colours that stand out from each other and from the page's light tint.
constexpr COLORREF kPalette[] = {
    RGB(200, 30, 30),  RGB(20, 130, 40), RGB(30, 60, 200), RGB(210, 110, 0), RGB(140, 40, 160), RGB(0, 130, 140),
    RGB(170, 50, 110), RGB(110, 100, 0), RGB(0, 90, 60),   RGB(150, 70, 30), RGB(70, 70, 170),  RGB(200, 0, 140),
};

// An axis of one stretch is widened to at least this many MHz, so one
// network does not fill the whole width.
constexpr int kNarrowestStretch = 60;
// Room left around each network's hill on the axis.
constexpr int kMarginMhz = 5;
// Stretches closer than this stay joined; wider gaps become breaks.
constexpr int kLongestGap = 20;

}  // namespace

int Hill::OutlineAt(int x) const
{
    if (x < footLeft || x > footRight)
        return -1;
    if (x >= topLeft && x <= topRight)
        return top;
    const int run = x < topLeft ? topLeft - footLeft : footRight - topRight;
    const int along = x < topLeft ? x - footLeft : footRight - x;
    return floor - (floor - top) * along / std::max(run, 1);
}

bool ChannelChart::BandOf(ULONG frequency, ChannelBand& band)
{
    if (frequency >= kBand2Low && frequency <= kBand2High)
        band = ChannelBand::Ghz2_4;
    else if (frequency >= kBand5Low && frequency <= kBand5High)
        band = ChannelBand::Ghz5;
    else if (frequency > kBand5High && frequency <= kBand6High)
        band = ChannelBand::Ghz6;
    else
        return false;
    return true;
}

int ChannelChart::ChannelOf(ULONG frequency)
{
    ChannelBand band{};
    if (!BandOf(frequency, band))
        return 0;
    const auto f = static_cast<int>(frequency);
    switch (band) {
    case ChannelBand::Ghz2_4:
        if (f == 2484)
            return 14;
        return f >= 2412 && f <= 2472 && (f - 2407) % 5 == 0 ? (f - 2407) / 5 : 0;
    case ChannelBand::Ghz5: return (f - 5000) % 5 == 0 ? (f - 5000) / 5 : 0;
    case ChannelBand::Ghz6:
        // Channel 2 lies off the band's grid, below channel 1.
        if (f == 5935)
            return 2;
        return f > 5950 && (f - 5950) % 5 == 0 ? (f - 5950) / 5 : 0;
    }
    return 0;
}

int ChannelChart::FrequencyOf(ChannelBand band, int channel)
{
    switch (band) {
    case ChannelBand::Ghz2_4: return channel == 14 ? 2484 : 2407 + 5 * channel;
    case ChannelBand::Ghz5: return 5000 + 5 * channel;
    case ChannelBand::Ghz6: return channel == 2 ? 5935 : 5950 + 5 * channel;
    }
    return 0;
}

const char16_t* ChannelChart::BandName(ChannelBand band)
{
    switch (band) {
    case ChannelBand::Ghz2_4: return u"2.4 GHz";
    case ChannelBand::Ghz5: return u"5 GHz";
    case ChannelBand::Ghz6: return u"6 GHz";
    }
    return u"";
}

MhzSpan ChannelChart::Occupied(ULONG frequency, ULONG width)
{
    const auto f = static_cast<int>(frequency);
    ChannelBand band{};
    const bool known = BandOf(frequency, band);
    auto w = static_cast<int>(std::clamp<ULONG>(width, 20, 320));
    if (known && band == ChannelBand::Ghz2_4)
        w = std::min(w, 40);
    if (known && band == ChannelBand::Ghz5)
        w = std::min(w, 160);
    const MhzSpan centred{f - w / 2, f + w / 2};
    const int channel = ChannelOf(frequency);
    if (!known || channel == 0 || w == 20 || (w != 40 && w != 80 && w != 160 && w != 320))
        return centred;
    if (band == ChannelBand::Ghz2_4)
        return channel <= 7 ? MhzSpan{f - 10, f + w - 10} : MhzSpan{f - w + 10, f + 10};
    // 5 and 6 GHz: blocks of w / 20 channels from the sub-band's first one.
    const int anchor = band == ChannelBand::Ghz6 ? 1 : (channel >= 149 ? 149 : 36);
    if (channel < anchor || (channel - anchor) % 4 != 0)
        return centred;
    const int step = 4 * (w / 20);
    const int first = anchor + (channel - anchor) / step * step;
    const int low = FrequencyOf(band, first) - 10;
    return {low, low + w};
}

bool ChannelChart::Overlap(MhzSpan a, MhzSpan b)
{
    return a.low < b.high && b.low < a.high;
}

bool ChannelChart::NeedsRadarDetection(ChannelBand band, int channel)
{
    return band == ChannelBand::Ghz5 && channel >= 52 && channel <= 144;
}

double ChannelChart::Contrast(COLORREF a, COLORREF b)
{
    const auto luminance = [](COLORREF c) {
        const auto linear = [](int channel) {
            const double v = channel / 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QuietChannel ChannelChart::Quietest(ChannelBand band, std::span<const ChartNetwork> heard)
{
    const bool anyHeard = std::any_of(heard.begin(), heard.end(), [band](const ChartNetwork& network) {
        ChannelBand of{};
        return BandOf(network.frequency, of) && of == band;
    });
    if (!anyHeard)
        return QuietChannel{};
    QuietChannel best{};
    bool first = true;
    ForEachChannel(Candidates(band), [&](int channel) {
        const int centre = FrequencyOf(band, channel);
        const MhzSpan own{centre - 10, centre + 10};
        QuietChannel sum{channel, 0, 0};
        for (const ChartNetwork& network : heard) {
            ChannelBand of{};
            if (!BandOf(network.frequency, of) || of != band ||
                !Overlap(own, Occupied(network.frequency, network.width)))
                continue;
            sum.milliwatts += std::pow(10.0, static_cast<double>(network.rssi) / 10.0);
            ++sum.networks;
        }
        // Candidates come lowest first, so only a strictly better one wins.
        // Radar detection can make a channel's users move at any moment.
        const bool radar = NeedsRadarDetection(band, channel);
        const bool bestRadar = NeedsRadarDetection(band, best.channel);
        if (first || sum.milliwatts < best.milliwatts ||
            (sum.milliwatts == best.milliwatts && (radar != bestRadar ? !radar : sum.networks < best.networks)))
            best = sum;
        first = false;
    });
    return best;
}

COLORREF ChannelChart::ColourOf(const BYTE (&mac)[6])
{
    // FNV-1a over the six bytes.
    std::uint32_t hash = 2166136261u;
    for (BYTE b : mac)
        hash = (hash ^ b) * 16777619u;
    return kPalette[hash % std::size(kPalette)];
}

ChannelChart::ChannelChart(ChannelBand band, std::span<const ChartNetwork> networks, int left, int right, int advised)
    : m_band(band), m_left(left)
{
    std::vector<MhzSpan> spans;
    for (const ChartNetwork& network : networks) {
        ChannelBand of{};
        if (!BandOf(network.frequency, of) || of != band)
            continue;
        if (ChannelOf(network.frequency) == 14)
            m_channel14 = true;
        const MhzSpan s = Occupied(network.frequency, network.width);
        spans.push_back({s.low - kSlopeMhz - kMarginMhz, s.high + kSlopeMhz + kMarginMhz});
    }
    if (advised != 0) {
        // The advice is marked on the axis, so the axis holds its channel.
        const int centre = FrequencyOf(band, advised);
        spans.push_back({centre - 10 - kMarginMhz, centre + 10 + kMarginMhz});
    }
    if (band == ChannelBand::Ghz2_4)
        spans.push_back({FrequencyOf(band, 1) - 10 - kMarginMhz, FrequencyOf(band, 13) + 10 + kSlopeMhz});
    if (spans.empty()) {
        // An empty band shows its first 160 MHz.
        const int low = FrequencyOf(band, band == ChannelBand::Ghz5 ? 36 : 1) - 10;
        spans.push_back({low - kMarginMhz, low + 160 + kMarginMhz});
    }
    std::sort(spans.begin(), spans.end(), [](MhzSpan a, MhzSpan b) { return a.low < b.low; });
    std::vector<MhzSpan> merged;
    for (const MhzSpan& s : spans) {
        if (!merged.empty() && s.low <= merged.back().high + kLongestGap)
            merged.back().high = std::max(merged.back().high, s.high);
        else
            merged.push_back(s);
    }
    if (merged.size() == 1) {
        MhzSpan& s = merged.front();
        const int grow = kNarrowestStretch - (s.high - s.low);
        if (grow > 0) {
            s.low -= grow / 2;
            s.high += grow - grow / 2;
        }
    }
    int total = 0;
    for (const MhzSpan& s : merged)
        total += s.high - s.low;
    const int breaks = static_cast<int>(merged.size()) - 1;
    const int width = std::max(right - 1 - left, 1);
    // Breaks take at most half the width, however many there are.
    if (breaks > 0)
        m_breakPixels = std::clamp(width / 2 / breaks, 1, kBreakPixels);
    const int room = std::max(width - breaks * m_breakPixels, 1);
    // Every column is computed from the MHz before it, not stretch by
    // stretch, so no rounding adds up: the last one is left + room + the
    // breaks, one short of `right`.
    m_pixelsPerMhz = static_cast<double>(room) / std::max(total, 1);
    int before = 0;
    for (const MhzSpan& s : merged) {
        m_stretches.push_back({s, before, 0});
        before += s.high - s.low;
    }
    for (std::size_t i = 0; i < m_stretches.size(); ++i)
        m_stretches[i].x = XIn(i, m_stretches[i].mhz.low);
}

int ChannelChart::XIn(std::size_t index, int mhz) const
{
    const Stretch& s = m_stretches[index];
    return m_left + static_cast<int>(std::lround((s.before + mhz - s.mhz.low) * m_pixelsPerMhz)) +
           static_cast<int>(index) * m_breakPixels;
}

int ChannelChart::X(int mhz) const
{
    for (std::size_t i = 0; i < m_stretches.size(); ++i) {
        const Stretch& s = m_stretches[i];
        if (mhz < s.mhz.low) {
            // In the break before s, or before the axis: the nearer end.
            if (i == 0 || s.mhz.low - mhz < mhz - m_stretches[i - 1].mhz.high)
                return s.x;
            return XIn(i - 1, m_stretches[i - 1].mhz.high);
        }
        if (mhz <= s.mhz.high)
            return XIn(i, mhz);
    }
    return m_stretches.empty() ? 0 : XIn(m_stretches.size() - 1, m_stretches.back().mhz.high);
}

std::vector<AxisTick> ChannelChart::Ticks() const
{
    std::vector<AxisTick> ticks;
    ForEachChannel(Plan(m_band), [&](int channel) {
        // Japan's channel 14 is labelled only when a network uses it: channel
        // 13's hill reaches its frequency.
        if (m_band == ChannelBand::Ghz2_4 && channel == 14 && !m_channel14)
            return;
        const int f = FrequencyOf(m_band, channel);
        for (const Stretch& s : m_stretches)
            if (f >= s.mhz.low && f <= s.mhz.high)
                ticks.push_back({channel, X(f)});
    });
    return ticks;
}

std::vector<int> ChannelChart::Breaks() const
{
    std::vector<int> columns;
    for (std::size_t i = 1; i < m_stretches.size(); ++i)
        columns.push_back((X(m_stretches[i - 1].mhz.high) + m_stretches[i].x) / 2);
    return columns;
}

int ChannelChart::Right() const
{
    return m_stretches.empty() ? 0 : X(m_stretches.back().mhz.high);
}

int ChannelChart::Y(LONG dbm, int top, int bottom)
{
    const LONG clamped = std::clamp(dbm, kFloorDbm, kTopDbm);
    return top + static_cast<int>(std::lround(static_cast<double>(kTopDbm - clamped) * (bottom - top) /
                                              static_cast<double>(kTopDbm - kFloorDbm)));
}

Hill ChannelChart::HillOf(const ChartNetwork& network, int top, int bottom) const
{
    const MhzSpan s = Occupied(network.frequency, network.width);
    Hill hill;
    hill.footLeft = X(s.low - kSlopeMhz);
    hill.topLeft = X(s.low);
    hill.topRight = X(s.high);
    hill.footRight = X(s.high + kSlopeMhz);
    hill.top = Y(network.rssi, top, bottom);
    hill.floor = bottom;
    return hill;
}
