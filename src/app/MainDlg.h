// The main window: dialog IDD_MAIN with the tab container holding the scanner,
// options and channels pages, the Exit and Suspend/Resume buttons and the activity icon.
// Its scan timer drives the whole program; its blink timer blinks the
// activity icon.
#pragma once

#include "controls/ColoredDlg.h"
#include "controls/CustomButton.h"
#include "controls/CustomTabContainer.h"
#include "pages/PageOwner.h"
#include "res/Resource.h"
#include "scan/WifiTarv.h"

class CScannerDlg;
class COptionsDlg;
class CChannelsDlg;

class CMainDlg : public CColoredDlg, public CPageOwner {
public:
    explicit CMainDlg(CWnd* parent = nullptr);
    ~CMainDlg() override;

    // The scan interval from the ScanSpeed setting: 1 to 5 give 500 to
    // 2500 ms, anything else 1000 ms.
    static UINT GetScanInterval();

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnTimer(UINT_PTR id);
    void OnSuspend();
    void OnExit();
    // Stores the adapter chosen in the options page's list as the Adapter
    // setting; the next scan tick uses it.
    void OnAdapterSelChange();

    CScannerDlg* GetScannerPage() override { return m_scannerPage; }
    // Entering the large view starts scans of its network's channel alone at
    // once; leaving it asks for a sweep of every channel at once and goes
    // back to the chosen scan speed.
    void LargeViewChanged() override;
    COptionsDlg* GetOptionsPage() const { return m_optionsPage; }
    CChannelsDlg* GetChannelsPage() const { return m_channelsPage; }

    static constexpr UINT_PTR kScanTimer = 291;
    static constexpr UINT_PTR kBlinkTimer = 292;
    static constexpr int kScanCapacity = 128;
    // While the large view follows a network: how often the scan tick looks
    // whether the scan of its channel has ended, and how long a scan may take
    // before it is taken as lost and asked for again.
    static constexpr UINT kFollowPollMs = 25;
    static constexpr DWORD kFollowScanTimeoutMs = 3000;

    // Posted by a scan tick that found something in the way of scanning;
    // wParam is the number of the text that tells the user.
    static constexpr UINT kTellUserMessage = WM_USER + 0x100;

protected:
    void SetUpTabs();
    void SetUpButtons();
    void FillAdapterList();
    void ApplyLandscapeLayout();
    void StartScanCycle();
    // Starts the scan timer and the blink timer at half its interval, with
    // the activity icon shown for a full interval.
    void StartTimers(UINT interval);
    // The frequency (MHz) of the network the large view follows; 0 when the
    // large view is not on the screen (another page is in front) or the
    // network's frequency is not known.
    ULONG FollowedFrequency() const;
    // One scan tick while the large view follows a network on frequency:
    // when the scan asked for has ended, reads it, asks for the next one of
    // that channel alone and has the page draw the reading.
    void FollowTick(const CString& adapter, ULONG frequency, UINT interval);
    // Reads the scan that has ended into the catalogue (only what it says of
    // the frequency that scan was asked for, when not every channel), asks
    // for the next one of frequency (0: every channel; a sweep too when the
    // adapter refuses to scan that frequency alone) and has the pages show
    // the result. Whether a scan is now on its way: the one asked for, or
    // one already under way that kept the adapter busy.
    bool ReadScanAndAskAgain(const CString& adapter, ULONG frequency);
    // Creates a page from its template as a child of this window, in the
    // pages' colours, and adds it as tab `index` titled with text `title`.
    // The page, or null when the container refused it (and deleted it).
    template <typename Page> Page* AddTabPage(Page* page, UINT templateId, int index, int title);
    // Sends a message to the options page's adapter list.
    LRESULT SendToAdapterList(UINT message, WPARAM wParam, LPARAM lParam);
    // After a tick's scan request: decides whether something stands in the
    // way of scanning that the user has not been told about yet.
    void CheckScanObstacles(bool refreshed, DWORD error);
    // Has the text shown once per run, after the tick that asked for it.
    void TellUserOnce(bool& told, int text);
    void OnTellUser(int text);

    CCustomTabContainer m_tabs;
    CScannerDlg* m_scannerPage = nullptr;
    COptionsDlg* m_optionsPage = nullptr;
    CChannelsDlg* m_channelsPage = nullptr;
    CWifiTarv m_wifi;
    bool m_scanning = true;
    CCustomButton m_suspendButton;
    CCustomButton m_exitButton;
    CWnd m_activityIcon;
    HFONT m_dialogFont = nullptr;
    LONG m_blinkCount = 0;
    // The scan of the followed channel on its way: asked for at m_followAskedAt
    // (tick count), when the adapter's count of ended scans was m_followEnded.
    bool m_followAsked = false;
    ULONG m_followEnded = 0;
    DWORD m_followAskedAt = 0;
    // The frequency the latest scan request named (0: every channel), which
    // tells the catalogue what the scan read next can say.
    ULONG m_askedFrequency = 0;
    // A frequency the adapter refused to scan alone: followed with sweeps.
    ULONG m_sweepInsteadOf = 0;
    // What the user has been told this run.
    bool m_adapterFound = false;
    bool m_toldNoAdapter = false;
    bool m_toldScanRefused = false;
};
