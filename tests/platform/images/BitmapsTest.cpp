// The program's bitmap resources as the options page and its controls load
// them: sizes, transparent backgrounds, legible pictures, distinct flags.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/images/Images.h"
#include "res/Resource.h"
#include "res/ResourceTable.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr QRgb kBlack = 0xFF000000u;

// The pixels of bitmap resource id, or a null image when it does not load.
QImage Pixels(UINT id)
{
    HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(id));
    if (bitmap == nullptr)
        return QImage();
    const QImage* image = platform::gdi::BitmapImage(bitmap);
    QImage copy = image == nullptr ? QImage() : image->copy();
    DeleteObject(bitmap);
    return copy;
}

struct Size {
    UINT id;
    int width;
    int height;
};

const Size kBitmaps[] = {
    {IDB_SLIDER_TRACK, 80, 30},    {IDB_SLIDER_THUMB_PRESSED, 20, 30}, {IDB_SLIDER_THUMB, 20, 30},
    {IDB_PADLOCK, 16, 16},         {IDB_PADLOCK_CROSSED, 16, 16},      {IDB_SPEAKER, 16, 16},
    {IDB_SPEAKER_CROSSED, 16, 16}, {IDB_LAPTOP_CROSSED, 16, 16},       {IDB_LAPTOP, 16, 16},
    {IDB_INFORMATION, 16, 15},     {IDB_FLAG_PORTUGUESE, 16, 10},      {IDB_FLAG_FRENCH, 16, 10},
    {IDB_FLAG_ENGLISH, 16, 10},    {IDB_FLAG_HUNGARIAN, 16, 10},       {IDB_FLAG_POLISH, 16, 10},
    {IDB_FLAG_RUSSIAN, 16, 10},    {IDB_FLAG_GERMAN, 16, 10},
};

TEST(Bitmaps, EveryResourceLoadsAtItsSizeAsAColourBitmap)
{
    for (const Size& expected : kBitmaps) {
        SCOPED_TRACE(expected.id);
        HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(expected.id));
        ASSERT_NE(nullptr, bitmap);
        BITMAP info;
        ASSERT_EQ(static_cast<int>(sizeof info), GetObjectW(bitmap, sizeof info, &info));
        EXPECT_EQ(expected.width, info.bmWidth);
        EXPECT_EQ(expected.height, info.bmHeight);
        EXPECT_EQ(32, info.bmBitsPixel);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
}

TEST(Bitmaps, NamesAsTextAndAnyInstanceLoadTheSamePicture)
{
    const QImage byNumber = Pixels(IDB_PADLOCK);
    HBITMAP byText = LoadBitmapW(reinterpret_cast<HINSTANCE>(0x400000), NumberedName(IDB_PADLOCK).text);
    ASSERT_NE(nullptr, byText);
    EXPECT_EQ(byNumber, *platform::gdi::BitmapImage(byText));
    DeleteObject(byText);

    HANDLE viaLoadImage = LoadImageW(nullptr, MAKEINTRESOURCEW(IDB_PADLOCK), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(nullptr, viaLoadImage);
    EXPECT_EQ(byNumber, *platform::gdi::BitmapImage(static_cast<HBITMAP>(viaLoadImage)));
    DeleteObject(static_cast<HBITMAP>(viaLoadImage));
}

// Both sliders load the same track; each deletes its own copy.
TEST(Bitmaps, EachLoadIsANewBitmapTheCallerOwns)
{
    HBITMAP first = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_SLIDER_TRACK));
    HBITMAP second = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_SLIDER_TRACK));
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(DeleteObject(first));
    BITMAP info;
    EXPECT_EQ(static_cast<int>(sizeof info), GetObjectW(second, sizeof info, &info));
    EXPECT_EQ(80, info.bmWidth);
    EXPECT_TRUE(DeleteObject(second));
}

