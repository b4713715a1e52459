#include "GdiTestSupport.h"

#include "platform/gdi/GdiInternal.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

BITMAP SizeOf(HBITMAP bitmap)
{
    BITMAP info;
    EXPECT_EQ(GetObject(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    return info;
}

TEST(GdiObjects, FreshMemoryContextHoldsMonochromeDefaultsSoCompatibleBitmapsAreMonochrome)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);

    HBITMAP mono = CreateCompatibleBitmap(dc, 10, 3);
    EXPECT_EQ(SizeOf(mono).bmBitsPixel, 1);
    EXPECT_EQ(SizeOf(mono).bmWidthBytes, 2);  // rows padded to 16 bits

    // Once a colour bitmap is selected, compatible bitmaps are colour.
    HBITMAP colour = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ initial = SelectObject(dc, colour);
    ASSERT_NE(initial, nullptr);
    BITMAP initialInfo = SizeOf(initial);
    EXPECT_EQ(initialInfo.bmWidth, 1);
    EXPECT_EQ(initialInfo.bmHeight, 1);
    EXPECT_EQ(initialInfo.bmBitsPixel, 1);
    HBITMAP second = CreateCompatibleBitmap(dc, 7, 5);
    EXPECT_EQ(SizeOf(second).bmBitsPixel, 32);
    EXPECT_EQ(SizeOf(second).bmWidth, 7);
    EXPECT_EQ(SizeOf(second).bmHeight, 5);

    // A zero extent gives a 1 x 1 monochrome bitmap; a negative one nothing.
    HBITMAP empty = CreateCompatibleBitmap(dc, 0, 5);
    EXPECT_EQ(SizeOf(empty).bmWidth, 1);
    EXPECT_EQ(SizeOf(empty).bmBitsPixel, 1);
    EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 100000, 100000), nullptr);

    EXPECT_EQ(SelectObject(dc, initial), colour);
    for (HBITMAP b : {mono, colour, second, empty}) {
        EXPECT_TRUE(DeleteObject(b));
    }
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, SelectReturnsThePreviousObjectOfTheSameKind)
{
    Canvas canvas(4, 4);
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");

    HGDIOBJ firstPen = SelectObject(canvas.dc(), red);
    EXPECT_EQ(firstPen, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(canvas.dc(), blue), red);
    EXPECT_EQ(SelectObject(canvas.dc(), green), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(canvas.dc(), font), GetStockObject(SYSTEM_FONT));
    // Selecting a brush did not disturb the pen.
    EXPECT_EQ(SelectObject(canvas.dc(), firstPen), blue);
    EXPECT_EQ(SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH)), green);
    EXPECT_EQ(SelectObject(canvas.dc(), GetStockObject(SYSTEM_FONT)), font);

    LOGFONTW record;
    ASSERT_EQ(GetObject(font, sizeof(record), &record), static_cast<int>(sizeof(record)));
    EXPECT_EQ(record.lfHeight, -12);
    EXPECT_EQ(record.lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string(record.lfFaceName), u"Tahoma");
    EXPECT_EQ(GetObject(font, 4, &record), 0);  // buffer too small
    EXPECT_EQ(GetObject(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTW)));

    for (HGDIOBJ object : {red, blue, green, font}) {
        EXPECT_TRUE(DeleteObject(object));
    }
}

TEST(GdiObjects, ABitmapLivesInOneMemoryContextAtATime)
{
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(first, bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(SelectObject(first, old), bitmap);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);

    // Never into a window context.
    QImage window(8, 8, QImage::Format_RGB32);
    HDC windowDc = platform::gdi::CreateImageDC(&window);
    HBITMAP other = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(windowDc, other), nullptr);
    platform::gdi::DestroyImageDC(windowDc);

    DeleteDC(first);
    DeleteDC(second);  // the bitmap stays alive
    EXPECT_NE(platform::gdi::BitmapImage(bitmap), nullptr);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(other));
}

