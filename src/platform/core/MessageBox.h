// Message boxes: a text, a caption, an icon and the buttons to answer with.
#pragma once

#include "platform/core/Messages.h"

// Buttons
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONMASK = 0x000000F0;

// Shows the box owned by `owner` (or by nobody) and waits for the answer:
// IDOK, IDCANCEL, IDYES or IDNO, whichever of the offered buttons was
// chosen. Closing the box counts as its cancelling answer (IDNO when it
// offers only Yes and No, IDOK when it offers only OK). A null caption
// reads "Error", as on Windows.
int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, UINT flags);
