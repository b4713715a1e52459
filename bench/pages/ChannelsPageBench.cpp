// The channels page with a crowded catalogue: what a scan tick costs it while
// shown (the quietest channel, the texts, the whole graph painted), and the
// quietest channel alone.
#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "pages/ChannelsDlg.h"
#include "platform/Testing.h"
#include "platform/core/WinApp.h"
#include "platform/core/Window.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

// n networks spread over the three bands, all heard, most of them secured.
std::vector<ScanEntry> Crowd(int n)
{
    constexpr ULONG kFrequencies[] = {2412, 2437, 2462, 2427, 5180, 5220, 5500, 5745, 5955, 6115};
    constexpr ULONG kWidths[] = {20, 40, 80, 160};
    std::vector<ScanEntry> entries(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        ScanEntry& e = entries[static_cast<std::size_t>(i)];
        e.mac[0] = 2;
        e.mac[4] = static_cast<BYTE>(i / 256);
        e.mac[5] = static_cast<BYTE>(i % 256);
        e.ssid[0] = u'N';
        e.ssid[1] = static_cast<WCHAR>(u'a' + i % 26);
        e.rssi = -30 - i % 65;
        e.frequency = kFrequencies[i % 10];
        e.width = i % 10 < 4 ? 20 : kWidths[i % 4];
        e.infrastructureMode = 1;
        e.privacy = i % 4 != 0 ? 1 : 0;
        e.security = e.privacy != 0 ? SECURITY_WPA2 : SECURITY_OPEN;
    }
    return entries;
}

void ChannelsPageTick(benchmark::State& state)
{
    g_settings.SetValue(SettingSoundOff, 1);
    g_apList.Clear();
    std::vector<ScanEntry> entries = Crowd(static_cast<int>(state.range(0)));
    g_apList.Merge(entries.data(), static_cast<int>(entries.size()));
    CWnd host;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"BenchHost";
    RegisterClassW(&wc);
    host.CreateEx(0, u"BenchHost", u"", WS_VISIBLE, RECT{0, 0, 240, 268}, nullptr, 0);
    CChannelsDlg page;
    page.Create(IDD_CHANNELS_PAGE, &host);
    page.ShowWindow(SW_SHOW);
    for (auto _ : state) {
        page.Refresh();
        UpdateWindow(page.m_hWnd);
    }
    page.DestroyWindow();
    host.DestroyWindow();
    g_apList.Clear();
}
BENCHMARK(ChannelsPageTick)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

void QuietestChannel(benchmark::State& state)
{
    std::vector<ChartNetwork> heard;
    for (const ScanEntry& e : Crowd(static_cast<int>(state.range(0))))
        heard.push_back({e.frequency, e.width, e.rssi});
    for (auto _ : state)
        benchmark::DoNotOptimize(ChannelChart::Quietest(ChannelBand::Ghz5, heard));
}
BENCHMARK(QuietestChannel)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::RegisterProgramFonts();
    platform::gdi::UseFixedPalette();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
