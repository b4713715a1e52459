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
// A name's box: a pixel of padding each side, the hill's colour in a square
// at its left, a gap, the text.
constexpr int kLabelPadding = 1;
constexpr int kSwatchSize = 6;
constexpr int kSwatchGap = 2;
// The least contrast of a name's text against its box (what the web's
// accessibility guidelines ask of small text).
constexpr double kLeastContrast = 4.5;

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

SIZE TextSize(HDC dc, const CString& text)
{
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void DrawLeft(HDC dc, const CString& text, RECT r)
{
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

// The box of a text of `size` centred on column x, its bottom at row
// bottom, moved left as far as it takes to end before column `to`.
RECT BoxOver(SIZE size, int x, int bottom, int height, int to)
{
    const int left = std::min<int>(x - size.cx / 2, to - size.cx);
    return RECT{left, bottom - height, left + size.cx, bottom};
}

// The text cut at its end, with an ellipsis, to at most `width` pixels.
CString Shortened(HDC dc, const CString& text, int width)
{
    if (TextSize(dc, text).cx <= width)
        return text;
    CString cut = text;
    while (!cut.empty()) {
        cut.pop_back();
        const CString tried = cut + u"\u2026";
        if (TextSize(dc, tried).cx <= width)
            return tried;
    }
    return cut;
}

// The text's colour on `back`: the page's own when it stands out enough,
// else black or white, whichever stands out more.
COLORREF ReadableOn(COLORREF back, COLORREF ink)
{
    if (ChannelChart::Contrast(ink, back) >= kLeastContrast)
        return ink;
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF white = RGB(255, 255, 255);
    return ChannelChart::Contrast(black, back) >= ChannelChart::Contrast(white, back) ? black : white;
}

// "%d" of a text replaced by the number.
CString WithCount(const CString& text, long count)
{
    CString out = text;
    const std::size_t at = out.find(u"%d");
    if (at != CString::npos)
        out.replace(at, 2, Digits(count));
    return out;
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
    if (HWND line = GetDlgItemHwnd(IDC_QUIETEST_CHANNEL)) {
        ::GetWindowRect(line, &m_adviceRect);
        POINT corners[2] = {{m_adviceRect.left, m_adviceRect.top}, {m_adviceRect.right, m_adviceRect.bottom}};
        ::ScreenToClient(m_hWnd, &corners[0]);
        ::ScreenToClient(m_hWnd, &corners[1]);
        m_adviceRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }
    Refresh();
    return TRUE;
}

RECT CChannelsDlg::PlotRect() const
{
    RECT client{};
    GetClientRect(&client);
    int bottom = client.bottom;
    for (int id : {IDC_CHANNEL_BAND, IDC_QUIETEST_CHANNEL})
        if (HWND line = GetDlgItemHwnd(id)) {
            RECT r{};
            ::GetWindowRect(line, &r);
            POINT corner{r.left, r.top};
            ::ScreenToClient(m_hWnd, &corner);
            bottom = std::min<int>(bottom, corner.y);
        }
    return RECT{kLeftRoom, kTopRoom, client.right - kRightRoom, bottom - kBottomRoom};
}

void CChannelsDlg::SetAdviceRows(int rows)
{
    HWND line = GetDlgItemHwnd(IDC_QUIETEST_CHANNEL);
    if (line == nullptr || rows == m_adviceRows)
        return;
    m_adviceRows = rows;
    const int height = m_adviceRect.bottom - m_adviceRect.top;
    ::MoveWindow(line, m_adviceRect.left, m_adviceRect.bottom - rows * height, m_adviceRect.right - m_adviceRect.left,
                 rows * height, TRUE);
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
    // hidden by a filter: a hidden network fills the air all the same, and
    // the line says how many of them it counted.
    std::vector<ChartNetwork> heard;
    long inBand = 0;
    for (const ApRecord& record : g_apList.ActiveRecords()) {
        heard.push_back({record.frequency, record.width, record.rssi});
        ChannelBand of{};
        if (ChannelChart::BandOf(record.frequency, of) && of == m_band)
            ++inBand;
    }
    const QuietChannel quiet = ChannelChart::Quietest(m_band, heard);
    const long hidden = inBand - static_cast<long>(ShownNetworks(m_band).size());
    m_advised = quiet.channel;
    m_bandText = ChannelChart::BandName(m_band);
    if (quiet.channel == 0)
        m_quietestText = g_language.GetText(IDS_NO_NETWORKS_HEARD);
    else
        m_quietestText = g_language.GetText(IDS_QUIETEST_CHANNEL) + u": " + Digits(quiet.channel);
    if (hidden > 0)
        m_quietestText +=
            u"\n" + WithCount(g_language.GetText(hidden == 1 ? IDS_ONE_HIDDEN_COUNTED : IDS_HIDDEN_COUNTED), hidden);
    if (m_hWnd == nullptr)
        return;
    SetAdviceRows(hidden > 0 ? 2 : 1);
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
    const ChannelChart chart(m_band, networks, plot.left, plot.right, m_advised);

    HGDIOBJ oldFont = SelectObject(dc, m_smallFont);
    SetBkMode(dc, TRANSPARENT);
    DrawAxes(dc, chart, plot, ink, grid, back);

    // The strongest first, so that weaker hills stand in front of it.
    std::stable_sort(shown.begin(), shown.end(),
                     [](const Shown& a, const Shown& b) { return a.network.rssi > b.network.rssi; });
    for (const Shown& s : shown)
        FillHill(dc, chart.HillOf(s.network, plot.top, plot.bottom), s.colour, s.secured);
    // Outlines and names after every fill, so that a hill behind others still
    // shows its shape and its name.
    for (const Shown& s : shown)
        OutlineHill(dc, chart.HillOf(s.network, plot.top, plot.bottom), s.colour);
    DrawLabels(dc, chart, plot, shown, ink, back);
    SelectObject(dc, oldFont);
}

void CChannelsDlg::DrawLabels(HDC dc, const ChannelChart& chart, const RECT& plot, const std::vector<Shown>& shown,
                              COLORREF ink, COLORREF back)
{
    // Names are written in a dark (or light) text on the page's background
    // whatever the hill's colour: a hill's colour on the page's tint can be
    // too faint to read. The colour is shown beside the text instead.
    const COLORREF textColour = ReadableOn(back, ink);
    const int longest = (plot.right - plot.left) / 2 - 2 * kLabelPadding - kSwatchSize - kSwatchGap;
    std::vector<LabelWish> wishes;
    m_labels.clear();
    for (const Shown& s : shown) {
        const Hill hill = chart.HillOf(s.network, plot.top, plot.bottom);
        DrawnLabel label;
        label.text = Shortened(dc, s.name, longest);
        label.colour = s.colour;
        label.ink = textColour;
        const SIZE text = TextSize(dc, label.text);
        if (s.name.empty() || text.cx == 0)
            continue;
        wishes.push_back({SIZE{text.cx + 2 * kLabelPadding + kSwatchSize + kSwatchGap, text.cy}, hill.topLeft,
                          hill.topRight, hill.top, s.network.rssi});
        m_labels.push_back(label);
    }
    // Names go anywhere over the plot and in the room above it, but not over
    // the axes.
    const RECT area{plot.left + 1, 0, plot.right, plot.bottom};
    const std::vector<PlacedLabel> placed = LabelLayout::Place(wishes, area);
    for (std::size_t i = 0; i < m_labels.size(); ++i)
        m_labels[i].placed = placed[i];
    std::erase_if(m_labels, [](const DrawnLabel& label) { return !label.placed.shown; });

    // The lines first, so that no line crosses a name.
    for (const DrawnLabel& label : m_labels) {
        if (!label.placed.leader)
            continue;
        HPEN pen = CreatePen(PS_SOLID, 1, label.colour);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        Line(dc, label.placed.from.x, label.placed.from.y, label.placed.to.x, label.placed.to.y);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    HBRUSH backBrush = CreateSolidBrush(back);
    ::SetTextColor(dc, textColour);
    for (DrawnLabel& label : m_labels) {
        label.box = label.placed.box;
        FillRect(dc, &label.box, backBrush);
        const int middle = (label.box.top + label.box.bottom) / 2;
        const int left = label.box.left + kLabelPadding;
        label.swatch = RECT{left, middle - kSwatchSize / 2, left + kSwatchSize, middle - kSwatchSize / 2 + kSwatchSize};
        HBRUSH swatch = CreateSolidBrush(label.colour);
        FillRect(dc, &label.swatch, swatch);
        DeleteObject(swatch);
        DrawLeft(
            dc, label.text,
            RECT{label.swatch.right + kSwatchGap, label.box.top, label.box.right - kLabelPadding, label.box.bottom});
    }
    DeleteObject(backBrush);
}

void CChannelsDlg::DrawAxes(HDC dc, const ChannelChart& chart, const RECT& plot, COLORREF ink, COLORREF grid,
                            COLORREF back)
{
    RECT client{};
    GetClientRect(&client);
    // Nothing is drawn in the page's last column: the axis and its numbers
    // end before the page does.
    const int edge = client.right - 1;
    const int right = std::min<int>(chart.Right(), plot.right);
    HPEN gridPen = CreatePen(PS_SOLID, 1, grid);
    HPEN inkPen = CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ oldPen = SelectObject(dc, gridPen);
    ::SetTextColor(dc, ink);
    for (LONG dbm = ChannelChart::kTopDbm; dbm > ChannelChart::kFloorDbm; dbm -= 10) {
        const int y = ChannelChart::Y(dbm, plot.top, plot.bottom);
        Line(dc, plot.left + 1, y, right + 1, y);
    }
    auto besideAxis = [&](const CString& text, LONG dbm) {
        const int y = ChannelChart::Y(dbm, plot.top, plot.bottom);
        RECT label{0, y - kLabelFontHeight / 2, plot.left - 2, y + kLabelFontHeight / 2 + 1};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label,
                  DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    };
    for (LONG dbm = ChannelChart::kTopDbm; dbm >= ChannelChart::kFloorDbm; dbm -= 20)
        besideAxis(Digits(dbm), dbm);
    // The unit under the top number, halfway to the next.
    besideAxis(g_language.GetText(IDS_DBM), ChannelChart::kTopDbm - 10);
    SelectObject(dc, inkPen);
    Line(dc, plot.left, plot.top, plot.left, plot.bottom + 1);
    Line(dc, plot.left, plot.bottom, right + 1, plot.bottom);
    // Each channel a tick; the numbers of every channel, or of every second,
    // third... one, the fewest skipped that leave room between the numbers.
    // The advised channel's number is always there, marked, and numbers too
    // near it give way.
    const std::vector<AxisTick> ticks = chart.Ticks();
    const int numbersBottom = plot.bottom + 3 + kLabelFontHeight;
    std::vector<RECT> boxes(ticks.size());
    std::vector<CString> texts(ticks.size());
    std::size_t advised = ticks.size();
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        texts[i] = Digits(ticks[i].channel);
        boxes[i] = BoxOver(TextSize(dc, texts[i]), ticks[i].x, numbersBottom, kLabelFontHeight, edge);
        if (ticks[i].channel == m_advised)
            advised = i;
        Line(dc, ticks[i].x, plot.bottom + 1, ticks[i].x, plot.bottom + 3);
    }
    if (advised < ticks.size()) {
        // The marked number has a pixel of room each side.
        boxes[advised].left -= 1;
        boxes[advised].right += 1;
        boxes[advised] = BoxOver(SIZE{boxes[advised].right - boxes[advised].left, 0}, ticks[advised].x, numbersBottom,
                                 kLabelFontHeight, edge);
    }
    auto apart = [&](std::size_t a, std::size_t b) {
        const RECT& l = boxes[std::min(a, b)];
        const RECT& r = boxes[std::max(a, b)];
        return r.left > l.right + 2;
    };
    std::size_t stride = 1;
    for (; stride < ticks.size(); ++stride) {
        bool fits = true;
        for (std::size_t i = stride; i < ticks.size() && fits; i += stride)
            fits = apart(i - stride, i);
        if (fits)
            break;
    }
    for (std::size_t i = 0; i < ticks.size(); i += stride)
        if (advised == ticks.size() || (i != advised && apart(i, advised)))
            DrawLeft(dc, texts[i], boxes[i]);
    m_advisedMark = RECT{};
    if (advised < ticks.size()) {
        m_advisedMark = boxes[advised];
        HBRUSH inkBrush = CreateSolidBrush(ink);
        FillRect(dc, &m_advisedMark, inkBrush);
        DeleteObject(inkBrush);
        ::SetTextColor(dc, back);
        const RECT inner{m_advisedMark.left + 1, m_advisedMark.top, m_advisedMark.right - 1, m_advisedMark.bottom};
        DrawLeft(dc, texts[advised], inner);
        ::SetTextColor(dc, ink);
    }
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
