// CCustomTabCtrl: a self-drawn tab strip. A row of titled tabs, one of them
// selected, with optional scroll, go-to-end and close buttons, optional
// highlighting of several tabs and in-place editing of a title; it tells its
// parent of taps through WM_NOTIFY with a TabNotify record.
//
// The work is split by concern: CustomTabCtrl.cpp holds the tabs and their
// operations, TabStripGeometry where the strip's parts lie,
// CustomTabLayout.cpp the layout, scrolling and hit-testing,
// CustomTabPaint.cpp the drawing, CustomTabInput.cpp the stylus, timer,
// notifications and the title editor.
#pragma once

#include "controls/TabStripGeometry.h"
#include "controls/TabTypes.h"
#include "platform/core/Wnd.h"
#include "platform/gdi/Gdi.h"

#include <memory>
#include <vector>

class CCustomTabCtrl : public CWnd {
    DECLARE_DYNAMIC(CCustomTabCtrl)

public:
    CCustomTabCtrl();
    ~CCustomTabCtrl() override;

    // Registers the "CCustomTabCtrl" window class once.
    static BOOL RegisterWindowClass();

    // Tabs. Each returns the index or 0 on success, or a TabErr code.
    int InsertItem(int index, const CString& title, DWORD data);
    int DeleteItem(int index);
    int SetCurSel(int index, BOOL byMouse, BOOL ctrlDown);
    int HighlightItem(int index, BOOL byMouse, BOOL ctrlDown);
    int EditLabel(int index, BOOL byMouse);

    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    int GetCurSel() const { return m_selected; }

    // Changes the window style; the vertical bits can only be removed.
    BOOL ModifyTabStyle(DWORD remove, DWORD add, UINT flags);
    void SetControlFont(const LOGFONTW& font, BOOL redraw);
    void SetColors(const TabColors* colors, BOOL redraw);
    void GetColors(TabColors* colors) const;
    // The page area (larger = FALSE) or the window rectangle (larger = TRUE).
    LRESULT AdjustRect(BOOL larger, RECT* rect);

    // A tab index, or a TabHit as its HitItem, for a point in client pixels.
    int HitTest(int x, int y) const;
    // The one entry point of layout and scrolling.
    void RecalcLayout(TabRecalc kind, int index);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;

protected:
    // Layout steps.
    int RecalcRectangles();
    void RecalcOffset(int offset);
    // Both of the above: the tabs measured afresh and shifted by offset.
    void Reflow(int offset);
    void PlaceEditor(int offset, int index);
    // The button states made to follow the plan.
    void ShowButtons(const TabStripGeometry::ButtonPlan& plan);
    // A layout pass of the given kind while the scroll buttons show.
    void ScrollTabs(TabRecalc kind, int index, const TabStripGeometry::ButtonPlan& plan);
    // Scrolls forward until the tab at index ends inside the strip, or
    // back one when it is the edge tab.
    void BringIntoView(int index, const TabStripGeometry::ButtonPlan& plan);
    // Scrolls back while there is room after the last tab.
    void FillStrip(const TabStripGeometry::ButtonPlan& plan);

    // Where the strip's parts lie for the current size, style, buttons and
    // tabs; layout, painting and hit-testing all ask it.
    TabStripGeometry Geometry() const;
    DWORD TabStyle() const { return GetStyle() & 0xFFFF; }
    bool HasStyle(DWORD bits) const { return (TabStyle() & bits) != 0; }
    // The state member of a button, by its hit code.
    static int CCustomTabCtrl::*ButtonMember(TabHit hit);

    // Painting: the strip is composed off-screen part by part (tabs,
    // buttons, baseline) and then shown in one go.
    void OnPaint();
    void PaintStrip(HDC dc, const TabStripGeometry& geometry);
    void DrawTabs(HDC dc);
    void DrawButtons(HDC dc, const TabStripGeometry& geometry);
    void DrawCloseButton(HDC dc, RECT rect);
    void DrawScrollButtons(HDC dc, const TabStripGeometry& geometry);
    void DrawBaseline(HDC dc, const TabStripGeometry& geometry);
    // The selected tab when it is in view, else null.
    const TabItem* ShownSelection() const;
    void DrawItem(const TabItem& item, HDC dc, HFONT font, const TabColors& colors, BOOL top, BOOL noOutline);
    void DrawGlyph(HDC dc, POINT origin, int glyph, int colorEntry);
    void DrawButton(HDC dc, RECT rect, POINT glyphOrigin, int glyph, int state);

    // Input.
    LRESULT Notify(UINT code, int index, int x, int y);
    int Press(int hit, UINT flags, int x, int y);
    void OnLButtonDown(UINT flags, int x, int y);
    void OnLButtonUp();
    void OnLButtonDblClk(UINT flags, int x, int y);
    void OnTimer(UINT_PTR id);
    void OnEditorUpdate();
    // Runs the title editor's loop until the edit ends.
    void RunEditorLoop(int index, const CString& saved);
    // The editor's text, and ending the edit with it.
    CString EditorText() const;
    bool EditorExists() const;
    void CloseEditor();

    bool ValidIndex(int index) const { return index >= 0 && index < GetItemCount(); }
    int TextHeight(const CString& text) const;
    void InvalidateStrip() { Invalidate(FALSE); }

    HFONT m_font = nullptr;
    HFONT m_boldFont = nullptr;
    int m_selected = -1;
    int m_firstVisible = 0;
    int m_prevButton = TabButtonAbsent;
    int m_nextButton = TabButtonAbsent;
    int m_firstButton = TabButtonAbsent;
    int m_lastButton = TabButtonAbsent;
    int m_closeButton = TabButtonAbsent;
    DWORD m_repeatTick = 0;
    COLORREF m_glyphColors[4] = {};
    HBITMAP m_glyphs = nullptr;
    CWnd m_editor;
    std::vector<std::unique_ptr<TabItem>> m_items;
    TabColors m_colors{};
    int m_stripHeight = 25;
};

// The built-in 12-pixel Tahoma the control falls back to.
LOGFONTW TabDefaultFont(int height = 12);