TEST(Bitmaps, UnknownNamesGiveNull)
{
    // Menus, dialogs, the wave and the icon are not bitmaps.
    for (UINT id : std::initializer_list<UINT>{0, 1, IDI_ACTIVITY, IDD_OPTIONS_PAGE, IDR_NEW_NETWORK_WAVE,
                                               IDM_ROW_POPUP, IDM_LANGUAGES, IDB_FLAG_GERMAN + 1, 999, 0xFFFF}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(nullptr, LoadBitmapW(nullptr, MAKEINTRESOURCEW(id)));
    }
    // A number without its "#" is a name, not a number.
    constexpr NumberedName kTrack(IDB_SLIDER_TRACK);
    for (const char16_t* name : {u"", u"#", u"#0", u"#abc", u"#15x", u"#999999999999", kTrack.text + 1, u"track"}) {
        SCOPED_TRACE(std::u16string(name).size());
        EXPECT_EQ(nullptr, LoadBitmapW(nullptr, name));
    }
    EXPECT_EQ(nullptr, LoadImageW(nullptr, MAKEINTRESOURCEW(IDB_SLIDER_TRACK), 7, 0, 0, 0));
    EXPECT_EQ(nullptr, LoadImageW(nullptr, MAKEINTRESOURCEW(IDB_SLIDER_TRACK), IMAGE_BITMAP, -1, 0, 0));
}

// Black is the background: every black pixel must be reachable from the edge
// through black, or the picture would have a see-through hole where it was
// meant to be dark.
std::vector<QPoint> BlackNotConnectedToTheEdge(const QImage& image)
{
    QImage seen(image.size(), QImage::Format_Mono);
    seen.fill(0);
    std::vector<QPoint> todo;
    for (int x = 0; x < image.width(); ++x)
        todo.insert(todo.end(), {QPoint(x, 0), QPoint(x, image.height() - 1)});
    for (int y = 0; y < image.height(); ++y)
        todo.insert(todo.end(), {QPoint(0, y), QPoint(image.width() - 1, y)});
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        if (!image.rect().contains(p) || seen.pixelIndex(p) == 1 || image.pixel(p) != kBlack)
            continue;
        seen.setPixel(p, 1);
        todo.insert(todo.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
    }
    std::vector<QPoint> holes;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kBlack && seen.pixelIndex(x, y) == 0)
                holes.emplace_back(x, y);
    return holes;
}

int CountNonBlack(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != kBlack;
    return count;
}

// Dark lines are near-black, so black pixels enclosed by the picture are
// see-through on purpose: only the padlock's shackle loop has any.
TEST(Bitmaps, BlackOnlyWhereTheBackgroundShowsThrough)
{
    const std::vector<QPoint> kShackleLoop = {{7, 4}, {8, 4}, {7, 5}, {8, 5}};
    for (const Size& entry : kBitmaps) {
        SCOPED_TRACE(entry.id);
        const QImage image = Pixels(entry.id);
        ASSERT_FALSE(image.isNull());
        const bool padlock = entry.id == IDB_PADLOCK || entry.id == IDB_PADLOCK_CROSSED;
        EXPECT_EQ(padlock ? kShackleLoop : std::vector<QPoint>(), BlackNotConnectedToTheEdge(image));
        EXPECT_GT(CountNonBlack(image), image.width() * image.height() / 10);
    }
}

TEST(Bitmaps, SmallPicturesHaveTransparentCorners)
{
    for (UINT id : {151u, 152u, 153u, 154u, 155u, 156u, 158u, 159u, 164u}) {
        SCOPED_TRACE(id);
        const QImage image = Pixels(id);
        ASSERT_FALSE(image.isNull());
        const int right = image.width() - 1, bottom = image.height() - 1;
        EXPECT_EQ(kBlack, image.pixel(0, 0));
        EXPECT_EQ(kBlack, image.pixel(right, 0));
        EXPECT_EQ(kBlack, image.pixel(0, bottom));
        EXPECT_EQ(kBlack, image.pixel(right, bottom));
    }
}

