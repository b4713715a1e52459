// The activity icon: loading at its sizes, drawing onto a context with its
// alpha, and the failures of the icon calls.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/images/Images.h"
#include "platform/images/ImagesInternal.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBackground = RGB(0xC8, 0x64, 0xDC);

// A 48 x 48 colour bitmap filled with kBackground in a memory context.
class Canvas : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_bitmap = CreateBitmap(48, 48, 1, 32, nullptr);
        m_dc = CreateCompatibleDC(nullptr);
        m_previous = SelectObject(m_dc, m_bitmap);
        HBRUSH brush = CreateSolidBrush(kBackground);
        const RECT all{0, 0, 48, 48};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    void TearDown() override
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    QImage Pixels() const { return platform::gdi::BitmapImage(m_bitmap)->copy(); }

    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
};

COLORREF ColourOf(QRgb pixel)
{
    return RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

TEST(Icons, ActivityIconLoadsAtBothSizesWithTransparentCorners)
{
    struct Load {
        HICON icon;
        int size;
    };
    const Load kLoads[] = {
        {LoadIconW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY)), 32},
        {static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY), IMAGE_ICON, 16, 16, 0)), 16},
        {static_cast<HICON>(LoadImageW(nullptr, NumberedName(IDI_ACTIVITY).text, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)),
         32},
        {static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY), IMAGE_ICON, 0, 0, 0)), 32},
    };
    for (const Load& load : kLoads) {
        SCOPED_TRACE(load.size);
        ASSERT_NE(nullptr, load.icon);
        const QImage image = platform::images::IconImage(load.icon);
        ASSERT_EQ(QSize(load.size, load.size), image.size());
        const int last = load.size - 1;
        for (QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            EXPECT_EQ(0, qAlpha(image.pixel(corner)));
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                // Every pixel is either background or picture, and the picture
                // has no pure black in it.
                ASSERT_TRUE(qAlpha(p) == 0 || qAlpha(p) == 255) << x << "," << y;
                if (qAlpha(p) == 255) {
                    EXPECT_NE(0u, p & 0xFFFFFF) << x << "," << y;
                    ++opaque;
                }
            }
        EXPECT_GT(opaque, load.size * load.size / 8);
        EXPECT_TRUE(DestroyIcon(load.icon));
    }
}

TEST(Icons, UnknownIconsAndBadRequestsGiveNull)
{
    for (UINT id : {0u, 102u, 148u, 150u, 157u, 0xFFFFu}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(nullptr, LoadIconW(nullptr, MAKEINTRESOURCEW(id)));
    }
    EXPECT_EQ(nullptr, LoadIconW(nullptr, u"activity"));
    EXPECT_EQ(nullptr, LoadImageW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY), IMAGE_ICON, -16, 16, 0));
    EXPECT_EQ(nullptr, LoadImageW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY), IMAGE_BITMAP, 0, 0, 0));
}

TEST(Icons, DestroyingTwiceOrNothingFails)
{
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY));
    ASSERT_NE(nullptr, icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(nullptr));
    EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(0x1234)));
    EXPECT_TRUE(platform::images::IconImage(icon).isNull());
}

// Each draw leaves the canvas as the background wherever the icon is
// transparent (or outside it) and takes the icon's colour where it is opaque.
TEST_F(Canvas, IconDrawsOverTheContextByItsAlpha)
{
    struct Draw {
        const char* what;
        int x, y, width, height;  // what is asked of DrawIconEx; 0 x 0 is the icon's own size
        UINT flags;
        int drawnSize;
    };
    const Draw kDraws[] = {
        {"own size", 3, 5, 0, 0, DI_NORMAL, 32},          {"16-pixel image", 3, 5, 16, 16, DI_NORMAL, 16},
        {"scaled", 3, 5, 24, 24, DI_NORMAL, 24},          {"default size", 3, 5, 0, 0, DI_NORMAL | DI_DEFAULTSIZE, 32},
        {"cut by the edge", 30, 30, 0, 0, DI_NORMAL, 32},
    };
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY));
    ASSERT_NE(nullptr, icon);
    for (const Draw& draw : kDraws) {
        SCOPED_TRACE(draw.what);
        SetUp();
        ASSERT_TRUE(DrawIconEx(m_dc, draw.x, draw.y, icon, draw.width, draw.height, 0, nullptr, draw.flags));
        const QImage picture = platform::images::IconImage(icon, draw.drawnSize, draw.drawnSize);
        const QImage canvas = Pixels();
        int drawn = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x) {
                const QPoint inIcon(x - draw.x, y - draw.y);
                const bool opaque = picture.rect().contains(inIcon) && qAlpha(picture.pixel(inIcon)) == 255;
                const COLORREF expected = opaque ? ColourOf(picture.pixel(inIcon)) : kBackground;
                ASSERT_EQ(expected, ColourOf(canvas.pixel(x, y))) << x << "," << y;
                drawn += opaque;
            }
        EXPECT_GT(drawn, 20);
        TearDown();
    }
    SetUp();  // the fixture tears down once more
    DestroyIcon(icon);
}

// The mask and the colours alone, and a flicker-free brush behind the icon.
TEST_F(Canvas, MaskImageAndBrushDraws)
{
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY));
    const QImage picture = platform::images::IconImage(icon);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    struct Draw {
        UINT flags;
        HBRUSH brush;
        COLORREF whereTransparent;  // CLR_INVALID: the background stays
        bool colourWhereOpaque;     // else black
    };
    const Draw kDraws[] = {
        {DI_MASK, nullptr, kBackground, false},
        {DI_IMAGE, nullptr, RGB(0, 0, 0), true},
        {DI_NORMAL, white, RGB(255, 255, 255), true},
    };
    for (const Draw& draw : kDraws) {
        SCOPED_TRACE(draw.flags);
        SetUp();
        ASSERT_TRUE(DrawIconEx(m_dc, 0, 0, icon, 0, 0, 0, draw.brush, draw.flags));
        const QImage canvas = Pixels();
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb p = picture.pixel(x, y);
                const COLORREF expected = qAlpha(p) == 0           ? draw.whereTransparent
                                          : draw.colourWhereOpaque ? ColourOf(p)
                                                                   : RGB(0, 0, 0);
                ASSERT_EQ(expected, ColourOf(canvas.pixel(x, y))) << x << "," << y;
            }
        EXPECT_EQ(kBackground, ColourOf(canvas.pixel(40, 40)));
        TearDown();
    }
    SetUp();
    DeleteObject(white);
    DestroyIcon(icon);
}

TEST_F(Canvas, FailedDrawsLeaveTheContextAlone)
{
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY));
    HICON destroyed = LoadIconW(nullptr, MAKEINTRESOURCEW(IDI_ACTIVITY));
    DestroyIcon(destroyed);
    const QImage before = Pixels();
    EXPECT_FALSE(DrawIconEx(m_dc, 0, 0, destroyed, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(m_dc, 0, 0, nullptr, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(nullptr, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(reinterpret_cast<HDC>(0x77), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(m_dc, 0, 0, icon, 0, 0, 0, nullptr, 0));
    EXPECT_FALSE(DrawIconEx(m_dc, 0, 0, icon, -1, 16, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(before, Pixels());
    DestroyIcon(icon);
}

}  // namespace
