// The entry of `tarvolin-demo`: the same program on the simulated radio, on
// the shipped street-walk scenario or a scenario file, in real time: scans
// take as long as a real radio's and the walk goes at walking pace. With
// --screenshot it runs headless through a number of scan ticks and writes
// the main window's image as PNG.
#include "platform/Testing.h"
#include "platform/Text.h"
#include "platform/core/Menu.h"
#include "platform/core/MessageBox.h"
#include "platform/core/PixelZoom.h"
#include "platform/core/WinApp.h"
#include "platform/core/WindowObject.h"
#include "platform/devices/SimulatedProvider.h"
#include "platform/entry/CommandLine.h"
#include "platform/registry/RegistryPath.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

extern const char* const kStreetWalkScenario;

namespace {

// The program's scan timer: the demo drives ticks by sending its message.
constexpr UINT_PTR kScanTimer = 291;

struct Options {
    platform::entry::SharedOptions shared;
    std::string scenario;
    std::string screenshot;
    int ticks = 20;
    std::string view = "scanner";
};

// The band a channels view asks for, as the page names it; null for other views.
const char16_t* ChannelsBand(const std::string& view)
{
    if (view == "channels")
        return u"2.4 GHz";
    if (view == "channels-5")
        return u"5 GHz";
    if (view == "channels-6")
        return u"6 GHz";
    return nullptr;
}

void Usage(FILE* out)
{
    std::fputs("Usage: tarvolin-demo [--zoom N] [--scenario FILE] [--screenshot FILE.png [--ticks N] [--view "
               "scanner|large|options|channels[-5|-6]]]\n"
               "\n"
               "Runs Tarvolin on a simulated radio instead of a wireless adapter.\n"
               "  --scenario FILE     play this scenario instead of the built-in street walk\n"
               "                      (the format: /usr/share/doc/tarvolin/scenario-format.md,\n"
               "                      the street walk: /usr/share/tarvolin/street-walk.scn)\n"
               "  --screenshot FILE   run without a window on screen through N scan ticks,\n"
               "                      write the main window's image to FILE as PNG, and end;\n"
               "                      a message box's text goes to stderr\n"
               "  --ticks N           scan ticks before the screenshot (default 20)\n"
               "  --view VIEW         scanner: the network list (default); large: the first\n"
               "                      network enlarged; options: the options page;\n"
               "                      channels: the channels page on 2.4 GHz, channels-5\n"
               "                      and channels-6 on 5 and 6 GHz\n",
               out);
    std::fputs(platform::entry::kSharedOptionsHelp, out);
}

bool Parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tarvolin-demo: %s needs a value\n", arg.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string number;
        switch (platform::entry::ParseSharedOption("tarvolin-demo", argc, argv, i, options.shared)) {
        case platform::entry::ParseResult::Taken: continue;
        case platform::entry::ParseResult::HelpWanted: Usage(stdout); std::exit(0);
        case platform::entry::ParseResult::VersionWanted: platform::entry::PrintVersion(stdout); std::exit(0);
        case platform::entry::ParseResult::Failed: return false;
        case platform::entry::ParseResult::NotShared: break;
        }
        if (arg == "--scenario") {
            if (!value(options.scenario))
                return false;
        } else if (arg == "--screenshot") {
            if (!value(options.screenshot))
                return false;
        } else if (arg == "--view") {
            if (!value(options.view))
                return false;
            if (options.view != "scanner" && options.view != "large" && options.view != "options" &&
                ChannelsBand(options.view) == nullptr) {
                std::fprintf(stderr, "tarvolin-demo: unknown view '%s'\n", options.view.c_str());
                return false;
            }
        } else if (arg == "--ticks") {
            if (!value(number))
                return false;
            char* end = nullptr;
            const long ticks = std::strtol(number.c_str(), &end, 10);
            if (end == number.c_str() || *end != 0 || ticks < 0 || ticks > 1000000) {
                std::fprintf(stderr, "tarvolin-demo: --ticks needs a number from 0 to 1000000\n");
                return false;
            }
            options.ticks = static_cast<int>(ticks);
        } else {
            std::fprintf(stderr, "tarvolin-demo: unknown option '%s'\n\n", arg.c_str());
            Usage(stderr);
            return false;
        }
    }
    return true;
}

HWND FindByClass(HWND window, const std::u16string& className)
{
    HWND__* w = platform::core::Lookup(window);
    if (w == nullptr)
        return nullptr;
    if (w->className == className && IsWindowVisible(window))
        return window;
    for (HWND child : w->children)
        if (HWND found = FindByClass(child, className))
            return found;
    return nullptr;
}

