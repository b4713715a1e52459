// The scanner page's list: rows coloured by their network's state, and a
// signal wedge at the start of every heard network's "Sig" cell.
#pragma once

#include "catalogue/ApRecord.h"
#include "platform/core/ListView.h"

class CListCtrlEx : public CListCtrl {
    DECLARE_DYNAMIC(CListCtrlEx)

public:
    CListCtrlEx();

    // Draws the wedge: count = right - left - 2 one-pixel columns rising from
    // the bottom, lit green in proportion to the signal, in segments of 3, 4
    // or 5 columns by size. top is not used. The context's pen is restored.
    static void DrawSignalBar(HDC dc, int left, int top, int right, int bottom, int size, LONG rssi);
    // How many of count columns are lit for a signal.
    static int LitColumns(int count, LONG rssi);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);

    ApRecord m_rowRecord;
};
