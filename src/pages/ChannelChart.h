// The arithmetic of the channels page, apart from any drawing: which band a
// frequency lies in and which channel it is, the span a network occupies, the
// x axis of one band laid out over a pixel extent, the hills' outlines, a
// network's colour and the quietest channel to use. The page only draws what
// this says.
#pragma once

#include "platform/Types.h"

#include <span>
#include <vector>

enum class ChannelBand { Ghz2_4, Ghz5, Ghz6 };
inline constexpr int kChannelBandCount = 3;

// What the chart needs of one network.
struct ChartNetwork {
    ULONG frequency = 0;  // centre of the primary 20 MHz channel, MHz
    ULONG width = 20;     // MHz
    LONG rssi = -100;     // dBm
};

// A stretch of frequencies, MHz, from low to high.
struct MhzSpan {
    int low = 0;
    int high = 0;
    bool operator==(const MhzSpan&) const = default;
};

// A network's hill in pixels: feet on the floor, a flat top at its signal.
struct Hill {
    int footLeft = 0;
    int topLeft = 0;
    int topRight = 0;
    int footRight = 0;
    int top = 0;    // y of the flat top
    int floor = 0;  // y of the feet
    // The y of the outline at column x; -1 outside the hill.
    int OutlineAt(int x) const;
};

// A channel number on the x axis and its column.
struct AxisTick {
    int channel = 0;
    int x = 0;
};

// The quietest channel of a band and what was heard on it.
struct QuietChannel {
    int channel = 0;        // 0: nothing heard on the band, so no advice
    double milliwatts = 0;  // sum of the overlapping networks' power
    int networks = 0;       // how many of them
};

class ChannelChart {
public:
    // The band of a frequency; false when it lies in none of the three.
    // Frequency alone decides: channel 1 of 2.4 GHz and of 6 GHz differ.
    static bool BandOf(ULONG frequency, ChannelBand& band);
    // The channel number of a frequency in its band; 0 when none.
    static int ChannelOf(ULONG frequency);
    // The centre frequency of a band's channel, MHz.
    static int FrequencyOf(ChannelBand band, int channel);
    // "2.4 GHz", "5 GHz", "6 GHz".
    static const char16_t* BandName(ChannelBand band);

    // The stretch a network occupies: the block of its band's channel plan
    // that holds its primary channel and is as wide as the network (on
    // 2.4 GHz a 40 MHz network reaches up from channels 1 to 7, down from
    // higher ones); centre +- width/2 off the plan.
    static MhzSpan Occupied(ULONG frequency, ULONG width);
    static bool Overlap(MhzSpan a, MhzSpan b);

    // The quietest channel of a band among its candidates (1, 6 and 11 on
    // 2.4 GHz; the 20 MHz channels of 5 and 6 GHz): the one whose 20 MHz is
    // overlapped by the least power (mW, summed from dBm); among equally
    // quiet ones a 5 GHz channel without radar detection wins, then fewer
    // networks, then the lower channel. Networks of other bands are ignored;
    // with none of the band heard there is nothing to go by, and the answer
    // is channel 0.
    static QuietChannel Quietest(ChannelBand band, std::span<const ChartNetwork> heard);
    // Whether a 5 GHz channel must watch for radar (52 to 144) before and
    // while it is used.
    static bool NeedsRadarDetection(ChannelBand band, int channel);

    // The contrast ratio of two colours, 1 to 21, as the web's accessibility
    // guidelines measure it (relative luminance of sRGB).
    static double Contrast(COLORREF a, COLORREF b);

    // A colour of the chart's palette, chosen by the BSSID, so a network
    // keeps its colour from scan to scan and run to run.
    static COLORREF ColourOf(const BYTE (&mac)[6]);

    // Lays out the x axis of a band over columns left to right (exclusive):
    // it spans the band's channels that hold networks of `networks` (other
    // bands' networks are left out) and the `advised` channel (0 for none),
    // at least channels 1 to 13 on 2.4 GHz. Stretches without networks
    // wider than a channel are cut to a narrow break. The axis always ends
    // before `right`, however many stretches it has: networks spread over
    // more of the band than fits at kMinChannelPixels a channel get
    // narrower channels, never an axis past the page's edge.
    ChannelChart(ChannelBand band, std::span<const ChartNetwork> networks, int left, int right, int advised = 0);

    ChannelBand Band() const { return m_band; }
    // The column of a frequency; frequencies in a break or off the axis go to
    // the nearest end of the nearest stretch.
    int X(int mhz) const;
    // The channels of the band's 20 MHz plan that lie on the axis.
    std::vector<AxisTick> Ticks() const;
    // The columns where a break cuts the axis (the middle of its gap).
    std::vector<int> Breaks() const;
    // The last column the axis reaches.
    int Right() const;
    // The row of a signal between the plot's top (-20 dBm) and bottom (-100 dBm).
    static int Y(LONG dbm, int top, int bottom);
    // A network's hill over this axis, in a plot from top to bottom.
    Hill HillOf(const ChartNetwork& network, int top, int bottom) const;

    static constexpr int kMinChannelPixels = 8;
    static constexpr int kBreakPixels = 6;
    static constexpr int kSlopeMhz = 2;  // how far a hill's feet reach out past its top
    static constexpr LONG kTopDbm = -20;
    static constexpr LONG kFloorDbm = -100;

private:
    struct Stretch {
        MhzSpan mhz;
        int before = 0;  // MHz of the stretches left of this one
        int x = 0;       // column of mhz.low
    };
    // The column of a frequency inside stretch `index`.
    int XIn(std::size_t index, int mhz) const;
    ChannelBand m_band;
    int m_left = 0;
    int m_breakPixels = kBreakPixels;
    double m_pixelsPerMhz = 1;
    std::vector<Stretch> m_stretches;
    bool m_channel14 = false;
};
