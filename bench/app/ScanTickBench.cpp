// One whole scan tick of the program (read-out, merge, refresh, painting of
// the visible rows) on the simulated radio, and the memory the program holds
// over a long walk.
#include "app/Globals.h"
#include "app/MainDlg.h"
#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/core/WinApp.h"
#include "platform/core/WindowObject.h"
#include "platform/devices/SimulatedProvider.h"
#include "platform/gdi/GdiInternal.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

extern const char* const kStreetWalkScenario;

namespace {

// 78 networks heard at every step, their signals moving.
std::string SeventyEightNetworks()
{
    std::ostringstream text;
    text << "steps 100\nafter loop\nadapter wlan0 wireless\n";
    for (int i = 0; i < 78; ++i) {
        char mac[32];
        std::snprintf(mac, sizeof mac, "02:00:00:00:%02x:%02x", i / 256, i % 256);
        text << "network " << mac << " ssid=\"Net " << i << "\" channel=" << (1 + i % 13)
             << (i % 3 ? " secured" : " open") << " signal=0:-" << (40 + i % 50) << ",50:-" << (90 - i % 40) << ",99:-"
             << (40 + i % 50) << "\n";
    }
    return text.str();
}

// A hundred networks; with details, each says its security and width, so
// that its records carry the elements a beacon would (RSN, HT, VHT, EHT).
std::string HundredNetworks(bool details)
{
    static const char* const kSecurity[] = {"open", "wep", "wpa", "owe", "wpa2", "wpa3"};
    static const char* const kWidth[] = {"20", "40", "80", "160"};
    std::ostringstream text;
    text << "steps 100\nafter loop\nadapter wlan0 wireless\n";
    for (int i = 0; i < 100; ++i) {
        char mac[32];
        std::snprintf(mac, sizeof mac, "02:00:00:01:%02x:%02x", i / 256, i % 256);
        text << "network " << mac << " ssid=\"Net " << i << "\" channel=" << (i % 2 ? 36 + 4 * (i % 8) : 1 + i % 13)
             << " signal=0:-" << (40 + i % 50) << ",99:-" << (90 - i % 40);
        if (details)
            text << " security=" << kSecurity[i % 6] << " width=" << (i % 2 ? kWidth[i % 4] : "20");
        else
            text << (i % 6 ? " secured" : " open");
        text << "\n";
    }
    return text.str();
}

// Records in the catalogue that the radio never hears again.
void FillCatalogue(int records)
{
    std::vector<ScanEntry> entries(static_cast<std::size_t>(std::min(records, 128)));
    for (int done = 0; done < records;) {
        const int n = std::min<int>(static_cast<int>(entries.size()), records - done);
        for (int i = 0; i < n; ++i) {
            ScanEntry& e = entries[static_cast<std::size_t>(i)];
            std::memset(&e, 0, sizeof e);
            const int id = done + i;
            e.mac[0] = 0x0A;
            std::memcpy(e.mac + 2, &id, 4);
            e.ssid[0] = u'X';
            e.rssi = -70;
            e.channel = 6;
            e.infrastructureMode = 1;
        }
        g_apList.Merge(entries.data(), n);
        done += n;
    }
}

long StatusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    return -1;
}

struct Program {
    explicit Program(const std::string& scenario)
    {
        std::string error;
        platform::SetWirelessProvider(platform::MakeSimulatedProviderFromText(scenario, error));
        platform::core::HoldTimers(true);
        g_settings.SetValue(SettingScanSpeed, 2);
        g_settings.SetValue(SettingFontSize, 12);
        g_settings.SetValue(SettingSoundOff, 1);
        g_language.SelectLanguage(0);
        dialog.Create(IDD_MAIN, nullptr);
        dialog.ShowWindow(SW_SHOW);
    }
    ~Program() { dialog.DestroyWindow(); }
    void Tick()
    {
        dialog.SendMessage(WM_TIMER, CMainDlg::kScanTimer, 0);
        // Paint what a screen would show: the list's visible rows.
        HWND__* w = platform::core::Lookup(dialog.m_hWnd);
        benchmark::DoNotOptimize(w->widget->grab());
        // What the event loop does between ticks: deliver what was posted.
        QCoreApplication::processEvents();
    }
    CMainDlg dialog;
};

void WholeScanTick(benchmark::State& state)
{
    Program program(SeventyEightNetworks());
    FillCatalogue(static_cast<int>(state.range(0)));
    for (auto _ : state)
        program.Tick();
    state.counters["records"] = static_cast<double>(state.range(0)) + 78;
}
BENCHMARK(WholeScanTick)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A tick of a hundred networks whose records carry only their names
// (argument 0) or the elements of their security and width (argument 1).
void ScanTickWithElements(benchmark::State& state)
{
    Program program(HundredNetworks(state.range(0) != 0));
    for (auto _ : state)
        program.Tick();
}
BENCHMARK(ScanTickWithElements)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Twenty thousand ticks of the street walk, each painted: the resident
// memory after 1 000, 10 000 and 20 000 ticks, once no new networks appear,
// and the peak.
void StreetWalkMemory(benchmark::State& state)
{
    for (auto _ : state) {
        Program program(kStreetWalkScenario);
        for (int i = 0; i < 1000; ++i)
            program.Tick();
        const long after1000 = StatusKilobytes("VmRSS:");
        for (int i = 1000; i < 10000; ++i)
            program.Tick();
        const long after10000 = StatusKilobytes("VmRSS:");
        for (int i = 10000; i < 20000; ++i)
            program.Tick();
        state.counters["rss_kB_after_1000_ticks"] = static_cast<double>(after1000);
        state.counters["rss_kB_after_10000_ticks"] = static_cast<double>(after10000);
        state.counters["rss_kB_after_20000_ticks"] = static_cast<double>(StatusKilobytes("VmRSS:"));
        state.counters["peak_kB"] = static_cast<double>(StatusKilobytes("VmHWM:"));
    }
}
BENCHMARK(StreetWalkMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::RegisterProgramFonts();
    platform::gdi::UseFixedPalette();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
