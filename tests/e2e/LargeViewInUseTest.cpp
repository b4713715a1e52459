// The large view in the main window, laid out as the user sees it: the
// history graph's pixels on a minute of readings with misses among them, with
// the digits, the name and the status line left where they were; and the
// scan ticks and the Suspend button working the click.
#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/core/ListView.h"
#include "platform/core/Menu.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/Sound.h"
#include "tests/e2e/MainWindowFixture.h"
#include "tests/support/FakeProvider.h"
#include "tests/support/NetworkEntry.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(192, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);

class LargeViewInUse : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        platform::core::SetTickCountOverride([this] { return m_now; });
        m_radio->interfaces = {"stored0"};
        m_radio->wireless = {{"stored0", true}};
        platform::SetWirelessProvider(m_radio);
        Open();
        // Heard after the window's start, which empties the catalogue.
        const ScanEntry followed = NetworkEntry(1, -67);
        g_apList.Merge(&followed, 1);
        Scanner().Refresh();
        // "Go large" chosen on the first row's popup.
        platform::core::SetMenuChooser([](HMENU, POINT) { return static_cast<UINT>(ID_GO_LARGE); });
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = Scanner().GetDlgItemHwnd(IDC_NETWORK_LIST);
        click.hdr.idFrom = IDC_NETWORK_LIST;
        click.hdr.code = NM_CLICK;
        click.iItem = 0;
        Scanner().SendMessage(WM_NOTIFY, IDC_NETWORK_LIST, reinterpret_cast<LPARAM>(&click));
        platform::testing::ProcessEvents();
        platform::core::SetMenuChooser(nullptr);
        ASSERT_FALSE(::IsWindowVisible(Scanner().GetDlgItemHwnd(IDC_NETWORK_LIST))) << "not in the large view";
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        platform::core::SetTickCountOverride({});
        g_apList.Clear();
    }

    CScannerDlg& Scanner() const { return *m_dialog->GetScannerPage(); }

    // A scan completes at `tick`, hearing the followed network at `rssi`, or
    // (0) missing it.
    void Scan(DWORD tick, LONG rssi)
    {
        m_now = tick;
        const ScanEntry heard = NetworkEntry(1, rssi);
        Scanner().OnScanCompleted(&heard, rssi != 0 ? 1 : 0);
    }

    std::vector<COLORREF> Pixels()
    {
        InvalidateRect(Scanner().m_hWnd, nullptr, TRUE);
        UpdateWindow(Scanner().m_hWnd);
        platform::testing::ProcessEvents();
        m_size = platform::testing::ImageSize(Scanner().m_hWnd);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < m_size.cy; ++y)
            for (int x = 0; x < m_size.cx; ++x)
                pixels.push_back(platform::testing::ImagePixel(Scanner().m_hWnd, x, y));
        return pixels;
    }
    COLORREF At(const std::vector<COLORREF>& pixels, int x, int y) const
    {
        return pixels[static_cast<std::size_t>(y * m_size.cx + x)];
    }

    DWORD m_now = 5000000;
    SIZE m_size{};
    std::shared_ptr<FakeProvider> m_radio = std::make_shared<FakeProvider>();
};

