// The channels page as it draws: hills read back from its pixels, the band
// switch, the filters, the names over crowded channels, the advice and the
// texts below the graph.
#include "catalogue/ApList.h"
#include "pages/ChannelsDlg.h"
#include "platform/Testing.h"
#include "platform/core/LiveZoom.h"
#include "platform/core/PixelZoom.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "tests/support/PlainWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

extern CSettings g_settings;
extern CLanguage g_language;
extern CApList g_apList;

namespace {

// A nameless network (so no name is drawn over its hill).
ScanEntry Network(BYTE last, ULONG frequency, ULONG width, LONG rssi, BYTE security)
{
    ScanEntry e{};
    const BYTE mac[6] = {0x3c, 0xa6, 0x2f, 0x10, 0x22, last};
    std::memcpy(e.mac, mac, 6);
    e.rssi = rssi;
    e.frequency = frequency;
    e.width = width;
    e.infrastructureMode = 1;
    e.security = security;
    e.privacy = security != SECURITY_OPEN ? 1 : 0;
    return e;
}

// A named network.
ScanEntry Named(const char16_t* name, BYTE last, ULONG frequency, ULONG width, LONG rssi, BYTE security)
{
    ScanEntry e = Network(last, frequency, width, rssi, security);
    for (std::size_t i = 0; i < 32 && name[i] != 0; ++i)
        e.ssid[i] = name[i];
    return e;
}

class ChannelsPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_language.SelectLanguage(0);
        g_settings.SetValue(SettingHideWEP, 0);
        g_settings.SetValue(SettingHidePeer, 0);
        g_settings.SetValue(SettingSoundOff, 1);
        g_apList.Clear();
        ASSERT_TRUE(CreatePlainWindow(m_parent, RECT{0, 0, 240, 268}, nullptr, WS_VISIBLE));
        Open();
    }
    void TearDown() override
    {
        Close();
        m_parent.DestroyWindow();
        g_apList.Clear();
        g_settings.SetValue(SettingHideWEP, 0);
    }
    void Open()
    {
        m_owned = std::make_unique<CChannelsDlg>();
        ASSERT_TRUE(m_owned->Create(IDD_CHANNELS_PAGE, &m_parent));
        m_owned->ShowWindow(SW_SHOW);
    }
    void Close()
    {
        if (m_owned)
            m_owned->DestroyWindow();
        m_owned.reset();
    }
    CChannelsDlg& Page() const { return *m_owned; }
    void Hear(std::vector<ScanEntry> scan)
    {
        g_apList.Merge(scan.data(), static_cast<int>(scan.size()));
        Page().Refresh();
        Paint();
    }
    void Paint()
    {
        InvalidateRect(Page().m_hWnd, nullptr, TRUE);
        UpdateWindow(Page().m_hWnd);
    }
    void Tap()
    {
        const RECT plot = Page().PlotRect();
        Page().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(plot.left + 20, plot.top + 20));
        Page().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(plot.left + 20, plot.top + 20));
        Paint();
    }
    COLORREF Pixel(int x, int y) const
    {
        HDC dc = GetDC(Page().m_hWnd);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(Page().m_hWnd, dc);
        return colour;
    }
    // The first and last columns of a row of the plot in the colour; -1 when
    // the colour is not on the row.
    std::pair<int, int> Run(int y, COLORREF colour) const
    {
        const RECT plot = Page().PlotRect();
        int first = -1;
        int last = -1;
        for (int x = plot.left; x < plot.right; ++x) {
            if (Pixel(x, y) == colour) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        return {first, last};
    }
    // Whether the colour shows anywhere in the plot.
    bool Shows(COLORREF colour) const
    {
        const RECT plot = Page().PlotRect();
        for (int y = plot.top; y <= plot.bottom; ++y)
            if (Run(y, colour).first >= 0)
                return true;
        return false;
    }
    CString Text(int id) const
    {
        WCHAR text[64] = {};
        ::GetWindowTextW(Page().GetDlgItemHwnd(id), text, 64);
        return text;
    }
    // The page's background and text colours, as it gives them to its texts.
    std::pair<COLORREF, COLORREF> PageColours() const
    {
        HDC dc = GetDC(Page().m_hWnd);
        Page().SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(-1));
        const std::pair<COLORREF, COLORREF> colours{GetBkColor(dc), GetTextColor(dc)};
        ReleaseDC(Page().m_hWnd, dc);
        return colours;
    }

    CWnd m_parent;
    std::unique_ptr<CChannelsDlg> m_owned;
};

