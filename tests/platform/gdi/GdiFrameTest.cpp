#include "GdiTestSupport.h"

#include "platform/Testing.h"
#include "platform/gdi/GdiInternal.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

struct SysColorCase {
    int index;
    COLORREF expected;  // under the fixed test palette
};

class SysColors : public ::testing::TestWithParam<SysColorCase> { };

TEST_P(SysColors, PlainIndexAndFlaggedIndexAgree)
{
    const SysColorCase& c = GetParam();
    EXPECT_EQ(GetSysColor(c.index), c.expected);
    EXPECT_EQ(GetSysColor(c.index | SYS_COLOR_INDEX_FLAG), c.expected);
    LOGBRUSH brush;
    ASSERT_NE(GetObject(GetSysColorBrush(c.index | SYS_COLOR_INDEX_FLAG), sizeof(brush), &brush), 0);
    EXPECT_EQ(brush.lbColor, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SysColors,
                         ::testing::Values(SysColorCase{COLOR_ACTIVECAPTION, RGB(10, 36, 106)},
                                           SysColorCase{COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
                                           SysColorCase{COLOR_WINDOW, RGB(255, 255, 255)},
                                           SysColorCase{COLOR_WINDOWTEXT, RGB(0, 0, 0)},
                                           SysColorCase{COLOR_BTNFACE, RGB(192, 192, 192)},
                                           SysColorCase{COLOR_BTNSHADOW, RGB(128, 128, 128)},
                                           SysColorCase{COLOR_BTNTEXT, RGB(0, 0, 0)},
                                           SysColorCase{COLOR_GRAYTEXT, RGB(128, 128, 128)},
                                           SysColorCase{COLOR_HIGHLIGHT, RGB(10, 36, 106)}),
                         [](const auto& info) { return "index_" + std::to_string(info.param.index); });

TEST(GdiSysColors, UnknownIndicesGiveNothingAndPaletteChangesShowAtOnce)
{
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(27), 0u);
    EXPECT_EQ(GetSysColor(SYS_COLOR_INDEX_FLAG | 200), 0u);
    EXPECT_EQ(GetSysColorBrush(99), nullptr);

    // The brush follows the palette: the caption colour is the desktop accent.
    HBRUSH caption = GetSysColorBrush(COLOR_ACTIVECAPTION);
    EXPECT_TRUE(DeleteObject(caption));  // never really deleted
    QPalette accent = QGuiApplication::palette();
    accent.setColor(QPalette::Highlight, QColor(200, 100, 50));
    QGuiApplication::setPalette(accent);
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION | SYS_COLOR_INDEX_FLAG), RGB(200, 100, 50));
    Canvas canvas(2, 2);
    RECT all{0, 0, 2, 2};
    EXPECT_NE(FillRect(canvas.dc(), &all, caption), 0);
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(200, 100, 50));
    platform::gdi::UseFixedPalette();
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(10, 36, 106));
}

// Draws a frame control on a fresh 16 x 16 canvas and returns it as a list of
// colours row by row.
std::vector<COLORREF> Frame(UINT type, UINT state, BOOL* result = nullptr)
{
    Canvas canvas(16, 16, RGB(1, 2, 3));
    RECT box{0, 0, 16, 16};
    const BOOL drawn = DrawFrameControl(canvas.dc(), &box, type, state);
    if (result != nullptr) {
        *result = drawn;
    }
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            pixels.push_back(GetPixel(canvas.dc(), x, y));
        }
    }
    return pixels;
}

TEST(GdiFrame, PushButtonsAreRaisedOrSunkenWithAButtonFace)
{
    const auto raised = Frame(DFC_BUTTON, DFCS_BUTTONPUSH);
    const auto pushed = Frame(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    const auto flat = Frame(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT);
    EXPECT_NE(raised, pushed);
    EXPECT_NE(raised, flat);
    for (const auto* face : {&raised, &pushed, &flat}) {
        EXPECT_EQ((*face)[8 * 16 + 8], GetSysColor(COLOR_BTNFACE));
        // The whole rectangle is drawn: none of the old background remains.
        EXPECT_EQ(std::count(face->begin(), face->end(), RGB(1, 2, 3)), 0);
    }
    // Raised: light top-left, dark bottom-right; pushed the other way round.
    EXPECT_EQ(raised[1 * 16 + 1], GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(raised[14 * 16 + 14], GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pushed[0], GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pushed[15 * 16 + 15], GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST(GdiFrame, CheckBoxShowsItsMarkOnlyWhenChecked)
{
    const auto clear = Frame(DFC_BUTTON, DFCS_BUTTONCHECK);
    const auto checked = Frame(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    const COLORREF mark = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF paper = GetSysColor(COLOR_WINDOW);
    auto inside = [](const std::vector<COLORREF>& pixels, COLORREF colour) {
        int count = 0;
        for (int y = 2; y < 14; ++y) {
            for (int x = 2; x < 14; ++x) {
                count += pixels[y * 16 + x] == colour ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_EQ(inside(clear, paper), 144);
    EXPECT_EQ(inside(checked, mark), 21);  // the 7 x 7 mark, three pixels thick
    EXPECT_EQ(inside(checked, paper), 144 - 21);
    // Same frame either way.
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(clear[i], checked[i]);
    }

    const auto radio = Frame(DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(radio[8 * 16 + 8], mark);
    EXPECT_EQ(radio[0], RGB(1, 2, 3));  // a circle leaves the corners alone
}

TEST(GdiFrame, UnsupportedTypesFail)
{
    BOOL result = TRUE;
    const auto untouched = Frame(1 /* DFC_CAPTION */, 0, &result);
    EXPECT_FALSE(result);
    EXPECT_EQ(std::count(untouched.begin(), untouched.end(), RGB(1, 2, 3)), 256);
    Canvas canvas(2, 2);
    EXPECT_FALSE(DrawFrameControl(canvas.dc(), nullptr, DFC_BUTTON, DFCS_BUTTONPUSH));
}

}  // namespace
