#include "app/MainDlg.h"

#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "pages/ChannelsDlg.h"
#include "pages/OptionsDlg.h"
#include "pages/ScannerDlg.h"
#include "platform/core/Idle.h"
#include "platform/core/MessageBox.h"
#include "platform/devices/Devices.h"
#include "platform/gdi/Gdi.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <algorithm>
#include <iterator>

namespace {

// The tab container: visible, strip at the top, a page area, scroll buttons
// only when the tabs do not fit.
constexpr DWORD kTabStyle = WS_VISIBLE | TabStyleTop | TabStylePageArea | TabStyleAutoHideButtons;

// The buttons' faces run from the caption colour down to light grey.
constexpr COLORREF kButtonGradientBottom = RGB(200, 200, 200);

}  // namespace

CMainDlg::CMainDlg(CWnd* parent) : CColoredDlg(IDD_MAIN, parent)
{
}

CMainDlg::~CMainDlg()
{
    // The tab container deletes the pages.
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

void CMainDlg::DoDataExchange(CDataExchange* dx)
{
    CColoredDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_TABS, m_tabs);
    DDX_Control(dx, IDC_SUSPEND, m_suspendButton);
    DDX_Control(dx, IDC_ACTIVITY_ICON, m_activityIcon);
    DDX_Control(dx, IDC_EXIT, m_exitButton);
}

BOOL CMainDlg::OnInitDialog()
{
    CColoredDlg::OnInitDialog();

    m_dialogFont = CreateFontW(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, u"Tahoma");
    SetBackColor(SystemColour(COLOR_ACTIVECAPTION));
    SetTextColor(SystemColour(COLOR_CAPTIONTEXT));

    SetUpTabs();
    SetUpButtons();
    FillAdapterList();
    ApplyLandscapeLayout();
    StartScanCycle();
    return TRUE;
}

void CMainDlg::SetUpTabs()
{
    const COLORREF caption = SystemColour(COLOR_ACTIVECAPTION);
    m_tabs.ModifyTabStyle(0, kTabStyle, 0);
    TabColors colours{};
    m_tabs.GetColors(&colours);
    colours.stripBack = caption;
    colours.tabBack = caption;
    colours.selectedBack = CaptionTint();
    colours.tabText = CaptionMix();
    colours.selectedText = RGB(0, 0, 0);
    m_tabs.SetColors(&colours, FALSE);

    m_scannerPage = AddTabPage(new CScannerDlg(nullptr), IDD_SCANNER_PAGE, 0, IDS_SCANNER_TAB);
    m_optionsPage = AddTabPage(new COptionsDlg(nullptr), IDD_OPTIONS_PAGE, 1, IDS_OPTIONS_TAB);
    m_channelsPage = AddTabPage(new CChannelsDlg(nullptr), IDD_CHANNELS_PAGE, 2, IDS_CHANNELS_TAB);
}

template <typename Page> Page* CMainDlg::AddTabPage(Page* page, UINT templateId, int index, int title)
{
    page->Create(templateId, this);
    page->SetBackColor(CaptionTint());
    page->SetTextColor(RGB(0, 0, 0));
    // A page the container refuses is deleted at once: nothing may point at it.
    if (m_tabs.AddPage(index, g_language.GetText(title), page) < 0)
        return nullptr;
    return page;
}

void CMainDlg::SetUpButtons()
{
    const COLORREF caption = SystemColour(COLOR_ACTIVECAPTION);
    m_exitButton.SetBackColor(caption);
    m_exitButton.SetCheckedBackColor(caption);
    m_exitButton.SetGradientColors(caption, kButtonGradientBottom);
    m_exitButton.SetDrawStyle(CCustomButton::kGradientFace);
    m_exitButton.SetTexts(g_language.GetText(IDS_EXIT), CString());
    m_exitButton.SetButtonFont(m_dialogFont);

    // Suspend is push-like: each click flips it and its caption.
    m_suspendButton.SetBackColor(caption);
    m_suspendButton.SetCheckedBackColor(caption);
    m_suspendButton.SetTexts(g_language.GetText(IDS_SUSPEND), g_language.GetText(IDS_RESUME));
    m_suspendButton.SetGradientColors(caption, kButtonGradientBottom);
    m_suspendButton.SetDrawStyle(CCustomButton::kGradientFace);
    m_suspendButton.ModifyStyle(0, BS_PUSHLIKE);
    m_suspendButton.SetButtonFont(m_dialogFont);
}

