// The channels page: the networks of one band, as the list would show them
// and as the last scan heard them, drawn as hills over their channels and
// named where their names have room, with the band's name and the quietest
// channel to use on the line below (and how many networks the filters hide
// that it counted). A tap on the graph moves on to the next band that holds
// networks.
#pragma once

#include "controls/ColoredDlg.h"
#include "pages/ChannelChart.h"
#include "pages/LabelLayout.h"

#include <vector>

struct ApRecord;

class CChannelsDlg : public CColoredDlg {
    DECLARE_DYNAMIC(CChannelsDlg)

public:
    explicit CChannelsDlg(CWnd* parent = nullptr);
    ~CChannelsDlg() override;

    // Takes in a scan tick's catalogue: the texts below the graph and the graph.
    void Refresh();
    ChannelBand Band() const { return m_band; }
    // The graph's plot: the dBm axis at its left, the channel axis at its bottom.
    RECT PlotRect() const;
    // The channel the line below advises, marked on the axis; 0 for none.
    int Advised() const { return m_advised; }

    // A network's name as the last paint wrote it: in a box of the page's
    // background, the hill's colour in a small square at its left.
    struct DrawnLabel {
        CString text;
        RECT box{};
        RECT swatch{};
        COLORREF colour = 0;  // the hill's
        COLORREF ink = 0;     // the text's
        PlacedLabel placed;
    };
    const std::vector<DrawnLabel>& Labels() const { return m_labels; }
    // The box of the advised channel's number under the axis, drawn in the
    // text's colour with the number in the background's; empty when there
    // is no advice.
    RECT AdvisedMark() const { return m_advisedMark; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    struct Shown {
        ChartNetwork network;
        COLORREF colour;
        bool secured;
        CString name;
    };
    // The networks the list shows that the last scan heard, in the band.
    std::vector<Shown> ShownNetworks(ChannelBand band) const;
    void OnPaint();
    void OnTap(POINT at);
    void DrawChart(HDC dc);
    void DrawAxes(HDC dc, const ChannelChart& chart, const RECT& plot, COLORREF ink, COLORREF grid, COLORREF back);
    void DrawLabels(HDC dc, const ChannelChart& chart, const RECT& plot, const std::vector<Shown>& shown, COLORREF ink,
                    COLORREF back);
    // Gives the line below the graph one row, or two when it tells of hidden
    // networks too; it grows upwards and the graph above gives way.
    void SetAdviceRows(int rows);
    static void FillHill(HDC dc, const Hill& hill, COLORREF colour, bool secured);
    static void OutlineHill(HDC dc, const Hill& hill, COLORREF colour);

    ChannelBand m_band = ChannelBand::Ghz2_4;
    HFONT m_smallFont = nullptr;
    CString m_bandText;
    CString m_quietestText;
    int m_advised = 0;
    int m_adviceRows = 1;
    RECT m_adviceRect{};  // the line's place in the template, one row high
    std::vector<DrawnLabel> m_labels;
    RECT m_advisedMark{};
};
