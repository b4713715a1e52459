#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr COLORREF kFill = RGB(0, 0, 200);

// Reads an area as text: '#' ink, 'o' fill, '.' anything else.
std::vector<std::string> Picture(const Canvas& canvas, int width, int height)
{
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = GetPixel(canvas.dc(), x, y);
            row += c == kInk ? '#' : c == kFill ? 'o' : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

struct ShapeCase {
    const char* name;
    bool nullPen;
    bool nullBrush;
    RECT rect;
    std::vector<std::string> expected;
};

class RectangleShapes : public ::testing::TestWithParam<ShapeCase> { };

TEST_P(RectangleShapes, OutlineAndFillStopBeforeRightAndBottom)
{
    const ShapeCase& c = GetParam();
    Canvas canvas(7, 6);
    HPEN pen = CreatePen(PS_SOLID, 1, kInk);
    HBRUSH brush = CreateSolidBrush(kFill);
    HGDIOBJ oldPen = SelectObject(canvas.dc(), c.nullPen ? GetStockObject(NULL_PEN) : pen);
    HGDIOBJ oldBrush = SelectObject(canvas.dc(), c.nullBrush ? GetStockObject(NULL_BRUSH) : brush);
    EXPECT_TRUE(Rectangle(canvas.dc(), c.rect.left, c.rect.top, c.rect.right, c.rect.bottom));
    EXPECT_EQ(Picture(canvas, 7, 6), c.expected);
    SelectObject(canvas.dc(), oldPen);
    SelectObject(canvas.dc(), oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RectangleShapes,
    ::testing::Values(
        ShapeCase{"pen_and_brush",
                  false,
                  false,
                  {1, 1, 6, 5},
                  {".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}},
        // With the null pen Windows fills one pixel less to the right and bottom.
        ShapeCase{
            "null_pen", true, false, {1, 1, 6, 5}, {".......", ".oooo..", ".oooo..", ".oooo..", ".......", "......."}},
        ShapeCase{"null_brush",
                  false,
                  true,
                  {1, 1, 6, 5},
                  {".......", ".#####.", ".#...#.", ".#...#.", ".#####.", "......."}},
        ShapeCase{"inverted_corners_are_normalised",
                  false,
                  false,
                  {6, 5, 1, 1},
                  {".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#####.", "......."}},
        ShapeCase{"clipped_at_the_edges",
                  false,
                  false,
                  {-2, -2, 3, 3},
                  {"oo#....", "oo#....", "###....", ".......", ".......", "......."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GdiDraw, FillRectCoversLeftTopButNotRightBottom)
{
    Canvas canvas(6, 4);
    HBRUSH brush = CreateSolidBrush(kFill);
    RECT r{1, 1, 4, 3};
    EXPECT_NE(FillRect(canvas.dc(), &r, brush), 0);
    EXPECT_EQ(Picture(canvas, 6, 4), (std::vector<std::string>{"......", ".ooo..", ".ooo..", "......"}));
    // A system colour index + 1 stands for its brush; an empty rectangle is a no-op.
    RECT corner{0, 0, 1, 1};
    EXPECT_NE(
        FillRect(canvas.dc(), &corner, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNSHADOW + 1))), 0);
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), GetSysColor(COLOR_BTNSHADOW));
    RECT empty{3, 3, 3, 4};
    EXPECT_NE(FillRect(canvas.dc(), &empty, brush), 0);
    EXPECT_EQ(GetPixel(canvas.dc(), 3, 3), RGB(255, 255, 255));
    DeleteObject(brush);
}

struct LineCase {
    const char* name;
    std::vector<POINT> points;  // one MoveToEx then LineTo each
    std::vector<std::string> expected;
};

class Lines : public ::testing::TestWithParam<LineCase> { };

TEST_P(Lines, StopBeforeTheirEndPoint)
{
    const LineCase& c = GetParam();
    Canvas canvas(6, 5);
    HPEN pen = CreatePen(PS_SOLID, 1, kInk);
    HGDIOBJ old = SelectObject(canvas.dc(), pen);
    MoveToEx(canvas.dc(), c.points[0].x, c.points[0].y, nullptr);
    for (std::size_t i = 1; i < c.points.size(); ++i) {
        EXPECT_TRUE(LineTo(canvas.dc(), c.points[i].x, c.points[i].y));
    }
    EXPECT_EQ(Picture(canvas, 6, 5), c.expected);

    // Polyline draws the same segments and leaves the current position alone.
    Canvas again(6, 5);
    SelectObject(again.dc(), pen);
    MoveToEx(again.dc(), 4, 4, nullptr);
    if (c.points.size() >= 2) {
        EXPECT_TRUE(Polyline(again.dc(), c.points.data(), static_cast<int>(c.points.size())));
    }
    EXPECT_EQ(Picture(again, 6, 5), c.expected);
    POINT position;
    MoveToEx(again.dc(), 0, 0, &position);
    EXPECT_EQ(position.x, 4);
    EXPECT_EQ(position.y, 4);
    SelectObject(again.dc(), GetStockObject(BLACK_PEN));
    SelectObject(canvas.dc(), old);
    DeleteObject(pen);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Lines,
    ::testing::Values(
        LineCase{"horizontal", {{1, 1}, {5, 1}}, {"......", ".####.", "......", "......", "......"}},
        LineCase{"horizontal_leftwards", {{4, 1}, {0, 1}}, {"......", ".####.", "......", "......", "......"}},
        LineCase{"vertical_upwards", {{2, 4}, {2, 0}}, {"......", "..#...", "..#...", "..#...", "..#..."}},
        LineCase{"diagonal", {{0, 0}, {4, 4}}, {"#.....", ".#....", "..#...", "...#..", "......"}},
        LineCase{"zero_length", {{2, 2}, {2, 2}}, {"......", "......", "......", "......", "......"}},
        // Corners are drawn once, by the segment that starts there; the last
        // point is left out.
        LineCase{"open_box", {{0, 3}, {0, 0}, {4, 0}, {4, 3}}, {"#####.", "#...#.", "#...#.", "#.....", "......"}},
        // A signal-bar column: from the bottom row upwards, i pixels long.
        LineCase{"rising_column", {{3, 4}, {3, 1}}, {"......", "......", "...#..", "...#..", "...#.."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GdiDraw, PixelsAndNullPen)
{
    Canvas canvas(3, 3);
    EXPECT_EQ(SetPixel(canvas.dc(), 1, 1, kInk), kInk);
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), kInk);
    EXPECT_EQ(SetPixel(canvas.dc(), 3, 0, kInk), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.dc(), -1, 0), CLR_INVALID);

    // The null pen moves the position but draws nothing.
    SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
    MoveToEx(canvas.dc(), 0, 0, nullptr);
    LineTo(canvas.dc(), 3, 0);
    EXPECT_EQ(canvas.Row(0, 0, 3, RGB(255, 255, 255)), "###");
    POINT position;
    MoveToEx(canvas.dc(), 0, 0, &position);
    EXPECT_EQ(position.x, 3);
    SelectObject(canvas.dc(), GetStockObject(BLACK_PEN));
}

TEST(GdiDraw, MonochromeBitmapsHoldOnlyBlackAndWhite)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(dc, 4, 1);
    HGDIOBJ old = SelectObject(dc, mono);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(200, 220, 180)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(dc, 1, 0, RGB(90, 10, 120)), RGB(0, 0, 0));
    HBRUSH light = CreateSolidBrush(RGB(250, 240, 10));  // nearer white
    RECT r{2, 0, 4, 1};
    FillRect(dc, &r, light);
    EXPECT_EQ(GetPixel(dc, 3, 0), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(mono);
    DeleteDC(dc);
}

}  // namespace
