// The scanner page: the catalogue as a list with a status line and a hint,
// and the large view that follows one network's signal.
#pragma once

#include "controls/ColoredDlg.h"
#include "pages/GuideTone.h"
#include "pages/ListCtrlEx.h"
#include "pages/SignalHistory.h"

struct ApRecord;
struct ScanEntry;

class CScannerDlg : public CColoredDlg {
    DECLARE_DYNAMIC(CScannerDlg)

public:
    explicit CScannerDlg(CWnd* parent = nullptr);
    ~CScannerDlg() override;

    // Rebuilds the display list after a scan tick and updates the status line.
    void Refresh();
    // A new list font height, applied at the next paint.
    void SetFontSize(LONG size);
    // Back from the large view to the list, rebuilt from the catalogue.
    void Restore();
    // One completed scan, as read from the adapter (a sweep, or a scan of
    // the followed network's channel alone): the large view takes from it
    // whether the network it follows was heard, and at what signal, for its
    // history and its click, and draws the reading. Ignored while the list
    // is shown.
    void OnScanCompleted(const ScanEntry* entries, int count);
    // Scanning suspended (false) or running again (true): no click while
    // suspended.
    void SetScanning(bool scanning);
    // Whether the large view is shown, and the number of the record it follows.
    bool IsLargeViewShown() const { return m_largeView; }
    LONG FollowedNumber() const { return m_selectedNumber; }

    // The text of one cell of the list, as the list shows it.
    static CString CellText(const ApRecord& record, int column);
    // The width of a column for a list font height.
    static int ColumnWidth(int column, LONG fontSize);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr int kColumnCount = 10;
    // Ends the click when the followed network has not been heard for a while.
    static constexpr UINT_PTR kToneTimer = 293;

protected:
    void ApplyListFont();
    void OnPaint();
    void DrawLargeView();
    // The history graph in the band from the digits' baseline down to the
    // status line, across the page.
    void DrawHistory(HDC dc, const RECT& band);
    // Where the graph goes: below the baseline of digits drawn in `numberRect`
    // (the text's cell ending `textBottom` below its top), above the status
    // line and the hint. Empty when there is no room.
    RECT HistoryBand(HDC dc, const RECT& numberRect, int textBottom);
    // Hands the click's rate to the player: the followed network's while the
    // large view is on the screen, scanning runs and the sound is on; else 0.
    void UpdateTone();
    void OnListClick(const NMHDR* header);
    void OnGetDispInfo(NMHDR* header);
    void OnGoLarge();
    // Highlights the row of m_selectedNumber among the total rows shown.
    void HighlightSelected(LONG total);
    // Tells the window that holds the page that the large view came or went.
    void TellOwnerLargeView();

    LONG m_selectedNumber = 0;
    bool m_fontApplied = false;
    LONG m_fontSize = 0;
    bool m_largeView = false;
    bool m_popupOpen = false;  // the tapped row's popup menu is open
    CListCtrlEx m_list;
    HFONT m_listFont = nullptr;
    CString m_statusText;
    CString m_hintText;
    bool m_scanning = true;
    LONG m_followedNumber = -1;  // whose readings m_history holds
    CSignalHistory m_history;
    CGuideTone m_tone;
    DWORD m_clickRate = 0;  // the rate last handed to the player
    // When the latest scan was read, whatever the page showed; none before
    // the first.
    DWORD m_lastScanTick = 0;
    bool m_scanSeen = false;
};
