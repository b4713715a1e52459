// The dialog templates of the program: the main window, the scanner page,
// the options page and the channels page.
#include "platform/Resources.h"
#include "platform/core/ComboBox.h"
#include "platform/core/ListView.h"
#include "platform/core/Messages.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

namespace {

constexpr DWORD kStaticIcon = SS_ICON;

// An icon static names its icon in its window text.
constexpr NumberedName kActivityIconName(IDI_ACTIVITY);

// Main window. The tab container shows itself once the window has set it up.
const DialogItemTemplate kMainItems[] = {
    {IDC_TABS, "CCustomTabCtrl", u"Tab", WS_TABSTOP, 0, 3, 4, 155, 107},
    {IDC_SUSPEND, "button", u"Suspend", WS_VISIBLE | BS_PUSHBUTTON | BS_CENTER, 0, 100, 125, 49, 14},
    {IDC_ACTIVITY_ICON, "static", kActivityIconName.text, WS_VISIBLE | kStaticIcon, 0, 68, 122, 21, 20},
    {IDC_EXIT, "button", u"Exit", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 7, 125, 50, 14},
};

// Scanner page: the list of networks, the status line and the hint.
const DialogItemTemplate kScannerItems[] = {
    {IDC_NETWORK_LIST, "SysListView32", u"", WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_ALIGNLEFT, 0, 3,
     3, 135, 76},
    {IDC_STATUS, "static", u"", WS_VISIBLE | SS_LEFT, 0, 7, 79, 53, 8},
    {IDC_HINT, "static", u"", WS_VISIBLE | SS_RIGHT, 0, 66, 79, 79, 8},
};

// Options page: adapter list, the two sliders with their labels, the three
// toggles, the about and language buttons. Until the sliders are attached
// their class is only named here; the slider object registers it.
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | WS_GROUP;
constexpr DWORD kToggle = WS_VISIBLE | BS_AUTOCHECKBOX | BS_BITMAP | BS_LEFT | WS_TABSTOP;
constexpr DWORD kImageButton = WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP | BS_FLAT;
const DialogItemTemplate kOptionsItems[] = {
    {IDC_ADAPTER_LABEL, "static", u"Use adapter:", kLabel, 0, 6, 10, 50, 8},
    {IDC_ADAPTER_LIST, "combobox", u"", WS_VISIBLE | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0, 58, 7, 70,
     30},
    {IDC_SPEED_LABEL, "static", u"Scan speed:", kLabel, 0, 6, 28, 50, 8},
    {IDC_SPEED_SLIDER, "CustomSliderClass", u"Custom1", WS_VISIBLE | WS_TABSTOP, 0, 57, 23, 56, 18},
    {IDC_HIDE_PEERS, "button", u"Hide peers", kToggle, 0, 75, 62, 67, 10},
    {IDC_HIDE_SECURED, "button", u"Hide secured", kToggle, 0, 3, 62, 65, 10},
    {IDC_SOUND, "button", u"Sound enabled", kToggle, 0, 3, 74, 69, 10},
    {IDC_SPEED_TEXT, "static", u"xxx", kLabel, 0, 111, 28, 45, 8},
    {IDC_FONT_SIZE_LABEL, "static", u"List font size:", kLabel, 0, 6, 47, 51, 8},
    {IDC_FONT_SIZE_SLIDER, "CustomSliderClass", u"Custom2", WS_VISIBLE | WS_TABSTOP, 0, 57, 40, 56, 18},
    {IDC_ABOUT, "button", u"", kImageButton, 0, 101, 72, 18, 14},
    {IDC_LANGUAGE, "button", u"", kImageButton, 0, 76, 72, 18, 14},
};

// Channels page: the page draws the graph itself; below it, the band's name
// and the quietest channel.
const DialogItemTemplate kChannelsItems[] = {
    {IDC_CHANNEL_BAND, "static", u"", WS_VISIBLE | SS_LEFT, 0, 4, 79, 34, 8},
    {IDC_QUIETEST_CHANNEL, "static", u"", WS_VISIBLE | SS_RIGHT, 0, 38, 79, 107, 8},
};

const DialogTemplate kDialogs[] = {
    {IDD_MAIN, WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME, u"Tarvolin", u"MS Shell Dlg", 8, 0, 0, 162, 169,
     kMainItems, sizeof kMainItems / sizeof kMainItems[0]},
    {IDD_SCANNER_PAGE, WS_CHILD | DS_CONTROL | DS_SETFONT, u"", u"MS Shell Dlg", 8, 0, 0, 145, 109, kScannerItems,
     sizeof kScannerItems / sizeof kScannerItems[0]},
    {IDD_OPTIONS_PAGE, WS_CHILD | DS_CONTROL | DS_SETFONT, u"", u"MS Shell Dlg", 8, 0, 0, 159, 140, kOptionsItems,
     sizeof kOptionsItems / sizeof kOptionsItems[0]},
    {IDD_CHANNELS_PAGE, WS_CHILD | DS_CONTROL | DS_SETFONT, u"", u"MS Shell Dlg", 8, 0, 0, 145, 109, kChannelsItems,
     sizeof kChannelsItems / sizeof kChannelsItems[0]},
};

}  // namespace

const DialogTemplate* FindDialogResource(UINT id)
{
    return FindById(kDialogs, id);
}