// Each hill alone on its band: its top spans its block's edges, at its signal.
TEST_F(ChannelsPage, HillEdgesLieOnTheBlockAndTheTopAtTheSignal)
{
    struct Case {
        const char* what;
        ULONG frequency;
        ULONG width;
        LONG rssi;
        int taps;  // from 2.4 GHz to the network's band
        int low;   // block edges, MHz
        int high;
    };
    const Case cases[] = {
        {"20 MHz on 2.4 GHz channel 6", 2437, 20, -50, 0, 2427, 2447},
        {"40 MHz on 2.4 GHz channel 1", 2412, 40, -63, 0, 2402, 2442},
        {"80 MHz on 5 GHz channel 44", 5220, 80, -71, 1, 5170, 5250},
        {"160 MHz on 5 GHz channel 116", 5580, 160, -44, 1, 5490, 5650},
        {"20 MHz on 6 GHz channel 1", 5955, 20, -58, 1, 5945, 5965},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_apList.Clear();
        Close();
        Open();
        const ScanEntry entry = Network(1, c.frequency, c.width, c.rssi, SECURITY_WPA2);
        Hear({entry});
        for (int i = 0; i < c.taps; ++i)
            Tap();
        const RECT plot = Page().PlotRect();
        const ChartNetwork network{c.frequency, c.width, c.rssi};
        const ChannelChart chart(Page().Band(), std::vector<ChartNetwork>{network}, plot.left, plot.right,
                                 Page().Advised());
        const COLORREF colour = ChannelChart::ColourOf(entry.mac);
        const int top = ChannelChart::Y(c.rssi, plot.top, plot.bottom);
        // Top at the signal: its row is inked from one block edge to the
        // other, the row over it is free.
        const auto [first, last] = Run(top, colour);
        EXPECT_EQ(first, chart.X(c.low));
        EXPECT_EQ(last, chart.X(c.high));
        EXPECT_EQ(Run(top - 1, colour).first, -1);
        // The edges slope down outside the block and reach the floor.
        const auto [footFirst, footLast] = Run(plot.bottom - 1, colour);
        EXPECT_LE(footFirst, first);
        EXPECT_GE(footLast, last);
        EXPECT_GE(last - first, ChannelChart::kMinChannelPixels * static_cast<int>(c.width) / 20);
    }
}

TEST_F(ChannelsPage, SecuredHillIsSolidAndOpenHillHatched)
{
    const ScanEntry secured = Network(1, 2412, 20, -50, SECURITY_WPA3);
    const ScanEntry open = Network(2, 2462, 20, -50, SECURITY_OPEN);
    ASSERT_NE(ChannelChart::ColourOf(secured.mac), ChannelChart::ColourOf(open.mac));
    Hear({secured, open});
    const RECT plot = Page().PlotRect();
    const int row = ChannelChart::Y(-70, plot.top, plot.bottom);
    struct Case {
        const ScanEntry& entry;
        bool solid;
    };
    for (const Case& c : {Case{secured, true}, Case{open, false}}) {
        const COLORREF colour = ChannelChart::ColourOf(c.entry.mac);
        const auto [first, last] = Run(row, colour);
        ASSERT_GE(first, 0);
        int inked = 0;
        for (int x = first; x <= last; ++x)
            inked += Pixel(x, row) == colour ? 1 : 0;
        if (c.solid) {
            EXPECT_EQ(inked, last - first + 1);
        } else {
            EXPECT_LT(inked, (last - first + 1) / 2);
        }
    }
}