// The track is a thin bar across the whole travel of the thumb's centre
// (x 10 to 70 on an 80-pixel slider with a 20-pixel thumb).
TEST(Bitmaps, SliderTrackIsAThinBarAcrossTheThumbsTravel)
{
    const QImage track = Pixels(IDB_SLIDER_TRACK);
    ASSERT_FALSE(track.isNull());
    int top = track.height(), bottom = -1, left = track.width(), right = -1;
    for (int y = 0; y < track.height(); ++y)
        for (int x = 0; x < track.width(); ++x)
            if (track.pixel(x, y) != kBlack) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    EXPECT_LE(bottom - top + 1, 6);
    EXPECT_LE(left, 10);
    EXPECT_GE(right, 70);
    EXPECT_NEAR((top + bottom) / 2.0, 14.5, 1.0);  // level with the thumb's middle
}

double MeanLightness(const QImage& image)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kBlack) {
                sum += qGray(image.pixel(x, y));
                ++count;
            }
    return count == 0 ? 0 : sum / count;
}

TEST(Bitmaps, PressedThumbIsTheSameShapeLighter)
{
    const QImage normal = Pixels(IDB_SLIDER_THUMB), pressed = Pixels(IDB_SLIDER_THUMB_PRESSED);
    ASSERT_FALSE(normal.isNull());
    ASSERT_FALSE(pressed.isNull());
    for (int y = 0; y < normal.height(); ++y)
        for (int x = 0; x < normal.width(); ++x)
            ASSERT_EQ(normal.pixel(x, y) == kBlack, pressed.pixel(x, y) == kBlack) << x << "," << y;
    EXPECT_LT(MeanLightness(normal), 110);
    EXPECT_GT(MeanLightness(pressed), 150);
}

bool IsBrightRed(QRgb pixel)
{
    return qRed(pixel) >= 180 && qGreen(pixel) <= 80 && qBlue(pixel) <= 80;
}

// A checked toggle shows its normal picture with a red stroke over it: the
// two differ only in red pixels, and in enough of them to be seen.
TEST(Bitmaps, CrossedOutPicturesAddOnlyARedStroke)
{
    struct Pair {
        UINT normal, crossed;
    };
    for (const Pair pair : {Pair{IDB_LAPTOP, IDB_LAPTOP_CROSSED}, Pair{IDB_PADLOCK, IDB_PADLOCK_CROSSED},
                            Pair{IDB_SPEAKER, IDB_SPEAKER_CROSSED}}) {
        SCOPED_TRACE(pair.crossed);
        const QImage normal = Pixels(pair.normal), crossed = Pixels(pair.crossed);
        ASSERT_EQ(normal.size(), crossed.size());
        int changed = 0;
        for (int y = 0; y < normal.height(); ++y)
            for (int x = 0; x < normal.width(); ++x)
                if (normal.pixel(x, y) != crossed.pixel(x, y)) {
                    EXPECT_TRUE(IsBrightRed(crossed.pixel(x, y))) << x << "," << y;
                    ++changed;
                }
        EXPECT_GE(changed, 16);
    }
}

TEST(Bitmaps, InformationSignIsRoundAndBlueWithWhiteInside)
{
    const QImage sign = Pixels(IDB_INFORMATION);
    ASSERT_FALSE(sign.isNull());
    int blue = 0, white = 0;
    for (int y = 0; y < sign.height(); ++y)
        for (int x = 0; x < sign.width(); ++x) {
            const QRgb p = sign.pixel(x, y);
            blue += qBlue(p) > 120 && qRed(p) < 100;
            white += qRed(p) > 230 && qGreen(p) > 230 && qBlue(p) > 230;
        }
    EXPECT_GT(blue, 100);
    EXPECT_GT(white, 10);
    // Round: the middle of each edge is inside the sign, the corners are not.
    EXPECT_NE(kBlack, sign.pixel(0, 7));
    EXPECT_NE(kBlack, sign.pixel(15, 7));
    EXPECT_NE(kBlack, sign.pixel(8, 0));
    EXPECT_NE(kBlack, sign.pixel(8, 14));
}

