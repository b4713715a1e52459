// The channels page as it draws: hills read back from its pixels, the band
// switch, the filters and the texts below the graph.
#include "catalogue/ApList.h"
#include "pages/ChannelsDlg.h"
#include "platform/Testing.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "tests/support/PlainWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
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
        const ChannelChart chart(Page().Band(), std::vector<ChartNetwork>{network}, plot.left, plot.right);
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
    EXPECT_EQ(Text(IDC_QUIETEST_CHANNEL), u"Quietest channel: 11");

    g_language.SelectLanguage(6);
    Page().Refresh();
    EXPECT_EQ(Text(IDC_QUIETEST_CHANNEL), u"Ruhigster Kanal: 11");
    g_language.SelectLanguage(0);
}

}  // namespace
