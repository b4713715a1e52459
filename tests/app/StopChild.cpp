// The program as `tarvolin` runs it, on a simulated radio, with one thing a
// user opens once the main window runs:
//
//   stop_child main       nothing more
//   stop_child about      the About box of the options page
//   stop_child menu       the language pop-up menu of the options page
//   stop_child question   the question that confirms a new language
//
// It writes "open" on its standard output once that is on the screen, so
// the test knows when to send its signals.
#include "app/MainDlg.h"
#include "pages/OptionsDlg.h"
#include "platform/Testing.h"
#include "platform/core/Menu.h"
#include "platform/core/WinApp.h"
#include "platform/devices/SimulatedProvider.h"
#include "res/Resource.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr int kAboutButton = IDC_ABOUT;
constexpr int kLanguageButton = IDC_LANGUAGE;

void Tap(HWND button)
{
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

// Tells the test, once, when what was opened shows.
void ReportWhenOpen(bool popup)
{
    auto* poll = new QTimer(QApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [poll, popup] {
        QWidget* shown = popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        const bool open = popup ? qobject_cast<QMenu*>(shown) != nullptr : qobject_cast<QMessageBox*>(shown) != nullptr;
        if (!open || !shown->isVisible())
            return;
        poll->stop();
        const char line[] = "open\n";
        [[maybe_unused]] const auto written = ::write(STDOUT_FILENO, line, sizeof line - 1);
    });
    poll->start(20);
}

void Open(const std::string& what)
{
    auto* main = dynamic_cast<CMainDlg*>(AfxGetApp()->m_pMainWnd);
    if (main == nullptr || main->GetOptionsPage() == nullptr)
        return;
    HWND options = main->GetOptionsPage()->m_hWnd;
    if (what == "main") {
        const char line[] = "open\n";
        [[maybe_unused]] const auto written = ::write(STDOUT_FILENO, line, sizeof line - 1);
    } else if (what == "about") {
        ReportWhenOpen(false);
        Tap(GetDlgItem(options, kAboutButton));
    } else if (what == "menu") {
        ReportWhenOpen(true);
        Tap(GetDlgItem(options, kLanguageButton));
    } else if (what == "question") {
        // The first language the menu offers is taken as a person would
        // tap it; the question that follows is a real box.
        platform::core::SetMenuChooser([](HMENU popup, POINT) { return GetMenuItemID(popup, 0); });
        ReportWhenOpen(false);
        Tap(GetDlgItem(options, kLanguageButton));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    platform::InstallStopSignals();
    const std::string what = argc > 1 ? argv[1] : "main";
    std::string error;
    platform::SetWirelessProvider(platform::MakeSimulatedProviderFromText("adapter eth0 wired\n", error));
    platform::RunWhenMainWindowRuns([what] { Open(what); });
    return platform::AfxWinMain(argc, argv);
}
