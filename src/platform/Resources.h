// The program's own resources, as the platform looks them up. The records
// are defined by the program in res/; the platform only reads them.
#pragma once

#include "platform/Types.h"

#include <cstddef>

// One control of a dialog template. Positions and sizes are dialog units.
struct DialogItemTemplate {
    WORD id;
    const char* windowClass;  // "button", "static", "edit", "combobox", "SysListView32" or a registered class
    const WCHAR* text;        // initial window text; for an icon static, the icon's resource number as "#NNN"
    DWORD style;
    DWORD exStyle;
    SHORT x, y, cx, cy;
};

struct DialogTemplate {
    WORD id;
    DWORD style;
    const WCHAR* caption;
    const WCHAR* fontFace;  // "MS Shell Dlg" maps to Tahoma
    WORD pointSize;
    SHORT x, y, cx, cy;
    const DialogItemTemplate* items;
    std::size_t itemCount;
};

// One entry of a menu template: a command item, or a popup with its own
// entries.
struct MenuItemTemplate {
    const WCHAR* text;
    UINT command;                      // 0 for a popup
    const MenuItemTemplate* children;  // a popup's entries, else null
    std::size_t childCount;
};

struct MenuTemplate {
    WORD id;
    const MenuItemTemplate* items;
    std::size_t itemCount;
};

// An icon resource: one image file for each size, largest first. Files are
// named by their path under res/, which the platform embeds as ":/".
struct IconResource {
    WORD id;
    const char* const* files;
    std::size_t fileCount;
};

// A wave resource: the file that holds its sound, by its path under res/.
struct WaveResource {
    WORD id;
    const char* file;
};

// Implemented in res/: the module's resource tables. Each returns null for an
// identifier the module does not have.
const DialogTemplate* FindDialogResource(UINT id);
const WCHAR* FindStringResource(UINT id);
const MenuTemplate* FindMenuResource(UINT id);
const IconResource* FindIconResource(UINT id);
const WaveResource* FindWaveResource(UINT id);

// Win32-shaped string loading. Copies at most maxChars - 1 code units and a
// terminating zero; returns the number of code units copied, 0 when the
// string does not exist.
int LoadStringW(HINSTANCE instance, UINT id, WCHAR* buffer, int maxChars);
