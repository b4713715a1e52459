#include "pages/ListCtrlEx.h"

#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "platform/gdi/Gdi.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr COLORREF kSecuredText = 0x0000FF;
constexpr COLORREF kLit = 0x32FF32;
constexpr COLORREF kSeparator = 0x969696;
constexpr COLORREF kUnlit = 0xDCDCDC;
// A notification of the handheld's list control that only asks to be
// answered with 1.
constexpr UINT kAnswerOne = static_cast<UINT>(-50);

}  // namespace

IMPLEMENT_DYNAMIC(CListCtrlEx, CListCtrl)

CListCtrlEx::CListCtrlEx() : m_rowRecord{}
{
}

int CListCtrlEx::LitColumns(int count, LONG rssi)
{
    const double v = std::fabs(static_cast<double>(rssi));
    if (v < 10)
        return count;
    if (v > 90)
        return 0;
    const double t = ((v - 10) * 0.0125) * count;
    const double u = count - t;
    double whole = 0;
    const double fraction = std::modf(u, &whole);
    return static_cast<int>(whole) + (fraction >= 0.5 ? 1 : 0);
}

void CListCtrlEx::DrawSignalBar(HDC dc, int left, int, int right, int bottom, int size, LONG rssi)
{
    const int count = right - left - 2;
    const int lit = LitColumns(count, rssi);
    const int segment = size < 14 ? 3 : (size <= 16 ? 4 : 5);
    HPEN litPen = CreatePen(PS_SOLID, 1, kLit);
    HPEN separatorPen = CreatePen(PS_SOLID, 1, kSeparator);
    HPEN unlitPen = CreatePen(PS_SOLID, 1, kUnlit);
    HGDIOBJ previous = SelectObject(dc, litPen);
    for (int i = 0; i < count; ++i) {
        HPEN pen = i < lit ? litPen : unlitPen;
        if (i > 0 && i % segment == 0 && i != count - 1)
            pen = separatorPen;
        SelectObject(dc, pen);
        const int x = left + 1 + i;
        // A line from the bottom row up, i pixels long, without its end point.
        MoveToEx(dc, x, bottom - 1, nullptr);
        LineTo(dc, x, bottom - 1 - i);
    }
    SelectObject(dc, previous);
    DeleteObject(litPen);
    DeleteObject(separatorPen);
    DeleteObject(unlitPen);
}

LRESULT CListCtrlEx::OnCustomDraw(NMLVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const auto item = static_cast<LONG>(draw->nmcd.dwItemSpec);
        if (item != -1)
            g_apList.GetDisplayed(item, m_rowRecord);
        return CDRF_NOTIFYSUBITEMDRAW;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        COLORREF back = GetSysColor(COLOR_WINDOW);
        COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
        if ((draw->iSubItem == 0 || draw->iSubItem == 4) && m_rowRecord.privacy != 0)
            text = kSecuredText;
        LONG fontSize = 0;
        if (m_rowRecord.active == 0) {
            text = GetSysColor(COLOR_GRAYTEXT);
        } else if (draw->iSubItem == 1 && g_settings.GetValue(SettingFontSize, fontSize)) {
            const RECT cell = draw->nmcd.rc;
            // The wedge follows the stored size, as far as the cell reaches: a
            // wild stored value must not overflow the arithmetic below.
            fontSize = std::clamp<LONG>(fontSize, 0, cell.right - cell.left);
            draw->nmcd.rc.left += fontSize + 2;
            DrawSignalBar(draw->nmcd.hdc, cell.left, cell.top, cell.left + fontSize + 2, cell.bottom, fontSize,
                          m_rowRecord.rssi);
        }
        draw->clrText = text;
        draw->clrTextBk = back;
        return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
    }
}

BOOL CListCtrlEx::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_NOTIFY || lParam == 0)
        return CListCtrl::OnChildNotify(message, wParam, lParam, result);
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == NM_CUSTOMDRAW) {
        *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        return TRUE;
    }
    if (header->code == kAnswerOne) {
        *result = 1;
        return TRUE;
    }
    return FALSE;
}

LRESULT CListCtrlEx::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN)
        return Default();
    return CListCtrl::WindowProc(message, wParam, lParam);
}
