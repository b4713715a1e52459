// Menus from the module's menu resources, shown as popups.
#pragma once

#include "platform/core/Messages.h"

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_RETURNCMD = 0x0100;

HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);  // (UINT)-1 for a popup or a bad position
int GetMenuStringW(HMENU menu, UINT item, WCHAR* buffer, int maxChars, UINT flags);
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);
BOOL DestroyMenu(HMENU menu);
// Shows the popup at (x, y) in screen coordinates and waits until it
// closes. The chosen command is posted to the owner as WM_COMMAND, or
// returned with TPM_RETURNCMD.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* unused);

class CMenu {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL LoadMenu(UINT id);
    // The popup at position, owned by this menu.
    CMenu* GetSubMenu(int position);
    BOOL DeleteMenu(UINT item, UINT flags);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id, const WCHAR* text);
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* unused = nullptr);
    BOOL DestroyMenu();

    HMENU m_hMenu = nullptr;

private:
    bool m_owned = false;
    CMenu* m_sub = nullptr;
};
