// The scanner page: the catalogue as a list with a status line and a hint,
// and the large view that follows one network's signal.
#pragma once

#include "controls/ColoredDlg.h"
#include "pages/ListCtrlEx.h"

struct ApRecord;

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
    // Whether the large view is shown, and the number of the record it follows.
    bool IsLargeViewShown() const { return m_largeView; }
    LONG FollowedNumber() const { return m_selectedNumber; }
    // A scan was read while the large view was shown: the followed network
    // was heard at rssiDbm, or the scan missed it (heard false). Called by
    // the scan tick after the merge, once per scan read.
    void OnFollowedScan(bool heard, LONG rssiDbm);

    // The text of one cell of the list, as the list shows it.
    static CString CellText(const ApRecord& record, int column);
    // The width of a column for a list font height.
    static int ColumnWidth(int column, LONG fontSize);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    static constexpr int kColumnCount = 10;

protected:
    void ApplyListFont();
    void OnPaint();
    void DrawLargeView();
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
};
