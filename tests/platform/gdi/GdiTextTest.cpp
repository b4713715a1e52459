#include "GdiTestSupport.h"

#include "platform/gdi/GdiInternal.h"

#include <QFont>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 160);

HFONT Tahoma(int height, int weight = FW_NORMAL)
{
    return CreateFontW(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
}

class TextCanvas : public ::testing::Test {
protected:
    void Use(int height, int weight = FW_NORMAL)
    {
        m_font = Tahoma(height, weight);
        m_old = SelectObject(canvas.dc(), m_font);
        SetTextColor(canvas.dc(), kInk);
        SetBkMode(canvas.dc(), TRANSPARENT);
    }
    void TearDown() override
    {
        if (m_font != nullptr) {
            SelectObject(canvas.dc(), m_old);
            DeleteObject(m_font);
        }
    }
    Canvas canvas{120, 60, kPaper};
    HFONT m_font = nullptr;
    HGDIOBJ m_old = nullptr;
};

TEST_F(TextCanvas, TextPixelsAreTheTextColourAndStayInsideTheBox)
{
    Use(-12);
    RECT box{10, 10, 110, 30};
    EXPECT_GT(DrawTextW(canvas.dc(), u"Tarvolin", -1, &box, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX), 0);
    const RECT all{0, 0, 120, 60};
    EXPECT_GT(canvas.Count(kInk, box), 20);
    // No antialiasing: every pixel is either paper or ink.
    EXPECT_EQ(canvas.Count(kInk, all) + canvas.Count(kPaper, all), 120 * 60);
    const RECT ink = canvas.Bounds(kInk, all);
    EXPECT_GE(ink.left, box.left);
    EXPECT_GE(ink.top, box.top);
    EXPECT_LE(ink.right, box.right);
    EXPECT_LE(ink.bottom, box.bottom);
}

TEST_F(TextCanvas, TextIsClippedToItsRectangleUnlessNoClip)
{
    Use(-20);
    RECT narrow{0, 0, 15, 30};
    DrawTextW(canvas.dc(), u"WWWWWW", -1, &narrow, DT_SINGLELINE);
    EXPECT_EQ(canvas.Count(kInk, RECT{15, 0, 120, 60}), 0);
    RECT loose{0, 30, 15, 60};
    DrawTextW(canvas.dc(), u"WWWWWW", -1, &loose, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(canvas.Count(kInk, RECT{15, 30, 120, 60}), 0);
}

TEST_F(TextCanvas, OpaqueModeFillsTheTextBoxWithTheBackgroundColour)
{
    Use(-12);
    SetBkMode(canvas.dc(), OPAQUE);
    SetBkColor(canvas.dc(), RGB(0, 200, 0));
    RECT box{0, 0, 120, 60};
    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc(), u"Hi", 2, &extent));
    DrawTextW(canvas.dc(), u"Hi", -1, &box, DT_SINGLELINE);
    const RECT filled{0, 0, extent.cx, extent.cy};
    EXPECT_EQ(canvas.Count(RGB(0, 200, 0), filled) + canvas.Count(kInk, filled), extent.cx * extent.cy);
    EXPECT_EQ(canvas.Count(RGB(0, 200, 0), RECT{extent.cx, 0, 120, 60}), 0);
}

TEST_F(TextCanvas, CentredTextSitsInTheMiddleOfItsBox)
{
    Use(-12);
    RECT box{0, 0, 120, 60};
    const int returned = DrawTextW(canvas.dc(), u"Go large", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT measured{0, 0, 120, 60};
    const int height = DrawTextW(canvas.dc(), u"Go large", -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    const int width = measured.right;
    // Return value with DT_VCENTER: from the top to the bottom of the text.
    EXPECT_EQ(returned, (60 - height) / 2 + height);
    const RECT ink = canvas.Bounds(kInk, RECT{0, 0, 120, 60});
    const int left = (120 - width) / 2;
    const int top = (60 - height) / 2;
    EXPECT_GE(ink.left, left);
    EXPECT_LE(ink.right, left + width);
    EXPECT_GE(ink.top, top);
    EXPECT_LE(ink.bottom, top + height);
    // The ink's horizontal middle is within a few pixels of the box's middle.
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 60.0, 3.0);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 30.0, 4.0);
}

