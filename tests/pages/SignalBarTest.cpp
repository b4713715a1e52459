#include "pages/ListCtrlEx.h"
#include "platform/Testing.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kBack = 0xFFFFFF;
constexpr COLORREF kLit = 0x32FF32;
constexpr COLORREF kSeparator = 0x969696;
constexpr COLORREF kUnlit = 0xDCDCDC;

struct LitCase {
    int count;
    LONG rssi;
    int lit;
};

class LitColumns : public ::testing::TestWithParam<LitCase> { };

TEST_P(LitColumns, FallLinearlyAndRoundHalfUp)
{
    EXPECT_EQ(CListCtrlEx::LitColumns(GetParam().count, GetParam().rssi), GetParam().lit);
}

INSTANTIATE_TEST_SUITE_P(Table, LitColumns,
                         ::testing::Values(LitCase{12, -20, 11}, LitCase{12, -45, 7}, LitCase{12, -60, 5},
                                           LitCase{12, -80, 2}, LitCase{12, -85, 1}, LitCase{10, -54, 5},
                                           LitCase{12, -5, 12}, LitCase{12, -10, 12}, LitCase{12, -90, 0},
                                           LitCase{12, -95, 0}, LitCase{12, 45, 7}, LitCase{12, 0, 12}),
                         [](const auto& info) {
                             const LONG rssi = info.param.rssi;
                             return "count" + std::to_string(info.param.count) + (rssi < 0 ? "_minus" : "_plus") +
                                    std::to_string(rssi < 0 ? -rssi : rssi);
                         });

// Draws a wedge of a size into a white strip and reads back each column as
// a letter: '.' empty, 'L' lit, 'S' separator, 'U' unlit. Also checks that
// column i is exactly i pixels high.
std::string Wedge(int size, LONG rssi)
{
    platform::testing::Canvas canvas(size + 4, 30, RGB(255, 255, 255));
    HDC dc = canvas.dc();
    HPEN mine = CreatePen(PS_SOLID, 1, 0x123456);
    HGDIOBJ before = SelectObject(dc, mine);
    CListCtrlEx::DrawSignalBar(dc, 0, 0, size + 2, 30, size, rssi);
    // The context's pen is the one it had before.
    EXPECT_EQ(SelectObject(dc, before), mine);
    std::string columns;
    for (int i = 0; i < size; ++i) {
        const int x = 1 + i;
        const COLORREF bottom = GetPixel(dc, x, 29);
        if (i == 0) {
            EXPECT_EQ(bottom, kBack);
            columns += '.';
            continue;
        }
        EXPECT_EQ(GetPixel(dc, x, 30 - i), bottom) << "column " << i << " top";
        EXPECT_EQ(GetPixel(dc, x, 29 - i), kBack) << "column " << i << " too high";
        columns += bottom == kLit ? 'L' : bottom == kSeparator ? 'S' : bottom == kUnlit ? 'U' : '?';
    }
    EXPECT_EQ(GetPixel(dc, 0, 29), kBack);  // nothing left of the first column
    DeleteObject(mine);
    return columns;
}

TEST(SignalBar, ColumnsRiseInSegmentsWithSeparators)
{
    EXPECT_EQ(Wedge(12, -45), ".LLSLLSUUSUU");  // 7 lit
    EXPECT_EQ(Wedge(12, -50), ".LLSLLSUUSUU");  // 6 lit: the sixth is a separator
    EXPECT_EQ(Wedge(10, -5), ".LLSLLSLLL");     // the last column is never a separator
    EXPECT_EQ(Wedge(14, -90), ".UUUSUUUSUUUSU");
    EXPECT_EQ(Wedge(20, -10), ".LLLLSLLLLSLLLLSLLLL");
}

}  // namespace
