#include "pages/ChannelsDlg.h"

#include "app/Globals.h"
#include "catalogue/ApList.h"
#include "pages/ScannerDlg.h"
#include "platform/gdi/Gdi.h"
#include "res/Resource.h"
#include "settings/Language.h"

#include <algorithm>
#include <string>

namespace {

// Room around the plot: the dBm labels at the left, names over the highest
// hills at the top, channel numbers under the axis at the bottom.
constexpr int kLeftRoom = 27;
constexpr int kTopRoom = 13;
constexpr int kRightRoom = 4;
constexpr int kBottomRoom = 13;
constexpr int kLabelFontHeight = 12;
// Every open network's hill is hatched with one column in this many.
constexpr int kHatchEvery = 3;

CString Digits(long number)
{
    const std::string text = std::to_string(number);
    return CString(text.begin(), text.end());
}

void FillColumn(HDC dc, int x, int top, int bottom, HBRUSH brush)
{
    const RECT column{x, top, x + 1, bottom};
    FillRect(dc, &column, brush);
}

void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A text centred on column x, its bottom at row bottom, moved right or left
// as far as it takes to keep it between the columns `from` and `to`.
void TextOver(HDC dc, const CString& text, int x, int bottom, int height, int from = -1, int to = -1)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    int left = x - size.cx / 2;
    if (to >= 0)
        left = std::min<int>(left, to - size.cx);
    if (from >= 0)
        left = std::max(left, from);
    RECT r{left, bottom - height, left + size.cx + 1, bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

}  // namespace

IMPLEMENT_DYNAMIC(CChannelsDlg, CColoredDlg)

CChannelsDlg::CChannelsDlg(CWnd* parent) : CColoredDlg(IDD_CHANNELS_PAGE, parent)
{
}

CChannelsDlg::~CChannelsDlg()
{
    if (m_smallFont != nullptr)
        DeleteObject(m_smallFont);
}

void CChannelsDlg::DoDataExchange(CDataExchange* dx)
{
    CColoredDlg::DoDataExchange(dx);
    DDX_Text(dx, IDC_CHANNEL_BAND, m_bandText);
    DDX_Text(dx, IDC_QUIETEST_CHANNEL, m_quietestText);
}

BOOL CChannelsDlg::OnInitDialog()
{
    CColoredDlg::OnInitDialog();
    m_smallFont = CreateFontW(kLabelFontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    Refresh();
    return TRUE;
}

RECT CChannelsDlg::PlotRect() const
{
    RECT client{};
    GetClientRect(&client);
    int bottom = client.bottom;
    if (HWND line = GetDlgItemHwnd(IDC_CHANNEL_BAND)) {
        RECT r{};
        ::GetWindowRect(line, &r);
        POINT corner{r.left, r.top};
        ::ScreenToClient(m_hWnd, &corner);
        bottom = corner.y;
    }
    return RECT{kLeftRoom, kTopRoom, client.right - kRightRoom, bottom - kBottomRoom};
}

std::vector<CChannelsDlg::Shown> CChannelsDlg::ShownNetworks(ChannelBand band) const
{
    std::vector<Shown> shown;
    LONG total = 0;
    LONG active = 0;
    g_apList.BuildDisplayList(total, active);
    ApRecord record{};
    for (LONG row = 0; row < total; ++row) {
        ChannelBand of{};
        if (!g_apList.GetDisplayed(row, record) || record.active != 1 || !ChannelChart::BandOf(record.frequency, of) ||
            of != band)
            continue;
        shown.push_back(Shown{{record.frequency, record.width, record.rssi},
                              ChannelChart::ColourOf(record.mac),
                              record.privacy != 0,
                              CScannerDlg::CellText(record, 0)});
    }
    return shown;
}

void CChannelsDlg::Refresh()
{
    // A hidden page waits until it is shown.
    if (m_hWnd != nullptr && !IsWindowVisible())
        return;
    // The quietest channel counts every network the last scan heard, shown or
    // hidden by a filter: a hidden network fills the air all the same.
    std::vector<ChartNetwork> heard;
    for (const ApRecord& record : g_apList.ActiveRecords())
        heard.push_back({record.frequency, record.width, record.rssi});
    const QuietChannel quiet = ChannelChart::Quietest(m_band, heard);
    m_bandText = ChannelChart::BandName(m_band);
    m_quietestText = g_language.GetText(IDS_QUIETEST_CHANNEL) + u": " + Digits(quiet.channel);
    if (m_hWnd == nullptr)
        return;
    UpdateData(FALSE);
    Invalidate(TRUE);
}

void CChannelsDlg::OnTap(POINT at)
{
    const RECT plot = PlotRect();
    if (at.y >= plot.bottom + kBottomRoom)
        return;
    // The next band after this one that holds networks; this one when no
    // other does.
    for (int step = 1; step < kChannelBandCount; ++step) {
        const auto next = static_cast<ChannelBand>((static_cast<int>(m_band) + step) % kChannelBandCount);
        if (!ShownNetworks(next).empty()) {
            m_band = next;
            break;
        }
    }
    Refresh();
}

void CChannelsDlg::OnPaint()
{
    CColoredDlg::WindowProc(WM_PAINT, 0, 0);
    HDC dc = GetDC();
    if (dc == nullptr)
        return;
    DrawChart(dc);
    ReleaseDC(dc);
}

void CChannelsDlg::DrawChart(HDC dc)
{
    // The page's own colours, as its static texts get them.
    SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(-1));
    const COLORREF back = GetBkColor(dc);
    const COLORREF ink = GetTextColor(dc);
    // Grid lines a quarter of the way from the background to the text.
    const COLORREF grid = MixOf(back, MixOf(back, ink));
    const RECT plot = PlotRect();
    std::vector<Shown> shown = ShownNetworks(m_band);
    std::vector<ChartNetwork> networks;
    for (const Shown& s : shown)
        networks.push_back(s.network);
    const ChannelChart chart(m_band, networks, plot.left, plot.right);

    HGDIOBJ oldFont = SelectObject(dc, m_smallFont);
    SetBkMode(dc, TRANSPARENT);
    DrawAxes(dc, chart, plot, ink, grid);

    // The strongest first, so that weaker hills stand in front of it.
    std::stable_sort(shown.begin(), shown.end(),
                     [](const Shown& a, const Shown& b) { return a.network.rssi > b.network.rssi; });
    for (const Shown& s : shown)
        FillHill(dc, chart.HillOf(s.network, plot.top, plot.bottom), s.colour, s.secured);
    // Outlines and names after every fill, so that a hill behind others still
    // shows its shape and its name.
    for (const Shown& s : shown)
        OutlineHill(dc, chart.HillOf(s.network, plot.top, plot.bottom), s.colour);
    for (const Shown& s : shown) {
        const Hill hill = chart.HillOf(s.network, plot.top, plot.bottom);
        ::SetTextColor(dc, s.colour);
        TextOver(dc, s.name, (hill.topLeft + hill.topRight) / 2, hill.top - 1, kLabelFontHeight, plot.left + 2,
                 plot.right);
    }
    SelectObject(dc, oldFont);
}

void CChannelsDlg::DrawAxes(HDC dc, const ChannelChart& chart, const RECT& plot, COLORREF ink, COLORREF grid)
{
    const int right = std::min<int>(chart.Right(), plot.right);
    HPEN gridPen = CreatePen(PS_SOLID, 1, grid);
    HPEN inkPen = CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ oldPen = SelectObject(dc, gridPen);
    ::SetTextColor(dc, ink);
    for (LONG dbm = ChannelChart::kTopDbm; dbm > ChannelChart::kFloorDbm; dbm -= 10) {
        const int y = ChannelChart::Y(dbm, plot.top, plot.bottom);
        Line(dc, plot.left + 1, y, right + 1, y);
    }
    for (LONG dbm = ChannelChart::kTopDbm; dbm >= ChannelChart::kFloorDbm; dbm -= 20) {
        const int y = ChannelChart::Y(dbm, plot.top, plot.bottom);
        RECT label{0, y - kLabelFontHeight / 2, plot.left - 2, y + kLabelFontHeight / 2 + 1};
        const CString text = Digits(dbm);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
                  DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    SelectObject(dc, inkPen);
    Line(dc, plot.left, plot.top, plot.left, plot.bottom + 1);
    Line(dc, plot.left, plot.bottom, right + 1, plot.bottom);
    // Each channel a tick; the numbers of every channel, or of every second,
    // third... one, the fewest skipped that leave room between the numbers.
    const std::vector<AxisTick> ticks = chart.Ticks();
    std::vector<SIZE> sizes(ticks.size());
    std::vector<CString> texts(ticks.size());
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        texts[i] = Digits(ticks[i].channel);
        GetTextExtentPoint32W(dc, texts[i].c_str(), static_cast<int>(texts[i].size()), &sizes[i]);
        Line(dc, ticks[i].x, plot.bottom + 1, ticks[i].x, plot.bottom + 3);
    }
    std::size_t stride = 1;
    for (; stride < ticks.size(); ++stride) {
        bool fits = true;
        for (std::size_t i = stride; i < ticks.size() && fits; i += stride)
            fits = ticks[i].x - sizes[i].cx / 2 > ticks[i - stride].x + (sizes[i - stride].cx + 1) / 2 + 2;
        if (fits)
            break;
    }
    for (std::size_t i = 0; i < ticks.size(); i += stride)
        TextOver(dc, texts[i], ticks[i].x, plot.bottom + 3 + kLabelFontHeight, kLabelFontHeight);
    // A break in the axis: two short slashes across it.
    for (int x : chart.Breaks()) {
        Line(dc, x - 3, plot.bottom + 3, x, plot.bottom - 3);
        Line(dc, x, plot.bottom + 3, x + 3, plot.bottom - 3);
    }
    SelectObject(dc, oldPen);
    DeleteObject(gridPen);
    DeleteObject(inkPen);
}

void CChannelsDlg::FillHill(HDC dc, const Hill& hill, COLORREF colour, bool secured)
{
    // A secured network's hill is solid; an open one's is hatched with thin
    // upright lines.
    HBRUSH brush = CreateSolidBrush(colour);
    for (int x = hill.footLeft; x <= hill.footRight; ++x) {
        const int y = hill.OutlineAt(x);
        if (y >= 0 && (secured || (x - hill.footLeft) % kHatchEvery == 0))
            FillColumn(dc, x, y, hill.floor, brush);
    }
    DeleteObject(brush);
}

void CChannelsDlg::OutlineHill(HDC dc, const Hill& hill, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const POINT outline[] = {{hill.footLeft, hill.floor},
                             {hill.topLeft, hill.top},
                             {hill.topRight, hill.top},
                             {hill.footRight, hill.floor},
                             {hill.footRight, hill.floor + 1}};
    Polyline(dc, outline, 5);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

LRESULT CChannelsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_SHOWWINDOW:
        if (wParam != FALSE) {
            // Shown: what the scans heard while the page was hidden.
            const LRESULT result = CColoredDlg::WindowProc(message, wParam, lParam);
            Refresh();
            return result;
        }
        break;
    case WM_LBUTTONDOWN: OnTap(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return Default();
    default: break;
    }
    return CColoredDlg::WindowProc(message, wParam, lParam);
}
