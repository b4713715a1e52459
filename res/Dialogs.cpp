// The dialog templates of the program: the main window (102).
#include "platform/Resources.h"
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

const DialogTemplate kDialogs[] = {
    {102, WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME, u"Tarvolin", u"MS Shell Dlg", 8, 0, 0, 162, 169,
     kMainItems, sizeof kMainItems / sizeof kMainItems[0]},
};

}  // namespace

const DialogTemplate* FindDialogResource(UINT id)
{
    for (const DialogTemplate& dialog : kDialogs)
        if (dialog.id == id)
            return &dialog;
    return nullptr;
}