TEST_F(LargeViewInUse, GraphShowsReadingsMissesAndTheBestBelowTheDigits)
{
    const std::vector<COLORREF> empty = Pixels();

    // A minute of scans with misses among them.
    struct Reading {
        int secondsAgo;
        LONG rssi;  // 0: missed
    };
    const Reading readings[] = {{55, -80}, {50, 0}, {40, -45}, {30, 0}, {29, 0}, {20, -60}, {10, -95}, {0, -70}};
    const DWORD end = m_now + 60000;
    for (const Reading& r : readings)
        Scan(end - static_cast<DWORD>(r.secondsAgo) * 1000, r.rssi);
    const std::vector<COLORREF> drawn = Pixels();

    // The time line: the row that is grey across the page.
    int axis = -1;
    for (int y = 0; y < m_size.cy && axis < 0; ++y) {
        int grey = 0;
        for (int x = 0; x < m_size.cx; ++x)
            grey += At(drawn, x, y) == kGrey ? 1 : 0;
        if (grey > m_size.cx / 2)
            axis = y;
    }
    ASSERT_GE(axis, 0) << "no time line";
    int left = m_size.cx;
    int right = 0;
    for (int x = 0; x < m_size.cx; ++x) {
        if (At(drawn, x, axis) == kGrey) {
            left = std::min(left, x);
            right = std::max(right, x + 1);
        }
    }
    const int width = right - left;
    auto column = [&](int secondsAgo) { return left + width - 1 - secondsAgo * 1000 * width / 60000; };
    auto barHeight = [&](int x) {
        int h = 0;
        while (axis - 1 - h >= 0 && At(drawn, x, axis - 1 - h) != At(empty, x, axis - 1 - h))
            ++h;
        return h;
    };
    auto marked = [&](int x) { return At(drawn, x, axis + 1) == kBlack && At(drawn, x, axis + 2) == kBlack; };

    for (const Reading& r : readings) {
        SCOPED_TRACE(r.secondsAgo);
        const int x = column(r.secondsAgo);
        if (r.rssi == 0) {
            EXPECT_TRUE(marked(x));
            EXPECT_EQ(barHeight(x), 0);
        } else {
            EXPECT_FALSE(marked(x));
            EXPECT_EQ(At(drawn, x, axis - 1), r.rssi == -45 ? kRed : kBlack);
        }
    }
    // Stronger readings stand taller, in proportion; the weakest still shows.
    const int best = barHeight(column(40));
    EXPECT_GE(best, 10);
    EXPECT_GT(best, barHeight(column(20)));
    EXPECT_GT(barHeight(column(20)), barHeight(column(0)));
    EXPECT_GT(barHeight(column(0)), barHeight(column(55)));
    EXPECT_EQ(barHeight(column(10)), 1);
    // Where no scan completed, nothing.
    EXPECT_EQ(barHeight(column(45)), 0);
    EXPECT_FALSE(marked(column(45)));

    // The digits and the name are where they were: every changed pixel lies
    // in the band below the digits' ink and above the status line.
    int inkBottom = 0;
    for (int y = 0; y < axis; ++y)
        for (int x = 0; x < m_size.cx; ++x)
            if (At(empty, x, y) == kBlack)
                inkBottom = y;
    ASSERT_GT(inkBottom, 40) << "no digits";
    int changed = 0;
    for (int y = 0; y < m_size.cy; ++y) {
        for (int x = 0; x < m_size.cx; ++x) {
            if (At(drawn, x, y) == At(empty, x, y))
                continue;
            ++changed;
            EXPECT_GT(y, inkBottom) << x << "," << y;
            EXPECT_LE(y, axis + 2) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 0);
    const RECT status = platform::testing::WindowPlace(Scanner().GetDlgItemHwnd(IDC_STATUS));
    EXPECT_LT(axis + 2, status.top);

    // A minute later the readings have gone.
    m_now += 60000;
    EXPECT_EQ(Pixels(), empty);
}

// Each scan tick that reads the adapter is a completed scan for the large
// view; Suspend silences the click and Resume brings it back.
// A name wider than the page is shortened at its end with an ellipsis,
// centred with room to spare, not cut off at both edges; an ampersand in a
// name is shown as itself, not taken as the prefix of an underlined letter.
TEST_F(LargeViewInUse, ALongNameIsShortenedAtItsEndAndShownAsItIs)
{
    // The columns the name's ink spans in the page's top 20 rows, against the
    // band's colour at the page's middle of its first row.
    const auto inkSpan = [this](const std::u16string& name) {
        ScanEntry renamed = NetworkEntry(1, -60);
        std::fill(std::begin(renamed.ssid), std::end(renamed.ssid), u'\0');
        std::copy(name.begin(), name.end(), renamed.ssid);
        g_apList.Merge(&renamed, 1);
        const std::vector<COLORREF> pixels = Pixels();
        const COLORREF background = At(pixels, m_size.cx / 2, 0);
        std::pair<int, int> span{m_size.cx, -1};
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < m_size.cx; ++x) {
                if (At(pixels, x, y) != background)
                    span = {std::min(span.first, x), std::max(span.second, x)};
            }
        }
        return span;
    };
    const auto [left, right] = inkSpan(u"TheQuickBrownFoxJumpsOverTheLazy");
    ASSERT_GE(right, left) << "no name drawn";
    EXPECT_GE(left, 2);
    EXPECT_LE(right, m_size.cx - 3);

    const auto [ampLeft, ampRight] = inkSpan(u"A&B");
    const auto [plainLeft, plainRight] = inkSpan(u"AB");
    EXPECT_GE((ampRight - ampLeft) - (plainRight - plainLeft), 6) << "the ampersand is not drawn";
}

TEST_F(LargeViewInUse, ScanTicksSetTheClickAndSuspendSilencesIt)
{
    setenv("PULSE_SERVER", "unix:/nonexistent/tarvolin-test", 1);
    FakeProvider& radio = *m_radio;
    platform::WirelessBss followed;
    followed.bssid = {2, 0, 0, 0, 0, 1};
    followed.ssid = {'N', '1'};
    followed.frequencyMhz = 2437;
    g_settings.SetValue(SettingSoundOff, 0);
    std::vector<DWORD> rates;
    SetClickObserver([](DWORD rate, void* context) { static_cast<std::vector<DWORD>*>(context)->push_back(rate); },
                     &rates);
    struct Step {
        const char* name;
        LONG rssi;       // 0: the scan misses the network
        DWORD error;     // the adapter's answer
        bool suspend;    // the Suspend/Resume button is clicked instead of a tick
        DWORD clicking;  // the rate after the step
    };
    const Step steps[] = {
        {"heard", -60, ERROR_SUCCESS, false, 3162},
        {"heard stronger", -30, ERROR_SUCCESS, false, 10000},
        {"missed: the pace holds", 0, ERROR_SUCCESS, false, 10000},
        {"an unreadable adapter changes nothing", -90, ERROR_GEN_FAILURE, false, 10000},
        {"suspended", -90, ERROR_SUCCESS, true, 0},
        {"resumed", -90, ERROR_SUCCESS, true, 10000},
        {"heard weaker", -90, ERROR_SUCCESS, false, 1000},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        m_now += 500;
        radio.networks.clear();
        if (step.rssi != 0) {
            followed.rssiDbm = step.rssi;
            radio.networks.push_back(followed);
        }
        radio.error = step.error;
        if (step.suspend)
            m_dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SUSPEND, BN_CLICKED), 0);
        else
            ScanTick();
        ASSERT_FALSE(rates.empty());
        EXPECT_EQ(rates.back(), step.clicking);
    }
    Close();
    EXPECT_EQ(rates.back(), 0u) << "the click outlived the window";
    SetClickObserver(nullptr, nullptr);
    g_settings.SetValue(SettingSoundOff, 1);
}

}  // namespace