TEST_F(ChannelsPage, BandsNeverMixAndATapMovesToTheNextBandWithNetworks)
{
    const ScanEntry low = Network(1, 2412, 20, -50, SECURITY_WPA2);   // 2.4 GHz channel 1
    const ScanEntry high = Network(2, 5955, 20, -50, SECURITY_WPA2);  // 6 GHz channel 1
    const COLORREF lowColour = ChannelChart::ColourOf(low.mac);
    const COLORREF highColour = ChannelChart::ColourOf(high.mac);
    ASSERT_NE(lowColour, highColour);
    Hear({low, high});
    EXPECT_EQ(Text(IDC_CHANNEL_BAND), u"2.4 GHz");
    EXPECT_TRUE(Shows(lowColour));
    EXPECT_FALSE(Shows(highColour));
    // No 5 GHz networks: straight on to 6 GHz, then back.
    Tap();
    EXPECT_EQ(Text(IDC_CHANNEL_BAND), u"6 GHz");
    EXPECT_TRUE(Shows(highColour));
    EXPECT_FALSE(Shows(lowColour));
    Tap();
    EXPECT_EQ(Text(IDC_CHANNEL_BAND), u"2.4 GHz");
    // A tap on the line under the graph does not switch.
    RECT client{};
    Page().GetClientRect(&client);
    Page().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, client.bottom - 2));
    EXPECT_EQ(Text(IDC_CHANNEL_BAND), u"2.4 GHz");
}

TEST_F(ChannelsPage, FiltersAndTheLastScanDecideWhatIsDrawnNotWhatIsCounted)
{
    const ScanEntry secured = Network(1, 2412, 20, -40, SECURITY_WPA2);  // channel 1
    const ScanEntry open = Network(2, 2437, 20, -45, SECURITY_OPEN);     // channel 6
    const ScanEntry gone = Network(3, 2462, 20, -45, SECURITY_OPEN);     // channel 11, heard once
    Hear({secured, open, gone});
    EXPECT_TRUE(Shows(ChannelChart::ColourOf(gone.mac)));
    Hear({secured, open});
    EXPECT_FALSE(Shows(ChannelChart::ColourOf(gone.mac)));
    EXPECT_EQ(Text(IDC_QUIETEST_CHANNEL), u"Quietest channel: 11");

    g_settings.SetValue(SettingHideWEP, 1);
    Page().Refresh();
    Paint();
    EXPECT_FALSE(Shows(ChannelChart::ColourOf(secured.mac)));
    EXPECT_TRUE(Shows(ChannelChart::ColourOf(open.mac)));
    // The hidden network still fills channel 1.
    EXPECT_EQ(Text(IDC_QUIETEST_CHANNEL), u"Quietest channel: 11\n1 hidden network counted");

    g_language.SelectLanguage(6);
    Page().Refresh();
    EXPECT_EQ(Text(IDC_QUIETEST_CHANNEL), u"Ruhigster Kanal: 11\n1 verborgenes Netz mitgezählt");
    g_language.SelectLanguage(0);
}

// Names on crowded channels, the issue's own among them.
std::vector<ScanEntry> Crowded24()
{
    const char16_t* names[] = {u"City-Free-WiFi", u"TP-Link_44AB",   u"Bäckerei Brötchen", u"Кафе Пушкин",
                               u"寿司バー 2.4G",  u"FRITZ!Box 7590", u"Vodafone-Homespot", u"eduroam",
                               u"DIRECT-7F-HP",   u"Telekom_FON",    u"TheQuickBrownFox",  u"JumpsOverTheLazy",
                               u"Zuhause",        u"Ωmega",          u"NETGEAR-5G-GUEST",  u"Çamlıca Apt"};
    const ULONG frequencies[] = {2412, 2437, 2462, 2412, 2437, 2462, 2422, 2452, 2412, 2437, 2462, 2432};
    std::vector<ScanEntry> scan;
    for (std::size_t i = 0; i < std::size(names); ++i)
        scan.push_back(Named(names[i], static_cast<BYTE>(i + 1), frequencies[i % std::size(frequencies)],
                             i % 5 == 0 ? 40 : 20, -48 - static_cast<LONG>(3 * i % 40), SECURITY_WPA2));
    return scan;
}

