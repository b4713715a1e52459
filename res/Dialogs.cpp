// The dialog templates of the program: the main window (102) and the
// scanner page (148).
#include "platform/Resources.h"
#include "platform/core/ListView.h"
#include "platform/core/Messages.h"

namespace {

constexpr DWORD kStaticIcon = SS_ICON;

// Main window. Until the tab strip has its own window class, control 1009
// is a plain static that holds the strip's place.
const DialogItemTemplate kMainItems[] = {
    {1009, "static", u"Tab", WS_VISIBLE, 0, 3, 4, 155, 107},
    {1006, "button", u"Suspend", WS_VISIBLE | BS_PUSHBUTTON | BS_CENTER, 0, 100, 125, 49, 14},
    {1008, "static", u"#147", WS_VISIBLE | kStaticIcon, 0, 68, 122, 21, 20},
    {1000, "button", u"Exit", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 7, 125, 50, 14},
};

// Scanner page: the list of networks, the status line and the hint.
const DialogItemTemplate kScannerItems[] = {
    {1018, "SysListView32", u"", WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_ALIGNLEFT, 0, 3, 3, 135, 76},
    {1019, "static", u"", WS_VISIBLE | SS_LEFT, 0, 7, 79, 53, 8},
    {1020, "static", u"", WS_VISIBLE | SS_RIGHT, 0, 66, 79, 79, 8},
};

const DialogTemplate kDialogs[] = {
    {102, WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME, u"Tarvolin", u"MS Shell Dlg", 8, 0, 0, 162, 169,
     kMainItems, sizeof kMainItems / sizeof kMainItems[0]},
    {148, WS_CHILD | DS_CONTROL | DS_SETFONT, u"", u"MS Shell Dlg", 8, 0, 0, 145, 109, kScannerItems,
     sizeof kScannerItems / sizeof kScannerItems[0]},
};

}  // namespace

const DialogTemplate* FindDialogResource(UINT id)
{
    for (const DialogTemplate& dialog : kDialogs)
        if (dialog.id == id)
            return &dialog;
    return nullptr;
}
