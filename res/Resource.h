// The names of the program's resources: dialog templates, their controls,
// the string table, menus and their commands, bitmaps, the icon and the wave.
// The numbers are the ones the program has always used; the tables in res/
// and every piece of program code refer to them by these names.
//
// Plain ints, as a Win32 resource header's #defines are, so a name converts
// to a WORD, UINT or int id without a cast, but typed and scoped like any
// other C++ constant.
#pragma once

// Dialog templates (res/Dialogs.cpp).
inline constexpr int IDD_MAIN = 102;           // the main window
inline constexpr int IDD_SCANNER_PAGE = 148;   // the tab page with the list of networks
inline constexpr int IDD_OPTIONS_PAGE = 149;   // the tab page with the settings
inline constexpr int IDD_CHANNELS_PAGE = 178;  // the tab page with the networks over their channels

// Controls of the main window. Control ids are unique within one dialog
// only: 1000 is Exit here and the about button on the options page.
inline constexpr int IDC_EXIT = 1000;
inline constexpr int IDC_SUSPEND = 1006;        // Suspend / Resume
inline constexpr int IDC_ACTIVITY_ICON = 1008;  // blinks while scanning runs
inline constexpr int IDC_TABS = 1009;           // the tab container holding both pages

// Controls of the scanner page.
inline constexpr int IDC_NETWORK_LIST = 1018;
inline constexpr int IDC_STATUS = 1019;  // "active/total active"
inline constexpr int IDC_HINT = 1020;    // what a tap does

// Controls of the options page.
inline constexpr int IDC_ABOUT = 1000;
inline constexpr int IDC_LANGUAGE = 1002;  // shows the current language's flag, opens the language menu
inline constexpr int IDC_ADAPTER_LIST = 1004;
inline constexpr int IDC_SPEED_SLIDER = 1010;
inline constexpr int IDC_FONT_SIZE_SLIDER = 1011;
inline constexpr int IDC_HIDE_PEERS = 1013;
inline constexpr int IDC_HIDE_SECURED = 1014;
inline constexpr int IDC_SOUND = 1015;
inline constexpr int IDC_SPEED_TEXT = 1017;  // the name of the chosen scan speed
inline constexpr int IDC_ADAPTER_LABEL = 1021;
inline constexpr int IDC_SPEED_LABEL = 1022;
inline constexpr int IDC_FONT_SIZE_LABEL = 1023;

// Controls of the channels page.
inline constexpr int IDC_CHANNEL_BAND = 1024;      // the band the graph shows
inline constexpr int IDC_QUIETEST_CHANNEL = 1025;  // the quietest channel to use there

// The string table (res/StringTable.cpp). Each language has a block of
// texts, and the texts are numbered alike in every block: text n of the
// language whose Language setting is L has the string id
//     IDS_BLOCK_ENGLISH + IDS_BLOCK_STRIDE * L + n.
// So the blocks are named here, and the texts by their number n within a
// block (the number CLanguage::GetText takes), not every derived id.
inline constexpr int IDS_BLOCK_STRIDE = 200;
inline constexpr int IDS_BLOCK_ENGLISH = 2000;  // also the fallback for a missing text
inline constexpr int IDS_BLOCK_HUNGARIAN = IDS_BLOCK_ENGLISH + 1 * IDS_BLOCK_STRIDE;
inline constexpr int IDS_BLOCK_POLISH = IDS_BLOCK_ENGLISH + 2 * IDS_BLOCK_STRIDE;
inline constexpr int IDS_BLOCK_FRENCH = IDS_BLOCK_ENGLISH + 3 * IDS_BLOCK_STRIDE;
inline constexpr int IDS_BLOCK_PORTUGUESE = IDS_BLOCK_ENGLISH + 4 * IDS_BLOCK_STRIDE;
inline constexpr int IDS_BLOCK_RUSSIAN = IDS_BLOCK_ENGLISH + 5 * IDS_BLOCK_STRIDE;
inline constexpr int IDS_BLOCK_GERMAN = IDS_BLOCK_ENGLISH + 6 * IDS_BLOCK_STRIDE;

