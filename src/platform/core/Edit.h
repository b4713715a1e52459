// The edit control's messages, notification and styles.
#pragma once

#include "platform/core/Messages.h"

constexpr UINT EM_GETSEL = 0x00B0;  // wParam, lParam: DWORD* start and end, or null; returns both packed
constexpr UINT EM_SETSEL = 0x00B1;  // wParam start, lParam end (-1: the end of the text); start -1 deselects
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_LIMITTEXT = 0x00C5;  // wParam: most characters the user may enter, 0 for no limit
constexpr UINT EN_UPDATE = 0x0400;     // WM_COMMAND code to the parent: the text has changed

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;
