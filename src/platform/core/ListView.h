// The report-style list view ("SysListView32") with owner data and custom
// draw, and the framework's CListCtrl over it.
#pragma once

#include "platform/core/Wnd.h"

using DWORD_PTR = std::uintptr_t;

constexpr const WCHAR* WC_LISTVIEWW = u"SysListView32";

// Styles
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_ALIGNLEFT = 0x0800;
constexpr DWORD LVS_OWNERDATA = 0x1000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;

// Messages
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
constexpr UINT LVM_SETITEMCOUNT = LVM_FIRST + 47;
constexpr UINT LVM_SETCOLUMNW = LVM_FIRST + 96;
constexpr UINT LVM_INSERTCOLUMNW = LVM_FIRST + 97;

// Notifications
constexpr UINT LVN_FIRST = static_cast<UINT>(-100);
constexpr UINT LVN_GETDISPINFOW = LVN_FIRST - 77;

// Column record
constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;
constexpr int LVCFMT_LEFT = 0x0000;

struct LVCOLUMNW {
    UINT mask;
    int fmt;
    int cx;
    WCHAR* pszText;
    int cchTextMax;
    int iSubItem;
};

// Item record
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIS_SELECTED = 0x0002;

struct LVITEMW {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    WCHAR* pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

struct NMLVDISPINFOW {
    NMHDR hdr;
    LVITEMW item;
};

// NM_CLICK from a list view: the row and column tapped (-1 below the last
// row) and the point in the list's client coordinates.
struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};

// Custom draw
constexpr DWORD CDDS_PREPAINT = 0x00000001;
constexpr DWORD CDDS_ITEM = 0x00010000;
constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
constexpr DWORD CDDS_SUBITEM = 0x00020000;
constexpr UINT CDIS_SELECTED = 0x0001;
constexpr LRESULT CDRF_DODEFAULT = 0x00;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
constexpr LRESULT CDRF_NOTIFYSUBITEMDRAW = 0x20;

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage;
    HDC hdc;
    RECT rc;
    DWORD_PTR dwItemSpec;
    UINT uItemState;
    LPARAM lItemlParam;
};

struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText;
    COLORREF clrTextBk;
    int iSubItem;
};

class CListCtrl : public CWnd {
public:
    static const CRuntimeClass classCListCtrl;
    const CRuntimeClass* GetRuntimeClass() const override;

    int InsertColumn(int column, const WCHAR* heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    int GetColumnWidth(int column) const;
    BOOL SetItemCountEx(int count, DWORD flags = 0);
    int GetItemCount() const;
    BOOL DeleteAllItems();
    // Selects (LVIS_SELECTED in state and mask) or deselects a row; item -1
    // means every row. The list holds one selected row at most.
    BOOL SetItemState(int item, UINT state, UINT mask);
    UINT GetItemState(int item, UINT mask) const;
};
