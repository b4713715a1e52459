// The channels page: the networks of one band, as the list would show them
// and as the last scan heard them, drawn as hills over their channels, with
// the band's name and the quietest channel to use on the line below. A tap on
// the graph moves on to the next band that holds networks.
#pragma once

#include "controls/ColoredDlg.h"
#include "pages/ChannelChart.h"

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
    void DrawAxes(HDC dc, const ChannelChart& chart, const RECT& plot, COLORREF ink, COLORREF grid);
    static void FillHill(HDC dc, const Hill& hill, COLORREF colour, bool secured);
    static void OutlineHill(HDC dc, const Hill& hill, COLORREF colour);

    ChannelBand m_band = ChannelBand::Ghz2_4;
    HFONT m_smallFont = nullptr;
    CString m_bandText;
    CString m_quietestText;
};