std::vector<ScanEntry> Crowded5()
{
    std::vector<ScanEntry> scan;
    for (BYTE i = 0; i < 12; ++i)
        scan.push_back(Named(i % 2 == 0 ? u"Büro-Netz-Obergeschoss" : u"Гостевая сеть", static_cast<BYTE>(40 + i),
                             i < 6 ? 5180 : 5500, i % 3 == 0 ? 80 : 20, -45 - 4 * i, SECURITY_WPA3));
    return scan;
}

class ChannelsPageZoomed : public ChannelsPage, public ::testing::WithParamInterface<int> {
protected:
    void TearDown() override
    {
        platform::core::ChangeZoom(1);
        ChannelsPage::TearDown();
    }
};

// On crowded channels, at each zoom: no name's box touches another's, each
// is painted whole over its own background with text that stands out from
// it by 4.5:1 or more (measured from the pixels), its swatch in its hill's
// colour; every hill keeps its colour, named or not.
TEST_P(ChannelsPageZoomed, NamesOnCrowdedChannelsNeverOverlapAndCanBeRead)
{
    platform::core::ChangeZoom(GetParam());
    struct Case {
        const char* what;
        std::vector<ScanEntry> scan;
        int taps;
    };
    const Case cases[] = {{"2.4 GHz", Crowded24(), 0}, {"5 GHz", Crowded5(), 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_apList.Clear();
        Close();
        Open();
        Hear(c.scan);
        for (int i = 0; i < c.taps; ++i)
            Tap();
        const auto [back, ink] = PageColours();
        const std::vector<CChannelsDlg::DrawnLabel>& labels = Page().Labels();
        ASSERT_GE(labels.size(), 5u);
        RECT client{};
        Page().GetClientRect(&client);
        const RECT plot = Page().PlotRect();
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const CChannelsDlg::DrawnLabel& label = labels[i];
            SCOPED_TRACE(std::string("label ") + std::to_string(i));
            const RECT& box = label.box;
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(LabelLayout::Intersect(box, labels[j].box)) << "over label " << j;
            EXPECT_GE(box.left, plot.left + 1);
            EXPECT_GE(box.top, 0);
            EXPECT_LE(box.right, plot.right);
            EXPECT_LE(box.bottom, plot.bottom);
            // The colours of the box's pixels, the swatch apart.
            std::map<COLORREF, int> counts;
            for (int y = box.top; y < box.bottom; ++y)
                for (int x = box.left; x < box.right; ++x) {
                    const COLORREF pixel = Pixel(x, y);
                    if (x >= label.swatch.left && x < label.swatch.right && y >= label.swatch.top &&
                        y < label.swatch.bottom) {
                        EXPECT_EQ(pixel, label.colour) << "swatch at " << x << "," << y;
                        continue;
                    }
                    ++counts[pixel];
                    // Nothing but the text, smoothed onto the background.
                    for (int shift : {0, 8, 16}) {
                        const int p = static_cast<int>((pixel >> shift) & 0xFF);
                        const int b = static_cast<int>((back >> shift) & 0xFF);
                        const int t = static_cast<int>((label.ink >> shift) & 0xFF);
                        EXPECT_TRUE(p >= std::min(b, t) - 1 && p <= std::max(b, t) + 1)
                            << "a foreign colour at " << x << "," << y << ": " << std::hex << pixel;
                    }
                }
            // The background is the most common colour; the text's is the
            // most common of the rest.
            std::vector<std::pair<int, COLORREF>> byCount;
            for (const auto& [colour, count] : counts)
                byCount.push_back({count, colour});
            std::sort(byCount.rbegin(), byCount.rend());
            ASSERT_GE(byCount.size(), 2u) << "no text";
            EXPECT_EQ(byCount[0].second, back);
            EXPECT_GE(ChannelChart::Contrast(byCount[1].second, byCount[0].second), 4.5)
                << std::hex << byCount[1].second << " on " << byCount[0].second;
            // The text ends inside its box: the padding columns are clear.
            for (int y = box.top; y < box.bottom; ++y) {
                EXPECT_EQ(Pixel(box.left, y), back) << "row " << y;
                EXPECT_EQ(Pixel(box.right - 1, y), back) << "row " << y;
            }
        }
        for (const ScanEntry& e : c.scan)
            EXPECT_TRUE(Shows(ChannelChart::ColourOf(e.mac))) << "the hill of " << static_cast<int>(e.mac[5]);
    }
}