// Taps the first row of the visible list and picks the first entry of the
// popup that opens, as a person would.
void OpenLargeView(HWND main)
{
    HWND list = FindByClass(main, u"SysListView32");
    HWND__* w = platform::core::Lookup(list);
    if (w == nullptr)
        return;
    auto* table = w->widget->findChild<QTableView*>();
    if (table == nullptr || table->model()->rowCount() == 0)
        return;
    platform::core::SetMenuChooser([](HMENU popup, POINT) { return GetMenuItemID(popup, 0); });
    const QPoint at = table->visualRect(table->model()->index(0, 0)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, table->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, table->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(table->viewport(), &press);
    QCoreApplication::sendEvent(table->viewport(), &release);
    platform::core::SetMenuChooser(nullptr);
}

// Taps along the tab strip, left to right, until another page than the
// network list shows: the options page.
void OpenOptionsView(HWND main)
{
    HWND tabs = FindByClass(main, u"CCustomTabCtrl");
    RECT strip{};
    if (tabs == nullptr || !GetClientRect(tabs, &strip))
        return;
    const int y = 8;
    for (int x = 2; x < strip.right && FindByClass(main, u"SysListView32") != nullptr; x += 4) {
        SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(tabs, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
}

// The visible static text whose text ends in "GHz": the band the channels
// page shows.
HWND FindBandName(HWND window)
{
    HWND__* w = platform::core::Lookup(window);
    if (w == nullptr || !IsWindowVisible(window))
        return nullptr;
    if (w->className == u"static") {
        WCHAR text[32] = {};
        const int length = GetWindowTextW(window, text, 32);
        if (length >= 3 && std::u16string_view(text, static_cast<std::size_t>(length)).ends_with(u"GHz"))
            return window;
    }
    for (HWND child : w->children)
        if (HWND found = FindBandName(child))
            return found;
    return nullptr;
}

// Taps along the tab strip until a page shows that is neither the network
// list nor the options page (which has the adapter box), then taps its graph
// until it shows the band asked for, at most once per band.
void OpenChannelsView(HWND main, const char16_t* band)
{
    HWND tabs = FindByClass(main, u"CCustomTabCtrl");
    RECT strip{};
    if (tabs == nullptr || !GetClientRect(tabs, &strip))
        return;
    const int y = 8;
    for (int x = 2; x < strip.right && FindBandName(main) == nullptr; x += 4) {
        SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(tabs, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    for (int tap = 0; tap < 3; ++tap) {
        HWND name = FindBandName(main);
        WCHAR text[32] = {};
        if (name == nullptr || (GetWindowTextW(name, text, 32) > 0 && std::u16string_view(text) == band))
            return;
        HWND page = GetParent(name);
        SendMessageW(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 20));
        SendMessageW(page, WM_LBUTTONUP, 0, MAKELPARAM(40, 20));
        QCoreApplication::processEvents();
    }
}

void TakeScreenshot(const Options& options)
{
    CWinApp* app = AfxGetApp();
    HWND main = app != nullptr && app->m_pMainWnd != nullptr ? app->m_pMainWnd->m_hWnd : nullptr;
    HWND__* w = platform::core::Lookup(main);
    if (w == nullptr) {
        std::fprintf(stderr, "tarvolin-demo: the main window did not open\n");
        std::exit(1);
    }
    // The ticks come at once, each after the time its timer would have
    // taken: the picture shows what a person would see after that long.
    const auto radio = platform::GetWirelessProvider();
    for (int i = 0; i < options.ticks && IsWindow(main); ++i) {
        if (radio)
            platform::AdvanceSimulatedClock(*radio, platform::core::TimerPeriod(main, kScanTimer));
        SendMessageW(main, WM_TIMER, kScanTimer, 0);
        QCoreApplication::processEvents();
    }
    if (options.view == "large")
        OpenLargeView(main);
    else if (options.view == "options")
        OpenOptionsView(main);
    else if (const char16_t* band = ChannelsBand(options.view))
        OpenChannelsView(main, band);
    QCoreApplication::processEvents();
    const QImage image = w->widget->grab().toImage();
    if (!image.save(QString::fromStdString(options.screenshot), "PNG")) {
        std::fprintf(stderr, "tarvolin-demo: cannot write %s\n", options.screenshot.c_str());
        std::exit(1);
    }
    std::printf("%s\n", options.screenshot.c_str());
    PostMessageW(main, WM_COMMAND, IDOK, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    platform::InstallStopSignals();
    Options options;
    if (!Parse(argc, argv, options))
        return 2;
    platform::core::SetPixelZoom(options.shared.zoom);
    std::string error;
    // A person watches the walk on the wall clock; a screenshot moves the
    // clock itself, tick by tick.
    const platform::SimulatedTime time =
        options.screenshot.empty() ? platform::SimulatedTime::RealTime : platform::SimulatedTime::Manual;
    auto provider = options.scenario.empty() ? platform::MakeSimulatedProviderFromText(kStreetWalkScenario, error, time)
                                             : platform::MakeSimulatedProvider(options.scenario, error, time);
    if (!provider) {
        std::fprintf(stderr, "tarvolin-demo: %s\n", error.c_str());
        return 1;
    }
    platform::SetWirelessProvider(provider);
    // The demo's settings (its simulated adapter above all) stay apart from
    // the real program's.
    platform::SetRegistryFileName("registry-demo.reg");
    if (!options.screenshot.empty()) {
        // A screenshot needs no display.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Nor a person: a message box (no adapter, scans refused) is said on
        // stderr and answered, and the run goes on to its picture.
        platform::core::SetMessageBoxAnswerer([](const std::u16string& text, UINT) {
            std::fprintf(stderr, "tarvolin-demo: %s\n", platform::Utf16ToUtf8(text).c_str());
            return IDOK;
        });
        // Runs once the main window's modal run has started.
        platform::RunWhenMainWindowRuns([options] { TakeScreenshot(options); });
    }
    return platform::AfxWinMain(argc, argv);
}
