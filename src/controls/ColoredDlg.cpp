#include "controls/ColoredDlg.h"

#include "platform/gdi/Gdi.h"

namespace {

constexpr int kSysColorIndexFlag = 0x40000000;

}  // namespace

COLORREF TintOf(COLORREF colour)
{
    // Each channel c becomes c + (255 - c) / 2; the mask keeps a channel's
    // low bit from spilling into its neighbour.
    return (((colour ^ 0xFEFEFE) >> 1) & 0x7FFF7F7F) + (colour & 0xFFFFFF);
}

COLORREF MixOf(COLORREF a, COLORREF b)
{
    return (a & b) + (((a ^ b) >> 1) & 0x7FFF7F7F);
}

COLORREF SystemColour(int index)
{
    return GetSysColor(kSysColorIndexFlag | index);
}

COLORREF CaptionTint()
{
    return TintOf(SystemColour(COLOR_ACTIVECAPTION));
}

COLORREF CaptionMix()
{
    return MixOf(SystemColour(COLOR_ACTIVECAPTION), SystemColour(COLOR_CAPTIONTEXT));
}

IMPLEMENT_DYNAMIC(CColoredDlg, CDialog)

CColoredDlg::CColoredDlg(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_backBrush(CreateSolidBrush(CaptionTint())),
      // Until the owner sets them, the colours match the brush.
      m_backColor(CaptionTint()), m_textColor(RGB(0, 0, 0))
{
}

CColoredDlg::~CColoredDlg()
{
    if (m_backBrush != nullptr)
        DeleteObject(m_backBrush);
}

void CColoredDlg::SetBackColor(COLORREF colour)
{
    m_backColor = colour;
    if (m_backBrush != nullptr)
        DeleteObject(m_backBrush);
    m_backBrush = CreateSolidBrush(colour);
}

void CColoredDlg::SetTextColor(COLORREF colour)
{
    m_textColor = colour;
}

LRESULT CColoredDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // Every kind of request gets the same answer.
        auto dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, m_backColor);
        ::SetTextColor(dc, m_textColor);
        ::SetBkMode(dc, OPAQUE);
        return reinterpret_cast<LRESULT>(m_backBrush);
    }
    default: return CDialog::WindowProc(message, wParam, lParam);
    }
}
