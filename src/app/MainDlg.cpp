#include "app/MainDlg.h"

#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/core/Idle.h"
#include "platform/gdi/Gdi.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kExitButton = 1000;
constexpr int kSuspendButton = 1006;
constexpr int kActivityIcon = 1008;
constexpr int kTabContainer = 1009;
constexpr int kSysColorIndexFlag = 0x40000000;

}  // namespace

CMainDlg::CMainDlg(CWnd* parent) : CColoredDlg(102, parent) {}

CMainDlg::~CMainDlg()
{
    delete m_scannerPage;
    if (m_dialogFont != nullptr)
        DeleteObject(m_dialogFont);
}

UINT CMainDlg::GetScanInterval()
{
    LONG speed = 0;
    g_settings.GetValue(SettingScanSpeed, speed);
    if (speed >= 1 && speed <= 5)
        return static_cast<UINT>(speed) * 500;
    return 1000;
}

BOOL CMainDlg::OnInitDialog()
{
    CColoredDlg::OnInitDialog();
    m_tabs.SubclassDlgItem(kTabContainer, this);
    m_suspendButton.SubclassDlgItem(kSuspendButton, this);
    m_exitButton.SubclassDlgItem(kExitButton, this);
    m_activityIcon.SubclassDlgItem(kActivityIcon, this);

    m_dialogFont = CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, u"Tahoma");
    const COLORREF caption = GetSysColor(kSysColorIndexFlag | COLOR_ACTIVECAPTION);
    SetBackColor(caption);
    SetTextColor(GetSysColor(kSysColorIndexFlag | COLOR_CAPTIONTEXT));

    // The scanner page lies where the tab container is.
    m_scannerPage = new CScannerDlg(nullptr);
    m_scannerPage->Create(148, this);
    m_scannerPage->SetBackColor(CaptionTint());
    m_scannerPage->SetTextColor(RGB(0, 0, 0));
    RECT area{};
    m_tabs.GetWindowRect(&area);
    POINT origin{area.left, area.top};
    ScreenToClient(&origin);
    m_tabs.ShowWindow(SW_HIDE);
    m_scannerPage->MoveWindow(origin.x, origin.y, area.right - area.left, area.bottom - area.top, TRUE);
    m_scannerPage->ShowWindow(SW_SHOW);

    m_exitButton.SetWindowText(g_language.GetText(2));
    m_exitButton.SetFont(m_dialogFont);
    m_suspendButton.SetWindowText(g_language.GetText(3));
    m_suspendButton.SetFont(m_dialogFont);

    FillAdapterList();
    ApplyLandscapeLayout();
    StartScanCycle();
    return TRUE;
}

void CMainDlg::FillAdapterList()
{
    WCHAR names[CWifiTarv::kAdapterNamesBufferSize / sizeof(WCHAR)] = {};
    DWORD length = CWifiTarv::kAdapterNamesBufferSize;
    if (!m_wifi.GetAdapters(names, &length) || length == 0)
        return;
    const CString text(names, length / sizeof(WCHAR));
    // The names in the list's order: split at the commas, sorted.
    std::vector<CString> adapters;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(u',', start);
        const CString piece = text.substr(start, comma == CString::npos ? CString::npos : comma - start);
        if (!piece.empty())
            adapters.push_back(piece);
        if (comma == CString::npos || piece.empty())
            break;
        start = comma + 1;
    }
    if (adapters.empty())
        return;
    std::sort(adapters.begin(), adapters.end());
    g_settings.SetString(SettingAdapter, adapters.front());
}

void CMainDlg::OnAdapterSelChange() {}

void CMainDlg::ApplyLandscapeLayout()
{
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return;
    if (work.right - work.left <= work.bottom - work.top)
        return;
    RECT r{};
    m_exitButton.GetWindowRect(&r);
    m_exitButton.MoveWindow(r.top + 15, r.left + 55, (r.right - r.left) - 15, r.bottom - r.top, TRUE);
    m_suspendButton.GetWindowRect(&r);
    m_suspendButton.MoveWindow(r.top + 15, r.left, (r.right - r.left) - 15, r.bottom - r.top, TRUE);
    m_activityIcon.GetWindowRect(&r);
    m_activityIcon.MoveWindow(r.top + 30, r.left, r.right - r.left, r.bottom - r.top, TRUE);
    MoveWindow(&work, TRUE);
}

void CMainDlg::StartScanCycle()
{
    g_apList.Clear();
    const UINT interval = GetScanInterval();
    SetTimer(kScanTimer, interval);
    SetTimer(kBlinkTimer, interval / 2);
    m_blinkCount = 0;
    m_activityIcon.ShowWindow(SW_SHOW);
}

void CMainDlg::OnTimer(UINT_PTR id)
{
    const UINT interval = GetScanInterval();
    CString adapter;
    g_settings.GetString(SettingAdapter, adapter);
    if (id == kScanTimer) {
        KillTimer(kScanTimer);
        ScanEntry entries[kScanCapacity];
        DWORD count = 0;
        if (m_wifi.GetBSSIDs(adapter.c_str(), entries, kScanCapacity, &count) && count > 0)
            g_apList.Merge(entries, static_cast<int>(count));
        m_wifi.RefreshBSSIDs(adapter.c_str());
        if (m_scannerPage != nullptr)
            m_scannerPage->Refresh();
        SetTimer(kScanTimer, interval);
    } else if (id == kBlinkTimer) {
        SystemIdleTimerReset();
        KillTimer(kBlinkTimer);
        ++m_blinkCount;
        if (!adapter.empty()) {
            m_activityIcon.ShowWindow(m_blinkCount % 2 != 0 ? SW_SHOW : SW_HIDE);
            SetTimer(kBlinkTimer, interval / 2);
        } else {
            m_activityIcon.ShowWindow(SW_HIDE);
        }
    }
}

void CMainDlg::OnSuspend()
{
    const UINT interval = GetScanInterval();
    if (m_scanning) {
        m_scanning = false;
        KillTimer(kScanTimer);
        KillTimer(kBlinkTimer);
        m_activityIcon.ShowWindow(SW_HIDE);
    } else {
        m_scanning = true;
        SetTimer(kScanTimer, interval);
        SetTimer(kBlinkTimer, interval / 2);
        m_blinkCount = 0;
        m_activityIcon.ShowWindow(SW_SHOW);
    }
}

void CMainDlg::OnExit()
{
    KillTimer(kScanTimer);
    KillTimer(kBlinkTimer);
    EndDialog(1);
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kExitButton) {
            OnExit();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kSuspendButton) {
            OnSuspend();
            return 0;
        }
        break;
    default:
        break;
    }
    return CColoredDlg::WindowProc(message, wParam, lParam);
}
