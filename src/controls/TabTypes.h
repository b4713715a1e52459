// The records, style bits and codes of the tab control: what a tab holds,
// the seven drawing colours, the notification record the parent receives,
// and the numbers its operations return.
#pragma once

#include "platform/core/Messages.h"

#include <cstddef>

// Style bits, in the low 16 bits of the window style.
constexpr DWORD TabStyleFixedWidth = 0x0001;       // every tab as wide as the widest title
constexpr DWORD TabStyleFourButtons = 0x0002;      // go-to-first and go-to-last besides back and forward
constexpr DWORD TabStyleAutoHideButtons = 0x0004;  // scroll buttons only when the tabs do not fit
constexpr DWORD TabStyleMultiHighlight = 0x0010;   // tabs can be highlighted; Ctrl+tap toggles
constexpr DWORD TabStyleEditLabels = 0x0020;       // double-tapping the selected tab edits its title
constexpr DWORD TabStyleNoOutline = 0x0040;        // no tab outlines and no baseline
constexpr DWORD TabStylePageArea = 0x0080;         // the strip is a band; the rest is the page area
constexpr DWORD TabStyleCloseButton = 0x0100;      // a close button with a cross
constexpr DWORD TabStyleButtonsAfter = 0x0200;     // buttons at the right end of the strip
constexpr DWORD TabStyleTop = 0x0400;              // strip at the top, tabs open downwards
constexpr DWORD TabStyleVertical = 0x1800;         // either bit turns the strip a quarter turn

// Results of the operations that can refuse.
constexpr int TabErrOutOfMemory = -1;
constexpr int TabErrIndex = -2;
constexpr int TabErrNoEditLabels = -3;
constexpr int TabErrNoMultiHighlight = -4;
constexpr int TabErrNotSelected = -5;
constexpr int TabErrEditing = -6;
constexpr int TabErrTextTooLong = -7;
constexpr int TabErrVertical = -8;

// What a point of the strip holds other than a tab. HitTest and the
// notification record's item carry these as negative numbers, below the tab
// indexes (see HitItem).
enum class TabHit : int { First = -1, Prev = -2, Next = -3, Last = -4, Close = -5, Nowhere = -6 };

// A hit code as the item number HitTest returns and notifications carry.
constexpr int HitItem(TabHit hit)
{
    return static_cast<int>(hit);
}

// Kinds of layout pass.
enum class TabRecalc { Prev, Next, EnsureVisible, Plain, First, Last, Editor, Close };

// States of the five buttons.
constexpr int TabButtonAbsent = 0;
constexpr int TabButtonShown = 1;
constexpr int TabButtonPressed = 3;

// Notification codes besides NM_CLICK and NM_DBLCLK.
constexpr UINT TabNotifySelChange = 0;
constexpr UINT TabNotifyHighlightChange = 1;
constexpr UINT TabNotifyLabelUpdate = 4;

// The page-area request: wParam non-zero asks for the window rectangle,
// zero for the page area; lParam points at the RECT to change.
constexpr UINT TCM_ADJUSTRECT = 0x1328;

// The longest title a new tab takes, and the longest the title editor takes.
constexpr int kTabMaxTitle = 29;
constexpr int kTabEditorMaxTitle = 30;

// The edit control's text-changed notification and the editor's control id.
constexpr UINT kTabEditorNotifyUpdate = 0x0400;
constexpr int kTabEditorId = 1;

// The repeat timer of a held scroll button: looked at every 100 ms, acting
// every 500 ms.
constexpr UINT_PTR kTabRepeatTimer = 1;
constexpr UINT kTabRepeatPoll = 100;
constexpr DWORD kTabRepeatDelay = 500;

// One tab, in client pixels.
struct TabItem {
    CString text;     // the title
    DWORD data = 0;   // the caller's value, handed back in notifications
    RECT rect{};      // filled, outlined and hit-tested
    RECT textRect{};  // where the title editor goes; reported in notifications
    BYTE shape = 0;   // 0 hidden (scrolled out), 1 edge (just before the first shown), 3 shown
    BOOL selected = FALSE;
    BOOL highlighted = FALSE;
    BOOL highlightChanged = FALSE;  // changed in the current tap: drives the highlight notification
};

constexpr BYTE TabShapeHidden = 0;
constexpr BYTE TabShapeEdge = 1;
constexpr BYTE TabShapeShown = 3;

// The seven drawing colours, 0x00BBGGRR.
struct TabColors {
    COLORREF stripBack;     // the whole strip; the page area when there are no pages
    COLORREF tabBack;       // an unselected, unhighlighted tab
    COLORREF selectedBack;  // the selected tab and highlighted tabs
    COLORREF tabText;       // title of an unselected, unhighlighted tab
    COLORREF selectedText;  // title of the selected tab and of highlighted tabs
    COLORREF outline;       // outlines, baseline, border of the button area
    COLORREF shadow;        // kept with the others; nothing draws with it
};

// The record every notification carries (WM_NOTIFY, lParam). When item is
// negative only hdr, item and point are filled in.
//
// On the handheld this record was 112 bytes. Here NMHDR holds an 8-byte
// window handle and an 8-byte id, so the header is 24 bytes and the record
// 128; the fields keep their order, checked below.
struct TabNotify {
    NMHDR hdr;                     // sender, its control id, the code
    int item;                      // tab index, or a hit code
    WCHAR text[kTabMaxTitle + 1];  // the title, zero-terminated
    DWORD data;                    // the tab's caller value
    RECT textRect;                 // the tab's label area, client pixels
    POINT point;                   // stylus position, client pixels
    BOOL selected;
    BOOL highlighted;
};

static_assert(offsetof(TabNotify, hdr) == 0);
static_assert(offsetof(TabNotify, item) == sizeof(NMHDR));
static_assert(offsetof(TabNotify, text) == offsetof(TabNotify, item) + 4);
static_assert(offsetof(TabNotify, data) == offsetof(TabNotify, text) + 60);
static_assert(offsetof(TabNotify, textRect) == offsetof(TabNotify, data) + 4);
static_assert(offsetof(TabNotify, point) == offsetof(TabNotify, textRect) + 16);
static_assert(offsetof(TabNotify, selected) == offsetof(TabNotify, point) + 8);
static_assert(offsetof(TabNotify, highlighted) == offsetof(TabNotify, selected) + 4);
// The fields after the header take 100 bytes, as they did beside the
// handheld's 12-byte header.
static_assert(offsetof(TabNotify, highlighted) + 4 - offsetof(TabNotify, item) == 100);