TEST_F(TextCanvas, RightAndBottomAlignmentPutTextAgainstThoseEdges)
{
    Use(-12);
    RECT box{0, 0, 120, 60};
    DrawTextW(canvas.dc(), u"dBm", -1, &box, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    const RECT ink = canvas.Bounds(kInk, box);
    EXPECT_GT(ink.left, 80);
    EXPECT_GT(ink.top, 40);
}

TEST_F(TextCanvas, WordBreakWrapsAndCalcRectMeasuresWithoutDrawing)
{
    Use(-12);
    RECT oneLine{0, 0, 1000, 0};
    const int lineHeight = DrawTextW(canvas.dc(), u"Hide secured networks", -1, &oneLine, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(lineHeight, 0);
    EXPECT_EQ(oneLine.bottom, lineHeight);
    RECT wrapped{0, 0, oneLine.right / 2, 0};
    const int height = DrawTextW(canvas.dc(), u"Hide secured networks", -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(height, 2 * lineHeight);
    EXPECT_EQ(wrapped.bottom, height);
    EXPECT_LE(wrapped.right, oneLine.right / 2);
    // A hard line break makes two lines even without DT_WORDBREAK.
    RECT broken{0, 0, 1000, 0};
    EXPECT_EQ(DrawTextW(canvas.dc(), u"a\r\nb", -1, &broken, DT_CALCRECT), 2 * lineHeight);
    EXPECT_EQ(canvas.Count(kInk, RECT{0, 0, 120, 60}), 0);
}

TEST_F(TextCanvas, PrefixesAndTabs)
{
    Use(-12);
    RECT plain{0, 0, 1000, 0};
    RECT prefixed{0, 0, 1000, 0};
    RECT kept{0, 0, 1000, 0};
    DrawTextW(canvas.dc(), u"About", -1, &plain, DT_CALCRECT | DT_SINGLELINE);
    DrawTextW(canvas.dc(), u"&About", -1, &prefixed, DT_CALCRECT | DT_SINGLELINE);
    DrawTextW(canvas.dc(), u"&About", -1, &kept, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(prefixed.right, plain.right);
    EXPECT_GT(kept.right, plain.right);

    TEXTMETRICW metrics;
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &metrics));
    RECT tabbed{0, 0, 1000, 0};
    DrawTextW(canvas.dc(), u"a\tb", -1, &tabbed, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    SIZE b;
    GetTextExtentPoint32W(canvas.dc(), u"b", 1, &b);
    EXPECT_EQ(tabbed.right, 8 * metrics.tmAveCharWidth + b.cx);
}

TEST_F(TextCanvas, EndEllipsisKeepsASingleLineInsideItsBox)
{
    Use(-12);
    RECT box{0, 0, 40, 20};
    RECT measured = box;
    DrawTextW(canvas.dc(), u"A very long network name", -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_LE(measured.right, 40);
    DrawTextW(canvas.dc(), u"A very long network name", -1, &box, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_EQ(canvas.Count(kInk, RECT{40, 0, 120, 60}), 0);
}

TEST(GdiText, CalcRectGrowsWithFontHeight)
{
    Canvas canvas(10, 10);
    int lastHeight = 0;
    int lastWidth = 0;
    for (int height : {10, 12, 14, 16, 20}) {
        HFONT font = Tahoma(height, FW_BOLD);
        HGDIOBJ old = SelectObject(canvas.dc(), font);
        RECT r{0, 0, 0, 0};
        const int measured = DrawTextW(canvas.dc(), u"-45", -1, &r, DT_CALCRECT | DT_SINGLELINE);
        EXPECT_GT(measured, lastHeight) << height;
        EXPECT_GE(r.right, lastWidth) << height;
        lastHeight = measured;
        lastWidth = r.right;
        SelectObject(canvas.dc(), old);
        DeleteObject(font);
    }
}

class FontHeights : public ::testing::TestWithParam<int> { };

// Positive heights ask for the whole cell (ascent + descent), negative ones
// for the character (em) height, which is Qt's pixel size.
TEST_P(FontHeights, FollowTheWindowsSignRule)
{
    const int height = GetParam();
    Canvas canvas(4, 4);
    HFONT font = Tahoma(height);
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    TEXTMETRICW m;
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &m));
    EXPECT_EQ(m.tmHeight, m.tmAscent + m.tmDescent);
    if (height > 0) {
        EXPECT_LE(m.tmHeight, height);
        EXPECT_GE(m.tmHeight, height - 1);
    } else {
        QFont qt;
        ASSERT_TRUE(platform::gdi::FontOf(font, qt));
        EXPECT_EQ(qt.pixelSize(), -height);
    }
    EXPECT_GT(m.tmAveCharWidth, 0);
    SIZE extent;
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc(), u"Tarvolin", 8, &extent));
    EXPECT_EQ(extent.cy, m.tmHeight);
    EXPECT_GT(extent.cx, 4 * m.tmAveCharWidth);
    SelectObject(canvas.dc(), old);
    DeleteObject(font);
}

INSTANTIATE_TEST_SUITE_P(Table, FontHeights, ::testing::Values(12, 20, 100, -11, -12, -20));

TEST(GdiText, DialogFaceAliasesMapToTahomaAndWeightsCarryOver)
{
    QFont qt;
    HFONT shell = CreateFontW(-11, 0, 0, 0, FW_BOLD, TRUE, 0, 0, 0, 0, 0, 0, 0, u"MS Shell Dlg");
    ASSERT_TRUE(platform::gdi::FontOf(shell, qt));
    EXPECT_EQ(qt.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(qt.weight(), QFont::Bold);
    EXPECT_TRUE(qt.italic());
    EXPECT_EQ(qt.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    DeleteObject(shell);
    EXPECT_FALSE(platform::gdi::FontOf(shell, qt));
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
}

// The widest run of ink along a row: the stem width of an "l".
int StemWidth(int height, int weight)
{
    Canvas canvas(60, 60);
    HFONT font = Tahoma(height, weight);
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    SetTextColor(canvas.dc(), kInk);
    SetBkMode(canvas.dc(), TRANSPARENT);
    RECT box{10, 10, 60, 60};
    DrawTextW(canvas.dc(), u"l", -1, &box, DT_SINGLELINE);
    SelectObject(canvas.dc(), old);
    DeleteObject(font);
    int widest = 0;
    for (int y = 0; y < 60; ++y) {
        int run = 0;
        for (int x = 0; x < 60; ++x) {
            run = GetPixel(canvas.dc(), x, y) == kInk ? run + 1 : 0;
            widest = std::max(widest, run);
        }
    }
    return widest;
}

// Bold is heavier than regular at every list size, as at 12, whatever the
// face has at that size.
TEST(GdiText, BoldIsHeavierAtEverySize)
{
    const int boldAtTwelve = StemWidth(12, FW_BOLD);
    for (int height : {10, 12, 14, 16, 18, 20, -16}) {
        SCOPED_TRACE(height);
        const int bold = StemWidth(height, FW_BOLD);
        EXPECT_GT(bold, StemWidth(height, FW_NORMAL));
        if (height > 12) {
            EXPECT_GE(bold, boldAtTwelve);
        }
    }
}

// Accents above capitals, round tops and descenders stay inside the cell,
// and a positive height is never exceeded by the cell.
TEST(GdiText, GlyphsStayInsideTheirCell)
{
    for (int height : {12, 16, 17, 20, 100, -12, -17, -20}) {
        for (int weight : {FW_NORMAL, FW_BOLD}) {
            SCOPED_TRACE(testing::Message() << height << " weight " << weight);
            Canvas canvas(700, 200);
            HFONT font = Tahoma(height, weight);
            HGDIOBJ old = SelectObject(canvas.dc(), font);
            SetTextColor(canvas.dc(), kInk);
            SetBkMode(canvas.dc(), TRANSPARENT);
            TEXTMETRICW m;
            ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &m));
            if (height > 0) {
                EXPECT_LE(m.tmHeight, height);
            }
            const int top = 40;
            RECT box{10, top, 700, top + m.tmHeight};
            DrawTextW(canvas.dc(), u"\u00DCnsere \u00C5\u00C90369 gjy|", -1, &box, DT_SINGLELINE | DT_NOCLIP);
            const RECT ink = canvas.Bounds(kInk, RECT{0, 0, 700, 200});
            EXPECT_GE(ink.top, top);
            EXPECT_LE(ink.bottom, top + m.tmHeight);
            SelectObject(canvas.dc(), old);
            DeleteObject(font);
        }
    }
}

}  // namespace