INSTANTIATE_TEST_SUITE_P(Zoom, ChannelsPageZoomed, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) { return "Zoom" + std::to_string(info.param); });

// The line under the graph: the advice, how many hidden networks it
// counted, or that there is none; the advised channel marked on the axis,
// which holds it even when no network is on it.
TEST_F(ChannelsPage, AdviceLineAndItsMarkOnTheAxis)
{
    struct Case {
        const char* what;
        std::vector<ScanEntry> scan;
        bool hideSecured;
        int language;
        int taps;
        const char16_t* line;
        int advised;
    };
    const ScanEntry open6 = Network(9, 2437, 20, -60, SECURITY_OPEN);
    const ScanEntry secured1 = Network(1, 2412, 20, -50, SECURITY_WPA2);
    const ScanEntry secured1b = Network(2, 2412, 20, -55, SECURITY_WPA2);
    const ScanEntry secured1c = Network(3, 2417, 20, -65, SECURITY_WEP);
    // 5 GHz: 36 to 48 taken; 52 and 149 both free, 52 watches for radar.
    const ScanEntry wide36 = Network(20, 5180, 80, -60, SECURITY_WPA3);
    const Case cases[] = {
        {"nothing heard", {}, false, 0, 0, u"No networks heard", 0},
        {"nothing heard, in Russian", {}, false, 5, 0, u"Сети не обнаружены", 0},
        {"nothing hidden", {secured1, open6}, false, 0, 0, u"Quietest channel: 11", 11},
        {"three hidden counted",
         {secured1, secured1b, secured1c, open6},
         true,
         0,
         0,
         u"Quietest channel: 11\n3 hidden networks counted",
         11},
        {"one hidden counted", {secured1, open6}, true, 0, 0, u"Quietest channel: 11\n1 hidden network counted", 11},
        {"three hidden counted, in German",
         {secured1, secured1b, secured1c, open6},
         true,
         6,
         0,
         u"Ruhigster Kanal: 11\n3 verborgene Netze mitgezählt",
         11},
        {"only hidden networks: advice all the same",
         {secured1},
         true,
         0,
         0,
         u"Quietest channel: 6\n1 hidden network counted",
         6},
        {"5 GHz: radar-free 149 over 52, on the axis without a network",
         {wide36, open6},
         false,
         0,
         1,
         u"Quietest channel: 149",
         149},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_language.SelectLanguage(c.language);
        g_settings.SetValue(SettingHideWEP, c.hideSecured ? 1 : 0);
        g_apList.Clear();
        Close();
        Open();
        Hear(c.scan);
        for (int i = 0; i < c.taps; ++i)
            Tap();
        EXPECT_EQ(Text(IDC_QUIETEST_CHANNEL), c.line);
        EXPECT_EQ(Page().Advised(), c.advised);
        const auto [back, ink] = PageColours();
        const RECT plot = Page().PlotRect();
        // Two rows of text take room from the graph, one row does not.
        RECT line{};
        ::GetWindowRect(Page().GetDlgItemHwnd(IDC_QUIETEST_CHANNEL), &line);
        const bool twoRows = std::u16string_view(c.line).find(u'\n') != std::u16string_view::npos;
        EXPECT_GE(line.bottom - line.top, twoRows ? 24 : 10);
        EXPECT_LT(line.bottom - line.top, twoRows ? 30 : 17);
        POINT corner{line.left, line.top};
        ::ScreenToClient(Page().m_hWnd, &corner);
        EXPECT_LE(plot.bottom, corner.y - 13);
        const RECT mark = Page().AdvisedMark();
        if (c.advised == 0) {
            EXPECT_EQ(mark.right - mark.left, 0);
            continue;
        }
        // The mark: the number in the background's colour on a box of the
        // text's, under the axis, at the advised channel's tick.
        std::vector<ChartNetwork> shown;
        for (const ScanEntry& e : c.scan)
            if (!c.hideSecured || e.privacy == 0) {
                ChannelBand band{};
                if (ChannelChart::BandOf(e.frequency, band) && band == Page().Band())
                    shown.push_back({e.frequency, e.width, e.rssi});
            }
        const ChannelChart chart(Page().Band(), shown, plot.left, plot.right, c.advised);
        int tick = -1;
        for (const AxisTick& t : chart.Ticks())
            if (t.channel == c.advised)
                tick = t.x;
        ASSERT_GE(tick, 0) << "the axis lacks the advised channel";
        EXPECT_GE(tick, mark.left);
        EXPECT_LT(tick, mark.right);
        EXPECT_GT(mark.top, plot.bottom);
        EXPECT_EQ(Pixel(mark.left, mark.top), ink);
        EXPECT_EQ(Pixel(mark.right - 1, mark.bottom - 1), ink);
        int numberPixels = 0;
        for (int y = mark.top; y < mark.bottom; ++y)
            for (int x = mark.left; x < mark.right; ++x)
                numberPixels += Pixel(x, y) == back ? 1 : 0;
        EXPECT_GT(numberPixels, 5);
    }
    g_language.SelectLanguage(0);
}

