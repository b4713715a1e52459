#include "platform/core/WinApp.h"

#include "platform/core/DisplayOpening.h"
#include "platform/core/Idle.h"
#include "platform/core/LiveZoom.h"
#include "platform/core/PixelZoom.h"
#include "platform/core/SingleInstance.h"
#include "platform/core/StopRequest.h"
#include "platform/registry/RegistryPath.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

// The icon's resource file lives in this static library: nothing else would
// make the linker keep it.
static void LoadAppIcon()
{
    Q_INIT_RESOURCE(AppIcon);
}

namespace {

CWinApp* g_app = nullptr;
int g_stopPipe[2] = {-1, -1};

// The desktop entry's name (data/org.tarvolin.Tarvolin.desktop).
constexpr const char* kDesktopFileName = "org.tarvolin.Tarvolin";

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
    // Watched from the first look at the screen (the zoom is chosen from
    // its size) until the application has its display.
    std::optional<platform::core::DisplayOpening> opening(std::in_place, argv[0]);
    platform::core::PrepareScaleFactor(argv[0]);
    platform::core::DeclareMissingSessionBus();
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    // The desktop entry's name is the window's class, so that docks and
    // Alt-Tab group the window with its menu entry and show its icon. The
    // class is taken when the display is opened.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QCoreApplication::setApplicationName(QString::fromLatin1(kDesktopFileName));
    QApplication application(qtArgc, qtArgv);
    opening.reset();
    application.setQuitOnLastWindowClosed(false);
    LoadAppIcon();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    RegisterProgramFonts();
    platform::core::InstallZoomKeys();

    QSocketNotifier* stopNotifier = nullptr;
    if (g_stopPipe[0] >= 0) {
        stopNotifier = new QSocketNotifier(g_stopPipe[0], QSocketNotifier::Read, &application);
        QObject::connect(stopNotifier, &QSocketNotifier::activated, [] {
            char buffer[16];
            while (::read(g_stopPipe[0], buffer, sizeof buffer) > 0) { }
            platform::core::RequestStop();
        });
    }
    // A second copy on the same settings brings the first to the front and
    // ends before it reads or writes them. Pictures taken off screen stand
    // apart.
    std::unique_ptr<platform::core::SingleInstance> instance;
    if (!QGuiApplication::platformName().startsWith(QLatin1String("offscreen"))) {
        instance = std::make_unique<platform::core::SingleInstance>(
            QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString(), platform::RegistryFilePath());
        if (!instance->Claim(platform::core::RaiseProgramWindows))
            return 0;
    }
    if (g_app != nullptr)
        g_app->InitInstance();
    return 0;
}

}  // namespace platform