// The nearest of a few named colours.
std::string ColourName(QRgb pixel)
{
    struct Named {
        const char* name;
        int r, g, b;
    };
    static const Named kNames[] = {{"white", 255, 255, 255}, {"red", 210, 30, 40},    {"blue", 10, 50, 160},
                                   {"green", 20, 110, 60},   {"yellow", 255, 210, 0}, {"dark", 25, 25, 25}};
    const Named* best = nullptr;
    double bestDistance = 1e9;
    for (const Named& named : kNames) {
        const double d = std::hypot(qRed(pixel) - named.r, qGreen(pixel) - named.g, qBlue(pixel) - named.b);
        if (d < bestDistance)
            bestDistance = d, best = &named;
    }
    return best->name;
}

// Each flag by the colours at five places: upper left, upper right, middle,
// lower left, lower right. No two rows are the same.
TEST(Bitmaps, FlagsShowTheirNationsColours)
{
    struct Flag {
        UINT id;
        const char* nation;
        std::vector<std::string> colours;
    };
    const Flag kFlags[] = {
        {IDB_FLAG_PORTUGUESE, "Portuguese", {"green", "red", "yellow", "green", "red"}},
        {IDB_FLAG_FRENCH, "French", {"blue", "red", "white", "blue", "red"}},
        {IDB_FLAG_ENGLISH, "English", {"blue", "blue", "red", "blue", "blue"}},
        {IDB_FLAG_HUNGARIAN, "Hungarian", {"red", "red", "white", "green", "green"}},
        {IDB_FLAG_POLISH, "Polish", {"white", "white", "red", "red", "red"}},
        {IDB_FLAG_RUSSIAN, "Russian", {"white", "white", "blue", "red", "red"}},
        {IDB_FLAG_GERMAN, "German", {"dark", "dark", "red", "yellow", "yellow"}},
    };
    const QPoint kPlaces[] = {{4, 1}, {11, 1}, {8, 5}, {4, 8}, {11, 8}};
    for (const Flag& flag : kFlags) {
        SCOPED_TRACE(flag.nation);
        const QImage image = Pixels(flag.id);
        ASSERT_EQ(QSize(16, 10), image.size());
        std::vector<std::string> seen;
        for (QPoint place : kPlaces)
            seen.push_back(ColourName(image.pixel(place)));
        EXPECT_EQ(flag.colours, seen);
    }
}

// The Union Jack carries white diagonals between its blue fields, which tell
// it apart from any striped flag.
TEST(Bitmaps, UnionJackHasItsSaltire)
{
    const QImage flag = Pixels(IDB_FLAG_ENGLISH);
    ASSERT_FALSE(flag.isNull());
    for (QPoint corner : {QPoint(0, 0), QPoint(15, 9)})
        EXPECT_EQ("white", ColourName(flag.pixel(corner)));
    for (QPoint corner : {QPoint(15, 0), QPoint(0, 9)})
        EXPECT_EQ("red", ColourName(flag.pixel(corner)));
}

// Drawn as the button and slider draw them, with black as the transparent
// colour, the pictures leave the background around them alone.
TEST(Bitmaps, BlackIsTransparentWhenDrawn)
{
    HBITMAP target = CreateBitmap(20, 20, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, target);
    HBRUSH background = CreateSolidBrush(RGB(0x84, 0x91, 0xB4));
    const RECT all{0, 0, 20, 20};
    FillRect(dc, &all, background);
    HBITMAP padlock = LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_PADLOCK));
    ASSERT_TRUE(TransparentImage(dc, 2, 2, 16, 16, padlock, 0, 0, 16, 16, RGB(0, 0, 0)));
    const QImage picture = Pixels(IDB_PADLOCK);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = picture.pixel(x, y);
            const COLORREF expected = p == kBlack ? RGB(0x84, 0x91, 0xB4) : RGB(qRed(p), qGreen(p), qBlue(p));
            ASSERT_EQ(expected, GetPixel(dc, x + 2, y + 2)) << x << "," << y;
        }
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(target);
    DeleteObject(padlock);
    DeleteObject(background);
}

}  // namespace
