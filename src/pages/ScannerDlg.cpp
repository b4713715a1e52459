#include "pages/ScannerDlg.h"

#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "pages/PageOwner.h"
#include "platform/core/Menu.h"
#include "platform/devices/Ndis.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/Sound.h"
#include "platform/media/Time.h"
#include "res/Resource.h"
#include "settings/Language.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

// Each column is headed by its own text, in column order.
static_assert(IDS_COLUMN_NAME + CScannerDlg::kColumnCount - 1 == IDS_COLUMN_LAST_SEEN);
constexpr int kCreationWidths[CScannerDlg::kColumnCount] = {50, 35, 30, 40, 30, 80, 40, 40, 100, 100};
constexpr int kNoControl = -1;

// The history graph: black bars for readings heard, the best in red, short
// marks under a grey time line for scans that missed the network.
constexpr COLORREF kHeardColour = RGB(0, 0, 0);
constexpr COLORREF kBestColour = RGB(192, 0, 0);
constexpr COLORREF kMissedColour = RGB(0, 0, 0);
constexpr COLORREF kAxisColour = RGB(128, 128, 128);
// Pixels between the digits' baseline and the graph, and at the page's sides.
constexpr int kHistoryGap = 2;
constexpr int kHistoryMargin = 4;
// The graph needs room for a bar above its time line and a mark below.
constexpr int kHistoryMinHeight = 6;
constexpr int kMissMarkHeight = 2;

// The Sec cell: the strongest protection offered, in words that are the same
// in every language. Anything past the table reads as secured but unknown.
CString SecurityText(BYTE security)
{
    constexpr const char16_t* kWords[] = {u"Open", u"WEP", u"WPA", u"OWE", u"WPA2", u"WPA3"};
    return security < std::size(kWords) ? CString(kWords[security]) : CString(u"?");
}

CString Ascii(const char* text)
{
    CString out;
    for (const char* c = text; *c != 0; ++c)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
    return out;
}

template <typename... Args> CString Format(const char* format, Args... args)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return Ascii(buffer);
}

// A broadcast name is untrusted: characters that could hide text or change
// the order the row reads in show as the replacement character.
bool Unsafe(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0x200E || c == 0x200F || c == 0x061C;
}

CString NameText(const WCHAR (&ssid)[32])
{
    CString name;
    for (WCHAR c : ssid) {
        if (c == 0)
            break;
        name.push_back(Unsafe(c) ? u'\uFFFD' : c);
    }
    return name;
}

CString DateText(DATE date)
{
    SYSTEMTIME time{};
    if (!VariantTimeToSystemTime(date, &time))
        return CString();
    return Format("%02d/%02d/%02d %02d:%02d:%02d", time.wYear % 1000, time.wMonth, time.wDay, time.wHour, time.wMinute,
                  time.wSecond);
}

CString Magnitude(LONG value)
{
    return Format("%lld", std::llabs(static_cast<long long>(value)));
}

}  // namespace

IMPLEMENT_DYNAMIC(CScannerDlg, CColoredDlg)

CScannerDlg::CScannerDlg(CWnd* parent) : CColoredDlg(IDD_SCANNER_PAGE, parent)
{
}

CScannerDlg::~CScannerDlg()
{
    if (m_listFont != nullptr)
        DeleteObject(m_listFont);
    if (m_clickRate != 0)
        SetClickRate(0);
}

int CScannerDlg::ColumnWidth(int column, LONG fontSize)
{
    const double fs = fontSize;
    switch (column) {
    case 0: return static_cast<int>((fs * 0.1) * 50);
    case 1: return static_cast<int>((fs * (1.0 / 14)) * 35 + 10);
    case 2: return static_cast<int>((fs * 0.1) * 30);
    case 3: return static_cast<int>((fs * 0.1) * 40);
    case 4: return static_cast<int>((fs * 0.1) * 35);
    case 5: return static_cast<int>((fs * 0.1) * 90);
    case 6:
    case 7: return static_cast<int>((fs * 0.1) * 40);
    case 8:
    case 9: return static_cast<int>((fs * 0.1) * 100);
    default: return 0;
    }
}

CString CScannerDlg::CellText(const ApRecord& record, int column)
{
    switch (column) {
    case 0: return NameText(record.ssid);
    case 1: return record.active == 1 ? Magnitude(record.rssi) : CString(u"-----");
    case 2: return Format("%lu", static_cast<unsigned long>(record.channel));
    case 3:
        if (record.infrastructureMode == Ndis802_11IBSS)
            return g_language.GetText(IDS_TYPE_PEER);
        if (record.infrastructureMode == Ndis802_11Infrastructure)
            return g_language.GetText(IDS_TYPE_AP);
        return u"?";
    case 4: return SecurityText(record.security);
    case 5:
        return Format("%02x-%02x-%02x-%02x-%02x-%02x", record.mac[0], record.mac[1], record.mac[2], record.mac[3],
                      record.mac[4], record.mac[5]);
    case 6: return Format("%d", static_cast<int>(record.bestRssi));
    case 7: return Format("%d", static_cast<int>(record.worstRssi));
    case 8: return DateText(record.firstSeen);
    case 9: return DateText(record.lastSeen);
    default: return CString();
    }
}

