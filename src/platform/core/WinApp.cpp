#include "platform/core/WinApp.h"

#include "platform/core/DisplayOpening.h"
#include "platform/core/Idle.h"
#include "platform/core/PixelZoom.h"
#include "platform/core/StopRequest.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

CWinApp* g_app = nullptr;
int g_stopPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: the event loop does the rest.
    [[maybe_unused]] const auto written = ::write(g_stopPipe[1], &byte, 1);
}

}  // namespace

CWinApp::CWinApp(const WCHAR*)
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

void CWinApp::SetRegistryKey(const WCHAR* key)
{
    m_registryKey = key != nullptr ? key : u"";
}

CWinApp* AfxGetApp()
{
    return g_app;
}

BOOL SHInitExtraControls()
{
    return TRUE;
}

namespace platform {

void InstallStopSignals()
{
    if (g_stopPipe[0] >= 0)
        return;
    if (::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action { };
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // SIGHUP comes when the terminal closes, and at logout right after
    // SIGTERM: it must not end the program before its settings are saved.
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void RegisterProgramFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const char* path : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QString::fromLatin1(path)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(path));
}

int AfxWinMain(int, char** argv)
{
    platform::core::PrepareScaleFactor();
    platform::core::DeclareMissingSessionBus();
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    std::optional<platform::core::DisplayOpening> opening(std::in_place, argv[0]);
    QApplication application(qtArgc, qtArgv);
    opening.reset();
    application.setQuitOnLastWindowClosed(false);
    RegisterProgramFonts();

    QSocketNotifier* stopNotifier = nullptr;
    if (g_stopPipe[0] >= 0) {
        stopNotifier = new QSocketNotifier(g_stopPipe[0], QSocketNotifier::Read, &application);
        QObject::connect(stopNotifier, &QSocketNotifier::activated, [] {
            char buffer[16];
            while (::read(g_stopPipe[0], buffer, sizeof buffer) > 0) { }
            platform::core::RequestStop();
        });
    }
    if (g_app != nullptr)
        g_app->InitInstance();
    return 0;
}

}  // namespace platform