TEST(GdiObjects, DeletingASelectedObjectKeepsTheContextDrawingUntilItLetsGo)
{
    Canvas canvas(6, 1);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc(), pen);
    EXPECT_TRUE(DeleteObject(pen));
    // The handle is dead to callers at once...
    EXPECT_EQ(GetObject(pen, 0, nullptr), 0);
    EXPECT_FALSE(DeleteObject(pen));
    // ...but the context still draws with its pen.
    MoveToEx(canvas.dc(), 0, 0, nullptr);
    LineTo(canvas.dc(), 3, 0);
    EXPECT_EQ(canvas.Row(0, 0, 6, RGB(255, 0, 0)), "###...");
    // Letting go frees it; the stale handle can never be selected again.
    EXPECT_EQ(SelectObject(canvas.dc(), old), pen);
    EXPECT_EQ(SelectObject(canvas.dc(), pen), nullptr);

    // A selected bitmap likewise: deleting its context then frees it.
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(3, 3, 1, 32, nullptr);
    SelectObject(dc, bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(platform::gdi::BitmapImage(bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, StockObjectsSurviveDeletion)
{
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    Canvas canvas(2, 2, RGB(0, 0, 0));
    RECT all{0, 0, 2, 2};
    EXPECT_NE(FillRect(canvas.dc(), &all, white), 0);
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(99), nullptr);
}

TEST(GdiObjects, InvalidHandlesFailWithoutTouchingAnything)
{
    HDC bogusDc = reinterpret_cast<HDC>(static_cast<std::uintptr_t>(0x1234));
    HGDIOBJ bogus = reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(0xDEAD0));
    RECT r{0, 0, 4, 4};
    POINT p{1, 1};
    SIZE size;
    TEXTMETRICW metrics;
    for (HDC dc : {static_cast<HDC>(nullptr), bogusDc}) {
        EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
        EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
        EXPECT_EQ(FillRect(dc, &r, GetStockObject(BLACK_BRUSH)), 0);
        EXPECT_FALSE(Rectangle(dc, 0, 0, 3, 3));
        EXPECT_FALSE(MoveToEx(dc, 0, 0, nullptr));
        EXPECT_FALSE(LineTo(dc, 3, 3));
        EXPECT_FALSE(Polyline(dc, &p, 1));
        EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
        EXPECT_FALSE(BitBlt(dc, 0, 0, 2, 2, dc, 0, 0, SRCCOPY));
        EXPECT_EQ(DrawTextW(dc, u"x", -1, &r, 0), 0);
        EXPECT_FALSE(GetTextExtentPoint32W(dc, u"x", 1, &size));
        EXPECT_FALSE(GetTextMetricsW(dc, &metrics));
        EXPECT_FALSE(DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH));
        EXPECT_FALSE(DeleteDC(dc));
        EXPECT_EQ(CreateCompatibleBitmap(dc, 2, 2), nullptr);
    }
    EXPECT_EQ(CreateCompatibleDC(bogusDc), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(bogus));
    EXPECT_EQ(GetObject(bogus, 0, nullptr), 0);

    Canvas canvas(4, 4);
    EXPECT_EQ(SelectObject(canvas.dc(), bogus), nullptr);
    EXPECT_EQ(SelectObject(canvas.dc(), nullptr), nullptr);
    EXPECT_EQ(FillRect(canvas.dc(), &r, bogus), 0);
    EXPECT_EQ(SetBkMode(canvas.dc(), 3), 0);
    EXPECT_FALSE(BitBlt(canvas.dc(), 0, 0, 2, 2, bogusDc, 0, 0, SRCCOPY));
    EXPECT_FALSE(TransparentImage(canvas.dc(), 0, 0, 2, 2, bogus, 0, 0, 2, 2, 0));
    // A context handle is not an object and the other way round.
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(canvas.dc())));
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(canvas.bitmap())));
    // A window context is released by its window, not by DeleteDC.
    QImage window(4, 4, QImage::Format_RGB32);
    HDC windowDc = platform::gdi::CreateImageDC(&window);
    EXPECT_FALSE(DeleteDC(windowDc));
    platform::gdi::DestroyImageDC(windowDc);
    EXPECT_EQ(GetPixel(windowDc, 0, 0), CLR_INVALID);
    EXPECT_EQ(platform::gdi::CreateImageDC(nullptr), nullptr);
}

TEST(GdiObjects, CreateBitmapReadsRowsPaddedTo16Bits)
{
    // 3 x 2 pixels: each row takes two bytes, only the top three bits count.
    const BYTE bits[] = {0b10100000, 0xFF, 0b01000000, 0x00};
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 1, bits);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    const COLORREF w = RGB(255, 255, 255);
    const COLORREF b = RGB(0, 0, 0);
    const COLORREF expected[2][3] = {{w, b, w}, {b, w, b}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(GetPixel(dc, x, y), expected[y][x]) << x << "," << y;
        }
    }
    DeleteDC(dc);
    DeleteObject(bitmap);
    EXPECT_EQ(CreateBitmap(2, 2, 1, 8, bits), nullptr);
    EXPECT_EQ(CreateBitmap(2, 2, 2, 1, bits), nullptr);
}

TEST(GdiObjects, WindowContextDrawsIntoTheWindowImage)
{
    QImage window(5, 5, QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::white);
    HDC dc = platform::gdi::CreateImageDC(&window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(platform::gdi::ContextImage(dc), &window);
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    RECT r{1, 1, 3, 3};
    FillRect(dc, &r, brush);
    EXPECT_EQ(window.pixel(2, 2), qRgb(10, 20, 30));
    EXPECT_EQ(window.pixel(3, 3), qRgb(255, 255, 255));
    // A memory context made from it starts monochrome all the same.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP compatible = CreateCompatibleBitmap(dc, 4, 4);
    BITMAP info;
    GetObject(compatible, sizeof(info), &info);
    EXPECT_EQ(info.bmBitsPixel, 32);
    DeleteObject(compatible);
    DeleteDC(memory);
    DeleteObject(brush);
    platform::gdi::DestroyImageDC(dc);
}

}  // namespace