// Text numbers within a block.
inline constexpr int IDS_SCANNER_TAB = 0;  // tab titles: text n titles tab n (the channels tab's is text 40)
inline constexpr int IDS_OPTIONS_TAB = 1;
inline constexpr int IDS_EXIT = 2;
inline constexpr int IDS_SUSPEND = 3;
inline constexpr int IDS_RESUME = 4;
inline constexpr int IDS_SHOW_PEERS = 5;  // each toggle: caption when clear, then when checked
inline constexpr int IDS_HIDE_PEERS = 6;
inline constexpr int IDS_SHOW_SECURED = 7;
inline constexpr int IDS_HIDE_SECURED = 8;
inline constexpr int IDS_SOUND_ON = 9;
inline constexpr int IDS_SOUND_OFF = 10;
inline constexpr int IDS_USE_ADAPTER = 11;  // labels, shown with ":" appended
inline constexpr int IDS_LIST_FONT_SIZE = 12;
inline constexpr int IDS_SCAN_SPEED = 13;
inline constexpr int IDS_SPEED_SLOWEST = 14;  // the scan speed names, ScanSpeed 5 down to 1
inline constexpr int IDS_SPEED_SLOW = 15;
inline constexpr int IDS_SPEED_NORMAL = 16;
inline constexpr int IDS_SPEED_FAST = 17;
inline constexpr int IDS_SPEED_FASTEST = 18;
inline constexpr int IDS_ACTIVE = 19;  // after the counts in the status line
inline constexpr int IDS_HINT_TAP_NAME = 20;
inline constexpr int IDS_HINT_TAP_TO_RESTORE = 21;
inline constexpr int IDS_GO_LARGE = 22;     // the row menu's entry
inline constexpr int IDS_COLUMN_NAME = 23;  // the list's column headers, in column order
inline constexpr int IDS_COLUMN_SIGNAL = 24;
inline constexpr int IDS_COLUMN_CHANNEL = 25;
inline constexpr int IDS_COLUMN_TYPE = 26;
inline constexpr int IDS_COLUMN_SECURITY = 27;
inline constexpr int IDS_COLUMN_MAC = 28;
inline constexpr int IDS_COLUMN_BEST_SIGNAL = 29;
inline constexpr int IDS_COLUMN_WORST_SIGNAL = 30;
inline constexpr int IDS_COLUMN_FIRST_SEEN = 31;
inline constexpr int IDS_COLUMN_LAST_SEEN = 32;
inline constexpr int IDS_TYPE_PEER = 33;  // cells of the type and security columns
inline constexpr int IDS_TYPE_AP = 34;
inline constexpr int IDS_SECURITY_WEP = 35;
inline constexpr int IDS_SECURITY_OPEN = 36;
inline constexpr int IDS_NO_ADAPTER = 37;    // what stands in the way of scanning on Linux
inline constexpr int IDS_SCAN_REFUSED = 38;  // (texts 0 to 36 are the handheld program's)
inline constexpr int IDS_HELPER_NO_CAPABILITY = 39;
inline constexpr int IDS_CHANNELS_TAB = 40;  // the third tab's title
inline constexpr int IDS_QUIETEST_CHANNEL = 41;
inline constexpr int IDS_NO_NETWORKS_HEARD = 42;   // the channels page's line when there is nothing to advise
inline constexpr int IDS_HIDDEN_COUNTED = 43;      // "%d" is the number of hidden networks the advice counted
inline constexpr int IDS_ONE_HIDDEN_COUNTED = 44;  // the same for one
inline constexpr int IDS_DBM = 45;                 // the unit of the channels page's signal axis
inline constexpr int IDS_TEXT_COUNT = 46;          // texts in each block

static_assert(IDS_TEXT_COUNT <= IDS_BLOCK_STRIDE, "a block's texts must not run into the next block");

// Menus (res/Menus.cpp) and their commands.
inline constexpr int IDM_ROW_POPUP = 160;  // a tapped row of the network list
inline constexpr int ID_GO_LARGE = 32771;  // shows the tapped network enlarged

inline constexpr int IDM_LANGUAGES = 175;  // the language button's menu
inline constexpr int ID_LANGUAGE_ENGLISH = 32774;
inline constexpr int ID_LANGUAGE_FRENCH = 32775;
inline constexpr int ID_LANGUAGE_HUNGARIAN = 32776;
inline constexpr int ID_LANGUAGE_POLISH = 32777;
inline constexpr int ID_LANGUAGE_PORTUGUESE = 32779;
inline constexpr int ID_LANGUAGE_RUSSIAN = 32780;
inline constexpr int ID_LANGUAGE_GERMAN = 32781;
// Every language command lies in this range (32778 is unused).
inline constexpr int ID_LANGUAGE_FIRST = ID_LANGUAGE_ENGLISH;
inline constexpr int ID_LANGUAGE_LAST = ID_LANGUAGE_GERMAN;

// Bitmaps (res/bitmaps/NNN.bmp, NNN the number). Pure black shows the
// background through.
inline constexpr int IDB_SLIDER_TRACK = 150;
inline constexpr int IDB_SLIDER_THUMB_PRESSED = 151;  // the thumb while it is dragged
inline constexpr int IDB_SLIDER_THUMB = 152;
inline constexpr int IDB_PADLOCK = 153;  // hide secured: clear, then checked
inline constexpr int IDB_PADLOCK_CROSSED = 154;
inline constexpr int IDB_SPEAKER = 155;  // sound: clear, then checked (silenced)
inline constexpr int IDB_SPEAKER_CROSSED = 156;
inline constexpr int IDB_LAPTOP_CROSSED = 158;  // hide peers: checked, then clear
inline constexpr int IDB_LAPTOP = 159;
inline constexpr int IDB_INFORMATION = 164;      // the about button
inline constexpr int IDB_FLAG_PORTUGUESE = 170;  // the language button's flags
inline constexpr int IDB_FLAG_FRENCH = 171;
inline constexpr int IDB_FLAG_ENGLISH = 172;
inline constexpr int IDB_FLAG_HUNGARIAN = 173;
inline constexpr int IDB_FLAG_POLISH = 174;
inline constexpr int IDB_FLAG_RUSSIAN = 176;
inline constexpr int IDB_FLAG_GERMAN = 177;

// Icons (res/Icons.cpp).
inline constexpr int IDI_ACTIVITY = 147;  // the main window's activity icon

// Waves (res/Waves.cpp). A wave is a resource of the custom type WAVE, and
// Win32 resource headers name such resources with the generic IDR_ prefix:
// there is no prefix of their own for sounds.
inline constexpr int IDR_NEW_NETWORK_WAVE = 157;  // played when a new network shows up