TEST_F(ChannelsPage, SignalAxisSaysDbm)
{
    EXPECT_EQ(g_language.GetText(IDS_DBM), u"dBm");
    Hear({Network(1, 2412, 20, -50, SECURITY_WPA2)});
    const auto [back, ink] = PageColours();
    const RECT plot = Page().PlotRect();
    // The unit stands halfway between the top two numbers, left of the axis.
    const int row = ChannelChart::Y(-30, plot.top, plot.bottom);
    int inked = 0;
    for (int y = row - 5; y <= row + 5; ++y)
        for (int x = 0; x < plot.left - 1; ++x)
            inked += Pixel(x, y) == ink ? 1 : 0;
    EXPECT_GT(inked, 15);
}

// Nothing of the graph right of the plot, whatever the page's width: the
// axis, the hills and the channel numbers all end inside it.
TEST_F(ChannelsPage, NothingRunsPastTheRightEdgeOverATableOfWidths)
{
    // An ordinary 6 GHz scan: networks spread over the band.
    const std::vector<ScanEntry> scan = {
        Network(1, 5955, 160, -55, SECURITY_WPA3), Network(2, 6115, 80, -70, SECURITY_WPA3),
        Network(3, 6275, 20, -75, SECURITY_WPA3),  Network(4, 6435, 160, -62, SECURITY_WPA3),
        Network(5, 6595, 20, -80, SECURITY_WPA3),  Network(6, 6755, 80, -66, SECURITY_WPA3),
        Network(7, 6915, 20, -72, SECURITY_WPA3),  Network(8, 7075, 20, -81, SECURITY_WPA3),
        Network(9, 7115, 20, -61, SECURITY_WPA3),
    };
    const int widths[] = {150, 173, 190, 200, 209, 218, 225, 240};
    for (int width : widths) {
        SCOPED_TRACE("width " + std::to_string(width));
        g_apList.Clear();
        Close();
        Open();
        RECT client{};
        Page().GetClientRect(&client);
        Page().MoveWindow(0, 0, width, client.bottom);
        Hear(scan);
        Tap();
        ASSERT_EQ(Text(IDC_CHANNEL_BAND), u"6 GHz");
        const auto [back, ink] = PageColours();
        const RECT plot = Page().PlotRect();
        for (int y = 0; y < plot.bottom + 13; ++y)
            for (int x = plot.right + 1; x < width; ++x)
                ASSERT_EQ(Pixel(x, y), back) << "at " << x << "," << y;
    }
}

}  // namespace
