// CColoredDlg: the base of every dialog of the program. The dialog and all
// its controls share one background colour, one text colour and one brush,
// so that the windows take the colours of the title bar.
#pragma once

#include "platform/core/Dialog.h"

// A system colour, read by index with the system-colour-index flag.
COLORREF SystemColour(int index);
// The active-caption colour moved halfway towards white, per channel.
COLORREF CaptionTint();
// The per-channel average of the active-caption and caption-text colours.
COLORREF CaptionMix();
// The same rules on given colours.
COLORREF TintOf(COLORREF colour);
COLORREF MixOf(COLORREF a, COLORREF b);

class CColoredDlg : public CDialog {
    DECLARE_DYNAMIC(CColoredDlg)

public:
    explicit CColoredDlg(UINT templateId, CWnd* parent = nullptr);
    ~CColoredDlg() override;

    void SetBackColor(COLORREF colour);
    void SetTextColor(COLORREF colour);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    HBRUSH m_backBrush = nullptr;
    COLORREF m_backColor;
    COLORREF m_textColor;
};