LRESULT CMainDlg::SendToAdapterList(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_optionsPage == nullptr)
        return CB_ERR;
    const HWND list = m_optionsPage->GetDlgItemHwnd(IDC_ADAPTER_LIST);
    if (list == nullptr)
        return CB_ERR;
    return ::SendMessageW(list, message, wParam, lParam);
}

void CMainDlg::FillAdapterList()
{
    WCHAR names[CWifiTarv::kAdapterNamesBufferSize / sizeof(WCHAR)] = {};
    DWORD length = CWifiTarv::kAdapterNamesBufferSize;
    if (!m_wifi.GetAdapters(names, &length) || length == 0)
        return;
    m_adapterFound = true;
    // The names come comma-separated, up to the terminator; the list sorts
    // them itself.
    const WCHAR* begin = names;
    const WCHAR* end = begin + std::min<std::size_t>(length / sizeof(WCHAR), std::size(names));
    const CString whole(begin, std::find(begin, end, u'\0'));
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = whole.find(u',', start);
        const CString piece = whole.substr(start, comma == CString::npos ? CString::npos : comma - start);
        if (!piece.empty())
            SendToAdapterList(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(piece.c_str()));
        if (comma == CString::npos || piece.empty())
            break;
        start = comma + 1;
    }
    SendToAdapterList(CB_SETCURSEL, 0, 0);
    if (m_optionsPage != nullptr)
        m_optionsPage->UpdateData(FALSE);
    OnAdapterSelChange();
}

void CMainDlg::OnAdapterSelChange()
{
    if (m_optionsPage == nullptr)
        return;
    if (CWnd* list = m_optionsPage->GetDlgItem(IDC_ADAPTER_LIST))
        g_settings.SetString(SettingAdapter, list->GetWindowText());
    // The large view followed a network of the adapter left behind: back to
    // the list, whose scans sweep every channel of the new one.
    if (m_scannerPage != nullptr && m_scannerPage->IsLargeViewShown())
        m_scannerPage->Restore();
}

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
    StartTimers(GetScanInterval());
}

