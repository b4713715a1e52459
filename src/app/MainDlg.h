// The main window: dialog 102 with its pages and buttons, run modally.
#pragma once

#include "platform/core/Dialog.h"

class CMainDlg : public CDialog {
public:
    explicit CMainDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnExit();
};