void CScannerDlg::DoDataExchange(CDataExchange* dx)
{
    CColoredDlg::DoDataExchange(dx);
    DDX_Control(dx, IDC_NETWORK_LIST, m_list);
    DDX_Text(dx, IDC_STATUS, m_statusText);
    DDX_Text(dx, IDC_HINT, m_hintText);
}

BOOL CScannerDlg::OnInitDialog()
{
    CColoredDlg::OnInitDialog();
    for (int column = 0; column < kColumnCount; ++column)
        m_list.InsertColumn(column, g_language.GetText(IDS_COLUMN_NAME + column).c_str(), LVCFMT_LEFT,
                            kCreationWidths[column]);

    // The list starts at the page's corner and is as wide as the tab
    // container the page lies in.
    RECT list{};
    m_list.GetWindowRect(&list);
    int width = list.right - list.left;
    if (HWND container = ::GetDlgItem(GetParentHwnd(), IDC_TABS)) {
        RECT r{};
        ::GetWindowRect(container, &r);
        width = r.right - r.left;
    }
    m_list.MoveWindow(0, 0, width, list.bottom - list.top, TRUE);

    LONG size = 12;
    g_settings.GetValue(SettingFontSize, size);
    if (size < 10 || size > 20)
        size = 12;
    if (size != m_fontSize) {
        m_fontSize = size;
        m_fontApplied = false;
    }
    m_hintText = g_language.GetText(IDS_HINT_TAP_NAME);
    UpdateData(FALSE);
    return TRUE;
}

void CScannerDlg::Refresh()
{
    LONG total = 0;
    LONG active = 0;
    g_apList.BuildDisplayList(total, active);
    m_list.SetItemCountEx(total);
    // The rows may have moved: the highlight stays with the tapped network.
    if (m_popupOpen)
        HighlightSelected(total);
    m_statusText = Format("%d/%d ", static_cast<int>(active), static_cast<int>(total)) + g_language.GetText(IDS_ACTIVE);
    UpdateData(FALSE);
    if (m_largeView)
        Invalidate(TRUE);
}

void CScannerDlg::OnScanCompleted(const ScanEntry* entries, int count)
{
    // The catalogue now holds this scan's readings; when the large view
    // opens, they are as old as this.
    m_lastScanTick = GetTickCount();
    m_scanSeen = true;
    if (!m_largeView)
        return;
    ApRecord record{};
    if (!g_apList.GetByNumber(m_followedNumber, record))
        return;
    const ScanEntry* end = entries + std::max(count, 0);
    const ScanEntry* found = std::find_if(entries, end, [&](const ScanEntry& entry) {
        return std::memcmp(entry.mac, record.mac, sizeof record.mac) == 0;
    });
    const DWORD now = GetTickCount();
    const bool heard = found != end;
    m_history.Add(now, heard, heard ? found->rssi : 0);
    if (heard)
        m_tone.Heard(now, found->rssi);
    UpdateTone();
    Invalidate(TRUE);
}

void CScannerDlg::SetScanning(bool scanning)
{
    m_scanning = scanning;
    UpdateTone();
}

void CScannerDlg::UpdateTone()
{
    LONG soundOff = 1;
    g_settings.GetValue(SettingSoundOff, soundOff);
    const bool on = m_largeView && m_scanning && soundOff == 0 && m_hWnd != nullptr && IsWindowVisible();
    const DWORD now = GetTickCount();
    const DWORD rate = on ? m_tone.RateAt(now) : 0;
    if (rate != m_clickRate) {
        m_clickRate = rate;
        SetClickRate(rate);
    }
    if (m_hWnd == nullptr)
        return;
    // Silent when the network has not been heard for a while, even if no
    // scan completes to say so.
    if (rate != 0)
        SetTimer(kToneTimer, m_tone.QuietIn(now));
    else
        KillTimer(kToneTimer);
}

void CScannerDlg::SetFontSize(LONG size)
{
    if (size != m_fontSize) {
        m_fontSize = size;
        m_fontApplied = false;
    }
}

void CScannerDlg::Restore()
{
    const bool wasLarge = m_largeView;
    m_largeView = false;
    UpdateTone();
    m_hintText = g_language.GetText(IDS_HINT_TAP_NAME);
    m_list.ShowWindow(SW_SHOW);
    // The rows come back from the catalogue at once, not at the next scan
    // (there may be none for a long while when scanning is suspended).
    Refresh();
    if (wasLarge)
        TellOwnerLargeView();
}