void CMainDlg::StartTimers(UINT interval)
{
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
        if (const ULONG frequency = FollowedFrequency(); frequency != 0) {
            FollowTick(adapter, frequency, interval);
            return;
        }
        ReadScanAndAskAgain(adapter, 0);
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

ULONG CMainDlg::FollowedFrequency() const
{
    if (m_scannerPage == nullptr || !m_scannerPage->IsLargeViewShown() || !m_scannerPage->IsWindowVisible())
        return 0;
    ApRecord record{};
    if (!g_apList.GetByNumber(m_scannerPage->FollowedNumber(), record))
        return 0;
    return record.frequency;
}

void CMainDlg::FollowTick(const CString& adapter, ULONG frequency, UINT interval)
{
    // An adapter that cannot tell when a scan ends is read at the chosen
    // speed instead; its scans still visit the one channel.
    ULONG ended = 0;
    const bool counted = m_wifi.GetScanCount(adapter.c_str(), &ended);
    if (counted && m_followAsked && ended == m_followEnded && GetTickCount() - m_followAskedAt < kFollowScanTimeoutMs) {
        SetTimer(kScanTimer, kFollowPollMs);  // the scan asked for still runs
        return;
    }
    // A channel the adapter refused to scan alone is followed with sweeps.
    const bool asked = ReadScanAndAskAgain(adapter, frequency == m_sweepInsteadOf ? 0 : frequency);
    // A request that failed has no end to wait for: the next one goes out at
    // the chosen speed, so scanning never stops while the view is open.
    m_followAsked = asked;
    m_followEnded = ended;
    m_followAskedAt = GetTickCount();
    SetTimer(kScanTimer, counted && asked ? kFollowPollMs : interval);
}

bool CMainDlg::ReadScanAndAskAgain(const CString& adapter, ULONG frequency)
{
    ScanEntry entries[kScanCapacity];
    DWORD count = 0;
    const bool read = m_wifi.GetBSSIDs(adapter.c_str(), entries, kScanCapacity, &count);
    // After a scan of one channel the networks elsewhere keep what the last
    // sweep said of them.
    if (read && count > 0)
        g_apList.Merge(entries, static_cast<int>(count), m_askedFrequency);
    bool refreshed = m_wifi.RefreshBSSIDs(adapter.c_str(), frequency);
    DWORD error = refreshed ? ERROR_SUCCESS : GetLastError();
    if (!refreshed && frequency != 0 && error == ERROR_INVALID_PARAMETER) {
        // The adapter cannot scan this channel alone (60 GHz, or a channel
        // outside the bands one-channel scans name): sweep every channel,
        // which visits it too, and keep doing so for this frequency.
        m_sweepInsteadOf = frequency;
        frequency = 0;
        refreshed = m_wifi.RefreshBSSIDs(adapter.c_str(), 0);
        error = refreshed ? ERROR_SUCCESS : GetLastError();
    }
    if (refreshed)
        m_askedFrequency = frequency;
    CheckScanObstacles(refreshed, error);
    if (m_scannerPage != nullptr && read)
        m_scannerPage->OnScanCompleted(entries, static_cast<int>(count));
    if (m_scannerPage != nullptr)
        m_scannerPage->Refresh();
    if (m_channelsPage != nullptr)
        m_channelsPage->Refresh();
    // A scan already under way (a sweep asked for before the large view
    // opened, or another program's) ends as well as a new one would: its end
    // is waited for, then the channel is asked for again.
    return refreshed || error == ERROR_BUSY;
}

void CMainDlg::LargeViewChanged()
{
    m_followAsked = false;
    if (!m_scanning)
        return;
    KillTimer(kScanTimer);
    if (FollowedFrequency() != 0) {
        SetTimer(kScanTimer, kFollowPollMs);
        return;
    }
    // Back to the list: a sweep of every channel now, read at the next tick.
    CString adapter;
    g_settings.GetString(SettingAdapter, adapter);
    if (m_wifi.RefreshBSSIDs(adapter.c_str()))
        m_askedFrequency = 0;
    SetTimer(kScanTimer, GetScanInterval());
}

void CMainDlg::CheckScanObstacles(bool refreshed, DWORD error)
{
    if (!m_adapterFound)
        TellUserOnce(m_toldNoAdapter, IDS_NO_ADAPTER);
    else if (!refreshed && error == ERROR_ACCESS_DENIED)
        TellUserOnce(m_toldScanRefused, IDS_SCAN_REFUSED);
    else if (!refreshed && error == ERROR_PRIVILEGE_NOT_HELD)
        TellUserOnce(m_toldScanRefused, IDS_HELPER_NO_CAPABILITY);
}

void CMainDlg::TellUserOnce(bool& told, int text)
{
    if (told)
        return;
    told = true;
    // Posted, so the tick re-arms its timer first and scanning goes on
    // while the box waits for the user.
    PostMessage(kTellUserMessage, static_cast<WPARAM>(text), 0);
}

void CMainDlg::OnTellUser(int text)
{
    MessageBoxW(m_hWnd, g_language.GetText(text).c_str(), u"Tarvolin", MB_OK | MB_ICONINFORMATION);
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
        StartTimers(interval);
    }
    if (m_scannerPage != nullptr)
        m_scannerPage->SetScanning(m_scanning);
    m_followAsked = false;
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
    case WM_TIMER: OnTimer(wParam); return 0;
    case kTellUserMessage: OnTellUser(static_cast<int>(wParam)); return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE && LOWORD(wParam) == IDC_ADAPTER_LIST) {
            OnAdapterSelChange();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_EXIT) {
            OnExit();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_SUSPEND) {
            OnSuspend();
            return 0;
        }
        break;
    default: break;
    }
    return CColoredDlg::WindowProc(message, wParam, lParam);
}
