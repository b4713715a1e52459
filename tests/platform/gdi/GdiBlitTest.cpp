#include "GdiTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A 4 x 2 glyph mask: 0 bits are glyph pixels, 1 bits background.
//   row 0: 0 1 1 0
//   row 1: 1 0 0 1
const BYTE kMask[] = {0b01100000, 0, 0b10010000, 0};
const bool kGlyph[2][4] = {{true, false, false, true}, {false, true, true, false}};

struct Memory {
    HDC dc;
    HGDIOBJ old;
    explicit Memory(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), old(SelectObject(dc, bitmap)) { }
    ~Memory()
    {
        DeleteObject(SelectObject(dc, old));
        DeleteDC(dc);
    }
};

TEST(GdiBlit, MonochromeSourceTakesTheDestinationTextAndBackgroundColours)
{
    Memory mask(CreateBitmap(4, 2, 1, 1, kMask));
    Canvas canvas(4, 2);
    SetTextColor(canvas.dc(), RGB(10, 20, 30));
    SetBkColor(canvas.dc(), RGB(40, 50, 60));
    SetTextColor(mask.dc, RGB(1, 1, 1));  // the source's own colours do not matter
    SetBkColor(mask.dc, RGB(2, 2, 2));
    ASSERT_TRUE(BitBlt(canvas.dc(), 0, 0, 4, 2, mask.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(GetPixel(canvas.dc(), x, y), kGlyph[y][x] ? RGB(10, 20, 30) : RGB(40, 50, 60)) << x << "," << y;
        }
    }
}

TEST(GdiBlit, ColourSourceIntoMonochromeMakesTheSourceBackgroundWhite)
{
    Canvas colour(3, 1);
    SetPixel(colour.dc(), 0, 0, RGB(9, 9, 9));
    SetPixel(colour.dc(), 1, 0, RGB(250, 250, 250));
    SetPixel(colour.dc(), 2, 0, RGB(9, 9, 9));
    SetBkColor(colour.dc(), RGB(9, 9, 9));
    HDC probe = CreateCompatibleDC(nullptr);
    Memory mono(CreateCompatibleBitmap(probe, 3, 1));
    DeleteDC(probe);
    ASSERT_TRUE(BitBlt(mono.dc, 0, 0, 3, 1, colour.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mono.dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(mono.dc, 1, 0), kBlack);  // near white, but not the background
    EXPECT_EQ(GetPixel(mono.dc, 2, 0), kWhite);
}

// The transparent glyph trick: a colour image (glyph colour on white) XORed
// in, the mask ANDed in, the colour image XORed again leaves the background
// untouched and puts the glyph colour on glyph pixels.
TEST(GdiBlit, InvertAndInvertLeaveBackgroundAndPaintGlyph)
{
    const COLORREF glyphColour = RGB(0, 0, 128);
    Memory mask(CreateBitmap(4, 2, 1, 1, kMask));
    Canvas target(6, 4);
    // A busy background the glyph must not disturb.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            SetPixel(target.dc(), x, y, RGB(x * 40, y * 60, 90));
        }
    }
    HDC colourDc = CreateCompatibleDC(target.dc());
    HBITMAP colourBitmap = CreateCompatibleBitmap(target.dc(), 4, 2);
    HGDIOBJ oldColour = SelectObject(colourDc, colourBitmap);
    SetTextColor(colourDc, glyphColour);
    BitBlt(colourDc, 0, 0, 4, 2, mask.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(colourDc, 0, 0), glyphColour);
    EXPECT_EQ(GetPixel(colourDc, 1, 0), kWhite);

    SetBkColor(target.dc(), kWhite);
    SetTextColor(target.dc(), kBlack);
    EXPECT_TRUE(BitBlt(target.dc(), 1, 1, 4, 2, colourDc, 0, 0, SRCINVERT));
    EXPECT_TRUE(BitBlt(target.dc(), 1, 1, 4, 2, mask.dc, 0, 0, SRCAND));
    EXPECT_TRUE(BitBlt(target.dc(), 1, 1, 4, 2, colourDc, 0, 0, SRCINVERT));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inGlyph = x >= 1 && x < 5 && y >= 1 && y < 3 && kGlyph[y - 1][x - 1];
            EXPECT_EQ(GetPixel(target.dc(), x, y), inGlyph ? glyphColour : RGB(x * 40, y * 60, 90)) << x << "," << y;
        }
    }
    SelectObject(colourDc, oldColour);
    DeleteObject(colourBitmap);
    DeleteDC(colourDc);
}

struct RopCase {
    const char* name;
    DWORD rop;
    COLORREF expected;
};

class RasterOps : public ::testing::TestWithParam<RopCase> { };

