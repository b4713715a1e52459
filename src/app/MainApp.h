// The application object: the program's start-up and shut-down.
#pragma once

#include "platform/core/WinApp.h"

class CMainApp : public CWinApp {
public:
    CMainApp();
    BOOL InitInstance() override;
};