void CScannerDlg::TellOwnerLargeView()
{
    if (auto* owner = dynamic_cast<CPageOwner*>(GetParent()))
        owner->LargeViewChanged();
}

void CScannerDlg::HighlightSelected(LONG total)
{
    ApRecord record{};
    for (LONG row = 0; row < total; ++row) {
        if (g_apList.GetDisplayed(row, record) && record.number == m_selectedNumber) {
            m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
            return;
        }
    }
    m_list.SetItemState(-1, 0, LVIS_SELECTED);
}

void CScannerDlg::ApplyListFont()
{
    if (m_fontApplied)
        return;
    for (int column = 0; column < kColumnCount; ++column) {
        LVCOLUMNW record{};
        record.mask = LVCF_WIDTH;
        record.cx = ColumnWidth(column, m_fontSize);
        m_list.SendMessage(LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&record));
    }
    if (m_list.m_hWnd != nullptr) {
        m_list.SendMessage(WM_SETFONT, 0, FALSE);
        if (m_listFont != nullptr)
            DeleteObject(m_listFont);
        m_listFont = CreateFontW(m_fontSize, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
        m_list.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_listFont), TRUE);
    }
    m_fontApplied = true;
}

void CScannerDlg::OnPaint()
{
    Default();
    m_list.ShowWindow(SW_HIDE);
    ApplyListFont();
    if (!m_largeView) {
        m_list.ShowWindow(SW_SHOW);
        return;
    }
    DrawLargeView();
}

void CScannerDlg::DrawLargeView()
{
    HDC dc = GetDC();
    if (dc == nullptr)
        return;
    HFONT big = CreateFontW(100, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    HGDIOBJ previous = SelectObject(dc, big);
    CString number = u"--";
    ApRecord record{};
    const bool found = g_apList.GetByNumber(m_selectedNumber, record);
    if (found && record.active == 1)
        number = Magnitude(record.rssi);
    SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(kNoControl));
    RECT client{};
    GetClientRect(&client);
    RECT numberRect = client;
    numberRect.top += 20;
    numberRect.bottom -= 20;
    const int textBottom = DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &numberRect,
                                     DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    DrawHistory(dc, HistoryBand(dc, numberRect, textBottom));
    SelectObject(dc, previous);
    DeleteObject(big);

    HFONT small = CreateFontW(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    previous = SelectObject(dc, small);
    RECT nameRect = client;
    nameRect.bottom = nameRect.top + 20;
    const CString name = found ? NameText(record.ssid) : CString();
    // A name wider than the page loses its end to an ellipsis, so it still
    // reads from its start; an ampersand in it is a character, not a prefix.
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &nameRect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
    ReleaseDC(dc);
    DeleteObject(small);
}

RECT CScannerDlg::HistoryBand(HDC dc, const RECT& numberRect, int textBottom)
{
    // Digits and dashes stand on the baseline: below it the font's descent
    // is empty.
    TEXTMETRICW metrics{};
    if (textBottom <= 0 || !GetTextMetricsW(dc, &metrics))
        return RECT{};
    RECT client{};
    GetClientRect(&client);
    RECT band{client.left + kHistoryMargin, numberRect.top + textBottom - metrics.tmDescent + kHistoryGap,
              client.right - kHistoryMargin, numberRect.bottom};
    for (int id : {IDC_STATUS, IDC_HINT}) {
        HWND control = GetDlgItemHwnd(id);
        if (control == nullptr || !::IsWindowVisible(control))
            continue;
        RECT r{};
        ::GetWindowRect(control, &r);
        POINT corner{r.left, r.top};
        ScreenToClient(&corner);
        const bool besideBand = corner.x < band.right && corner.x + (r.right - r.left) > band.left;
        if (besideBand && corner.y > band.top)
            band.bottom = std::min<LONG>(band.bottom, corner.y - 1);
    }
    if (band.bottom - band.top < kHistoryMinHeight || band.right <= band.left)
        return RECT{};
    return band;
}

void CScannerDlg::DrawHistory(HDC dc, const RECT& band)
{
    if (band.bottom - band.top < kHistoryMinHeight)
        return;
    const int width = band.right - band.left;
    // The time line, with room for the miss marks under it.
    const int axis = band.bottom - kMissMarkHeight - 1;
    const int barRoom = axis - band.top;
    HBRUSH heard = CreateSolidBrush(kHeardColour);
    HBRUSH best = CreateSolidBrush(kBestColour);
    HBRUSH missed = CreateSolidBrush(kMissedColour);
    HBRUSH line = CreateSolidBrush(kAxisColour);
    const RECT axisRect{band.left, axis, band.right, axis + 1};
    FillRect(dc, &axisRect, line);
    const std::vector<CSignalHistory::Column> columns = m_history.Columns(GetTickCount(), width);
    for (int i = 0; i < width; ++i) {
        const CSignalHistory::Column& column = columns[static_cast<std::size_t>(i)];
        const int x = band.left + i;
        if (column.kind == CSignalHistory::Column::kHeard) {
            const RECT bar{x, axis - CSignalHistory::BarHeight(column.rssi, barRoom), x + 1, axis};
            FillRect(dc, &bar, column.best ? best : heard);
        } else if (column.kind == CSignalHistory::Column::kMissed) {
            const RECT mark{x, axis + 1, x + 1, axis + 1 + kMissMarkHeight};
            FillRect(dc, &mark, missed);
        }
    }
    for (HBRUSH brush : {heard, best, missed, line})
        DeleteObject(brush);
}

void CScannerDlg::OnGetDispInfo(NMHDR* header)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if ((info->item.mask & LVIF_TEXT) == 0 || info->item.pszText == nullptr || info->item.cchTextMax <= 0)
        return;
    ApRecord record{};
    CString text;
    if (g_apList.GetDisplayed(info->item.iItem, record))
        text = CellText(record, info->item.iSubItem);
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(info->item.cchTextMax - 1));
    std::copy_n(text.data(), n, info->item.pszText);
    info->item.pszText[n] = 0;
}

