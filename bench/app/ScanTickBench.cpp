// One whole scan tick of the program (read-out, merge, refresh, painting of
// the visible rows) on the simulated radio, and the memory the program holds
// over a long walk.
#include "app/Globals.h"
#include "app/MainDlg.h"
#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/Testing.h"
#include "platform/TestingWidgets.h"
#include "platform/core/MessageBox.h"
#include "platform/core/WinApp.h"
#include "platform/devices/SimulatedProvider.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPixmap>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
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

// Set when a message box came up: the program met something a person would
// have to answer, so its ticks measure the wrong thing.
bool g_boxShown = false;

// The radio in place before the window exists: the window's scanning engine
// opens its device as it is made.
struct Radio {
    explicit Radio(const std::string& scenario)
    {
        std::string error;
        // Each tick finds the scan before it ended, as ticks a scan's time
        // apart would, so the walk moves on at every tick.
        auto provider = platform::MakeSimulatedProviderFromText(scenario, error, platform::SimulatedTime::Leaping);
        if (!provider) {
            std::fprintf(stderr, "bench_scan_tick: %s\n", error.c_str());
            std::exit(1);
        }
        platform::SetWirelessProvider(provider);
    }
    ~Radio() { platform::SetWirelessProvider(nullptr); }
};

struct Program {
    explicit Program(const std::string& scenario) : radio(scenario)
    {
        platform::core::HoldTimers(true);
        g_settings.SetValue(SettingScanSpeed, 2);
        g_settings.SetValue(SettingFontSize, 12);
        g_settings.SetValue(SettingSoundOff, 1);
        g_language.SelectLanguage(0);
        dialog.Create(IDD_MAIN, nullptr);
        dialog.ShowWindow(SW_SHOW);
    }
    ~Program() { dialog.DestroyWindow(); }
    Radio radio;
    void Tick()
    {
        dialog.SendMessage(WM_TIMER, CMainDlg::kScanTimer, 0);
        // Paint what a screen would show: the list's visible rows.
        benchmark::DoNotOptimize(platform::testing::WidgetOf(dialog.m_hWnd)->grab());
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
    if (g_boxShown)
        state.SkipWithError("a message box came up");
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
    if (g_boxShown)
        state.SkipWithError("a message box came up");
}
BENCHMARK(ScanTickWithElements)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Ticks of the street walk; --walk_ticks=N (at least 20) shortens the walk
// for a quick run.
int g_walkTicks = 20000;

// Twenty thousand ticks of the street walk, each painted: the resident
// memory after 1 000, 10 000 and 20 000 ticks (a twentieth, half and all of
// the walk), once no new networks appear, and the peak.
void StreetWalkMemory(benchmark::State& state)
{
    const int marks[] = {g_walkTicks / 20, g_walkTicks / 2, g_walkTicks};
    for (auto _ : state) {
        Program program(kStreetWalkScenario);
        int done = 0;
        for (const int mark : marks) {
            for (; done < mark; ++done)
                program.Tick();
            state.counters["rss_kB_after_" + std::to_string(mark) + "_ticks"] =
                static_cast<double>(StatusKilobytes("VmRSS:"));
        }
        state.counters["peak_kB"] = static_cast<double>(StatusKilobytes("VmHWM:"));
    }
    if (g_boxShown)
        state.SkipWithError("a message box came up");
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
    // Nobody is there to answer a box: say what it said and fail the run.
    platform::core::SetMessageBoxAnswerer([](const std::u16string& text, UINT) {
        std::fprintf(stderr, "bench_scan_tick: message box: %s\n",
                     QString::fromStdU16String(text).toStdString().c_str());
        g_boxShown = true;
        return IDOK;
    });
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string walk = "--walk_ticks=";
        if (arg.rfind(walk, 0) == 0 && std::atoi(arg.c_str() + walk.size()) >= 20) {
            g_walkTicks = std::atoi(arg.c_str() + walk.size());
            continue;
        }
        std::fprintf(stderr, "bench_scan_tick: unknown argument '%s'\n", argv[i]);
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return g_boxShown ? 1 : 0;
}