TEST_P(RasterOps, CombineSourceDestinationAndBrush)
{
    Canvas source(1, 1, RGB(0xF0, 0x0F, 0x33));
    Canvas dest(1, 1, RGB(0x3C, 0x3C, 0xFF));
    HBRUSH brush = CreateSolidBrush(RGB(0x11, 0x22, 0x44));
    HGDIOBJ old = SelectObject(dest.dc(), brush);
    EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 1, 1, source.dc(), 0, 0, GetParam().rop));
    EXPECT_EQ(GetPixel(dest.dc(), 0, 0), GetParam().expected);
    SelectObject(dest.dc(), old);
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(Table, RasterOps,
                         ::testing::Values(RopCase{"srccopy", SRCCOPY, RGB(0xF0, 0x0F, 0x33)},
                                           RopCase{"srcinvert", SRCINVERT, RGB(0xCC, 0x33, 0xCC)},
                                           RopCase{"srcand", SRCAND, RGB(0x30, 0x0C, 0x33)},
                                           RopCase{"srcpaint", SRCPAINT, RGB(0xFC, 0x3F, 0xFF)},
                                           RopCase{"notsrccopy", NOTSRCCOPY, RGB(0x0F, 0xF0, 0xCC)},
                                           RopCase{"dstinvert", DSTINVERT, RGB(0xC3, 0xC3, 0x00)},
                                           RopCase{"patcopy", PATCOPY, RGB(0x11, 0x22, 0x44)},
                                           RopCase{"blackness", BLACKNESS, kBlack},
                                           RopCase{"whiteness", WHITENESS, kWhite}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GdiBlit, ClipsToBothBitmapsAndHandlesOverlap)
{
    Canvas canvas(5, 1);
    for (int x = 0; x < 5; ++x) {
        SetPixel(canvas.dc(), x, 0, RGB(x, 0, 0));
    }
    // Shift right by one within the same bitmap: every pixel reads the old one.
    EXPECT_TRUE(BitBlt(canvas.dc(), 1, 0, 4, 1, canvas.dc(), 0, 0, SRCCOPY));
    for (int x = 1; x < 5; ++x) {
        EXPECT_EQ(GetPixel(canvas.dc(), x, 0), RGB(x - 1, 0, 0));
    }
    // A source partly outside its bitmap changes only pixels it covers.
    Canvas small(2, 1, RGB(7, 7, 7));
    EXPECT_TRUE(BitBlt(canvas.dc(), 0, 0, 5, 1, small.dc(), -1, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), RGB(7, 7, 7));
    EXPECT_EQ(GetPixel(canvas.dc(), 2, 0), RGB(7, 7, 7));
    EXPECT_EQ(GetPixel(canvas.dc(), 3, 0), RGB(2, 0, 0));
    EXPECT_TRUE(BitBlt(canvas.dc(), 10, 10, 3, 3, small.dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(canvas.dc(), 0, 0, -1, 1, small.dc(), 0, 0, SRCCOPY));
}

TEST(GdiBlit, TransparentCopyLeavesBlackSourcePixelsOut)
{
    Canvas image(3, 2, kBlack);
    SetPixel(image.dc(), 1, 0, RGB(200, 10, 10));
    SetPixel(image.dc(), 2, 1, RGB(1, 0, 0));  // almost black is still drawn
    Canvas target(4, 3, RGB(50, 60, 70));
    EXPECT_TRUE(TransparentImage(target.dc(), 1, 1, 3, 2, image.dc(), 0, 0, 3, 2, kBlack));
    EXPECT_EQ(GetPixel(target.dc(), 1, 1), RGB(50, 60, 70));
    EXPECT_EQ(GetPixel(target.dc(), 2, 1), RGB(200, 10, 10));
    EXPECT_EQ(GetPixel(target.dc(), 3, 2), RGB(1, 0, 0));
    EXPECT_EQ(target.Count(RGB(50, 60, 70), RECT{0, 0, 4, 3}), 10);

    // The source may also be a bitmap handle that is selected nowhere.
    const DWORD pixels[] = {0x00000000, 0x0000FF00};
    HBITMAP green = CreateBitmap(2, 1, 1, 32, pixels);
    Canvas second(2, 1, RGB(5, 5, 5));
    EXPECT_TRUE(TransparentImage(second.dc(), 0, 0, 2, 1, green, 0, 0, 2, 1, kBlack));
    EXPECT_EQ(GetPixel(second.dc(), 0, 0), RGB(5, 5, 5));
    EXPECT_EQ(GetPixel(second.dc(), 1, 0), RGB(0, 255, 0));
    DeleteObject(green);
}

}  // namespace
