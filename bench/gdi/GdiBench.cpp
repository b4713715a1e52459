// Costs of the drawing calls a repaint is made of: the final block transfer of
// a control's image, a transparent glyph, a list cell's text and a signal bar.
#include "platform/Testing.h"
#include "platform/gdi/Gdi.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap;
    HGDIOBJ old;
    Surface(int width, int height) : bitmap(CreateBitmap(width, height, 1, 32, nullptr)), old(SelectObject(dc, bitmap))
    {
    }
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

// The off-screen image of a 240 x 25 tab strip copied to its window.
void BM_CopyStrip(benchmark::State& state)
{
    Surface source(240, 25);
    Surface window(240, 320);
    for (auto _ : state) {
        BitBlt(window.dc, 0, 0, 240, 25, source.dc, 0, 0, SRCCOPY);
    }
    state.SetItemsProcessed(state.iterations() * 240 * 25);
}
BENCHMARK(BM_CopyStrip);

// One 8 x 7 glyph put down transparently with the mask trick.
void BM_TransparentGlyph(benchmark::State& state)
{
    const BYTE bits[14] = {0xBD, 0, 0xB9, 0, 0xB1, 0, 0xA3, 0, 0xB1, 0, 0xB9, 0, 0xBD, 0};
    HBITMAP maskBitmap = CreateBitmap(8, 7, 1, 1, bits);
    HDC mask = CreateCompatibleDC(nullptr);
    HGDIOBJ oldMask = SelectObject(mask, maskBitmap);
    Surface colour(8, 7);
    Surface target(240, 25);
    for (auto _ : state) {
        BitBlt(colour.dc, 0, 0, 8, 7, mask, 0, 0, SRCCOPY);
        BitBlt(target.dc, 10, 9, 8, 7, colour.dc, 0, 0, SRCINVERT);
        BitBlt(target.dc, 10, 9, 8, 7, mask, 0, 0, SRCAND);
        BitBlt(target.dc, 10, 9, 8, 7, colour.dc, 0, 0, SRCINVERT);
    }
    SelectObject(mask, oldMask);
    DeleteObject(maskBitmap);
    DeleteDC(mask);
}
BENCHMARK(BM_TransparentGlyph);

// One list cell's text in the 12-pixel bold list font.
void BM_CellText(benchmark::State& state)
{
    Surface cell(120, 16);
    HFONT font = CreateFontW(12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    HGDIOBJ old = SelectObject(cell.dc, font);
    SetBkMode(cell.dc, TRANSPARENT);
    for (auto _ : state) {
        RECT r{0, 0, 120, 16};
        benchmark::DoNotOptimize(DrawTextW(cell.dc, u"HomeNetwork-5G", -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE));
    }
    SelectObject(cell.dc, old);
    DeleteObject(font);
}
BENCHMARK(BM_CellText);

// A 12-column signal wedge: three pens and one line a column.
void BM_SignalBar(benchmark::State& state)
{
    Surface cell(20, 16);
    for (auto _ : state) {
        HPEN pens[3] = {CreatePen(PS_SOLID, 1, RGB(0x32, 0xFF, 0x32)), CreatePen(PS_SOLID, 1, 0x969696),
                        CreatePen(PS_SOLID, 1, 0xDCDCDC)};
        HGDIOBJ old = SelectObject(cell.dc, pens[0]);
        for (int i = 0; i < 12; ++i) {
            SelectObject(cell.dc, pens[i % 3]);
            MoveToEx(cell.dc, 1 + i, 15, nullptr);
            LineTo(cell.dc, 1 + i, 15 - i);
        }
        SelectObject(cell.dc, old);
        for (HPEN pen : pens) {
            DeleteObject(pen);
        }
    }
}
BENCHMARK(BM_SignalBar);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf"));
    platform::gdi::UseFixedPalette();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
