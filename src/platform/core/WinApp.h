// CWinApp: the application object. The platform's entry creates the
// application environment and calls the program's InitInstance once.
#pragma once

#include "platform/core/Wnd.h"

#include <functional>

class CWinApp {
public:
    explicit CWinApp(const WCHAR* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's start-up and shut-down; returns whether to go on running.
    virtual BOOL InitInstance();
    // The framework's own registry key name; the program's settings do not
    // go through it.
    void SetRegistryKey(const WCHAR* key);

    CWnd* m_pMainWnd = nullptr;
    CString m_registryKey;
};

// The one application object.
CWinApp* AfxGetApp();

// The handheld shell's initialisation of its extra controls. Linux has no
// such controls to prepare; the call exists so the start-up keeps its order.
BOOL SHInitExtraControls();

namespace platform {

// Makes SIGTERM, SIGINT and SIGHUP a stop request (StopRequest.h): whatever
// is open ends, the main window's run ends as by its caption's OK button, and
// the program shuts down in order and saves its settings. Called first thing
// in main, before anything can take a while.
void InstallStopSignals();

// Registers the Tahoma faces of Debian's fonts-wine with Qt when present;
// otherwise fontconfig's substitute for "Tahoma" serves.
void RegisterProgramFonts();

// Runs work once the first modal dialog (the main window) is up and its
// loop runs: used by tools that drive the program headless.
void RunWhenMainWindowRuns(std::function<void()> work);

// Creates the application environment, then runs the application object's
// InitInstance. Command-line arguments are not looked at.
int AfxWinMain(int argc, char** argv);

}  // namespace platform
