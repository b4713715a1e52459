// The combo box ("combobox"): a drop-down list with an edit field, its
// entries optionally kept in sorted order, and the framework's CComboBox
// over it.
//
// As on Win32, the height a combo box is created or moved with is the height
// of the box together with its dropped list; the box itself is as high as an
// entry plus its border, and the list shows as many entries as fit below it.
#pragma once

#include "platform/core/Wnd.h"

constexpr const WCHAR* WC_COMBOBOXW = u"combobox";

// Styles
constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_SORT = 0x0100;

// Messages
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;

// Results
constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;

// Notifications, in the high word of WM_COMMAND's wParam
constexpr UINT CBN_SELCHANGE = 1;

class CComboBox : public CWnd {
public:
    static const CRuntimeClass classCComboBox;
    const CRuntimeClass* GetRuntimeClass() const override;

    // The index the text went to, or CB_ERR.
    int AddString(const WCHAR* text);
    // Selects entry `index` and shows its text; -1 clears the selection.
    // Returns the index, or CB_ERR when no entry is selected afterwards.
    int SetCurSel(int index);
    int GetCurSel() const;
    int GetCount() const;
    // The text of entry `index`; empty, and CB_ERR returned, for a bad index.
    int GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;
    // The height of the list's entries (index 0 and up) or of the box
    // itself (-1).
    int GetItemHeight(int index) const;
    void ResetContent();
    int DeleteString(UINT index);
};
