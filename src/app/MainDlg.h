// The main window: dialog 102 with the scanner page, the Exit and
// Suspend/Resume buttons and the activity icon. Its scan timer drives the
// whole program; its blink timer blinks the activity icon.
#pragma once

#include "controls/ColoredDlg.h"
#include "scan/WifiTarv.h"

class CScannerDlg;

class CMainDlg : public CColoredDlg {
public:
    explicit CMainDlg(CWnd* parent = nullptr);
    ~CMainDlg() override;

    // The scan interval from the ScanSpeed setting: 1 to 5 give 500 to
    // 2500 ms, anything else 1000 ms.
    static UINT GetScanInterval();

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnTimer(UINT_PTR id);
    void OnSuspend();
    void OnExit();
    void OnAdapterSelChange();

    CScannerDlg* GetScannerPage() const { return m_scannerPage; }

    static constexpr UINT_PTR kScanTimer = 291;
    static constexpr UINT_PTR kBlinkTimer = 292;
    static constexpr int kScanCapacity = 128;

protected:
    void FillAdapterList();
    void ApplyLandscapeLayout();
    void StartScanCycle();

    CWnd m_tabs;
    CScannerDlg* m_scannerPage = nullptr;
    CWifiTarv m_wifi;
    bool m_scanning = true;
    CWnd m_suspendButton;
    CWnd m_exitButton;
    CWnd m_activityIcon;
    HFONT m_dialogFont = nullptr;
    LONG m_blinkCount = 0;
};