void CScannerDlg::OnListClick(const NMHDR* header)
{
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (click->iItem == -1)
        return;
    CMenu menu;
    if (!menu.LoadMenu(IDM_ROW_POPUP))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (popup == nullptr)
        return;
    popup->DeleteMenu(0, MF_BYPOSITION);
    popup->InsertMenu(0, MF_BYPOSITION | MF_STRING, ID_GO_LARGE, g_language.GetText(IDS_GO_LARGE).c_str());
    // The network is taken now, by its record: "Go large" shows it even when
    // a scan moves its row before the command arrives.
    ApRecord record{};
    if (g_apList.GetDisplayed(click->iItem, record))
        m_selectedNumber = record.number;
    // Its row stays highlighted, following it, while the popup is open.
    m_popupOpen = true;
    m_list.SetItemState(click->iItem, LVIS_SELECTED, LVIS_SELECTED);
    POINT at = click->ptAction;
    ClientToScreen(&at);
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, m_hWnd);
    m_popupOpen = false;
    m_list.SetItemState(-1, 0, LVIS_SELECTED);
    menu.DestroyMenu();
}

void CScannerDlg::OnGoLarge()
{
    // Another network's readings say nothing about this one.
    if (m_selectedNumber != m_followedNumber) {
        m_followedNumber = m_selectedNumber;
        m_history.Clear();
        m_tone.Forget();
    }
    // The list has just shown the network's latest reading: the view starts
    // from it, its digits and its click, instead of waiting for a scan of
    // its own. A reading older than the click's quiet time stays silent.
    ApRecord record{};
    if (m_scanSeen && g_apList.GetByNumber(m_followedNumber, record) && record.active == 1)
        m_tone.Heard(m_lastScanTick, record.rssi);
    m_largeView = true;
    m_hintText = g_language.GetText(IDS_HINT_TAP_TO_RESTORE);
    m_list.ShowWindow(SW_HIDE);
    UpdateData(FALSE);
    // Where the list was, the page now draws the large view.
    Invalidate(TRUE);
    TellOwnerLargeView();
    UpdateTone();
}

LRESULT CScannerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_TIMER:
        if (wParam == kToneTimer) {
            UpdateTone();
            return 0;
        }
        break;
    case WM_SHOWWINDOW: {
        const LRESULT result = CColoredDlg::WindowProc(message, wParam, lParam);
        UpdateTone();
        return result;
    }
    case WM_DESTROY:
        // The click ends with the page, however the program stops.
        KillTimer(kToneTimer);
        if (m_clickRate != 0) {
            m_clickRate = 0;
            SetClickRate(0);
        }
        break;
    case WM_LBUTTONDOWN:
        if (m_largeView)
            Restore();
        return Default();
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_GO_LARGE && lParam == 0) {
            OnGoLarge();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header != nullptr && header->idFrom == static_cast<UINT_PTR>(IDC_NETWORK_LIST)) {
            if (header->code == LVN_GETDISPINFOW) {
                OnGetDispInfo(header);
                return 0;
            }
            if (header->code == NM_CLICK) {
                OnListClick(header);
                return 0;
            }
        }
        break;
    }
    default: break;
    }
    return CColoredDlg::WindowProc(message, wParam, lParam);
}
