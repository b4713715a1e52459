#include "Pictures.h"

#include "platform/Resources.h"
#include "res/Resource.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <initializer_list>

namespace imagegen {
namespace {

constexpr QRgb kClear = 0x00000000;  // background: pure black, alpha 0

constexpr QRgb Opaque(unsigned rgb)
{
    return 0xFF000000u | rgb;
}

// One colour of a pixel map, by the character that stands for it.
struct Ink {
    char key;
    unsigned rgb;
};

// A picture from rows of characters, one per pixel; '.' is background.
QImage FromRows(std::initializer_list<const char*> rows, std::initializer_list<Ink> inks)
{
    const int width = static_cast<int>(std::strlen(*rows.begin()));
    QImage image(width, static_cast<int>(rows.size()), QImage::Format_ARGB32);
    int y = 0;
    for (const char* row : rows) {
        if (static_cast<int>(std::strlen(row)) != width)
            qFatal("pixel map row %d has the wrong width", y);
        for (int x = 0; x < width; ++x) {
            QRgb pixel = kClear;
            if (row[x] != '.') {
                const Ink* ink = std::find_if(inks.begin(), inks.end(), [&](const Ink& i) { return i.key == row[x]; });
                if (ink == inks.end())
                    qFatal("pixel map uses an unknown colour '%c'", row[x]);
                pixel = Opaque(ink->rgb);
            }
            image.setPixel(x, y, pixel);
        }
        ++y;
    }
    return image;
}

// Draws the non-background pixels of picture onto image, its top-left corner
// at (left, top).
void Overlay(QImage& image, int left, int top, const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 0)
                image.setPixel(left + x, top + y, picture.pixel(x, y));
}

QImage Blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(kClear);
    return image;
}

// Calls paint for every pixel with the coordinates of its centre.
void EachPixel(QImage& image, const std::function<void(int x, int y, double cx, double cy)>& paint)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            paint(x, y, x + 0.5, y + 0.5);
}

bool Inside(const QImage& image, int x, int y)
{
    return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) != 0;
}

// Pixels of the shape that touch the background (or the edge) on a side.
bool OnEdge(const QImage& shape, int x, int y)
{
    return !Inside(shape, x - 1, y) || !Inside(shape, x + 1, y) || !Inside(shape, x, y - 1) || !Inside(shape, x, y + 1);
}

// ---------------------------------------------------------------------------
// Slider

// A groove across the slider: dark above, light below, so it reads as cut
// into the background whatever colour that is.
QImage SliderTrack()
{
    QImage image = Blank(80, 30);
    constexpr unsigned kRows[] = {0x505050, 0x8C8C8C, 0xB0B0B0, 0xDCDCDC};
    for (int row = 0; row < 4; ++row)
        for (int x = 3; x <= 76; ++x) {
            const bool roundedEnd = (x == 3 || x == 76) && (row == 0 || row == 3);
            if (!roundedEnd)
                image.setPixel(x, 13 + row, Opaque(kRows[row]));
        }
    return image;
}

struct ThumbColours {
    unsigned outline, fill, light, shade, ribDark, ribLight;
};

// A rounded thumb, 14 x 26 in the middle of 20 x 30, lit from the top left,
// with three grip ribs.
QImage SliderThumb(const ThumbColours& c)
{
    QImage shape = Blank(20, 30);
    constexpr int kLeft = 3, kRight = 16, kTop = 2, kBottom = 27;
    for (int y = kTop; y <= kBottom; ++y) {
        const int fromEnd = std::min(y - kTop, kBottom - y);
        const int cut = fromEnd == 0 ? 2 : fromEnd == 1 ? 1 : 0;
        for (int x = kLeft + cut; x <= kRight - cut; ++x)
            shape.setPixel(x, y, Opaque(c.fill));
    }
    QImage image = shape;
    EachPixel(image, [&](int x, int y, double, double) {
        if (!Inside(shape, x, y))
            return;
        if (OnEdge(shape, x, y))
            image.setPixel(x, y, Opaque(c.outline));
        else if (OnEdge(shape, x - 1, y) && x - 1 >= kLeft && !Inside(shape, x - 2, y))
            image.setPixel(x, y, Opaque(c.light));
        else if (!Inside(shape, x, y - 2))
            image.setPixel(x, y, Opaque(c.light));
        else if (!Inside(shape, x + 2, y) || !Inside(shape, x, y + 2))
            image.setPixel(x, y, Opaque(c.shade));
    });
    for (int rib : {6, 9, 12})
        for (int y = 9; y <= 20; ++y) {
            image.setPixel(rib, y, Opaque(c.ribDark));
            image.setPixel(rib + 1, y, Opaque(c.ribLight));
        }
    return image;
}

// ---------------------------------------------------------------------------
// Toggle pictures

// A bright red bar from the top left to the bottom right.
QImage CrossedOut(QImage image)
{
    for (int y = 1; y <= 14; ++y)
        for (int x = y; x <= y + 1 && x <= 14; ++x)
            image.setPixel(x, y, Opaque(0xE01818));
    return image;
}

constexpr unsigned kOutline = 0x181818;

QImage Laptop()
{
    return FromRows(
        {
            "................",
            "................",
            "..KKKKKKKKKKKK..",
            "..KggggggggggK..",
            "..KgBBBBBBBBgK..",
            "..KgBwBBBBBBgK..",
            "..KgBBwBBBBBgK..",
            "..KgBBBBBBBBgK..",
            "..KgBBBBBBBBgK..",
            "..KggggggggggK..",
            ".KKKKKKKKKKKKKK.",
            ".KssssssssssssK.",
            "KsddddddddddddsK",
            "KssssssddssssssK",
            "KKKKKKKKKKKKKKKK",
            "................",
        },
        {{'K', kOutline}, {'g', 0x6C6C6C}, {'B', 0x3A78D8}, {'w', 0x9CC4F4}, {'s', 0xC4C4C4}, {'d', 0x7C7C7C}});
}

QImage Padlock()
{
    return FromRows(
        {
            "................",
            "......KKKK......",
            ".....KmmmmK.....",
            "....KmKKKKmK....",
            "....KmK..KmK....",
            "....KmK..KmK....",
            "...KKKKKKKKKK...",
            "...KYYYYYYYYK...",
            "...KYyyyyyyyK...",
            "...KYyyKKyyyK...",
            "...KYyyKKyyyK...",
            "...KYyyKKyyyK...",
            "...KYyyyyyyyK...",
            "...KKKKKKKKKK...",
            "................",
            "................",
        },
        {{'K', kOutline}, {'m', 0xB0B0B0}, {'Y', 0xF8D860}, {'y', 0xD8A428}});
}

QImage Loudspeaker()
{
    return FromRows(
        {
            "................",
            "................",
            "........K.......",
            ".......KK...w...",
            "......KgK....w..",
            ".KKKKKggK.w...w.",
            ".KssssggK..w..w.",
            ".KssssggK..w..w.",
            ".KssssggK..w..w.",
            ".KssssggK..w..w.",
            ".KKKKKggK.w...w.",
            "......KgK....w..",
            ".......KK...w...",
            "........K.......",
            "................",
            "................",
        },
        {{'K', kOutline}, {'g', 0x8C8C8C}, {'s', 0xC8C8C8}, {'w', 0x2C6CD0}});
}

// ---------------------------------------------------------------------------
// About

QImage InformationSign()
{
    QImage image = Blank(16, 15);
    constexpr double kCx = 8.0, kCy = 7.5, kRadius = 7.6;
    EachPixel(image, [&](int x, int y, double cx, double cy) {
        if (std::hypot(cx - kCx, cy - kCy) <= kRadius)
            image.setPixel(x, y, Opaque(0x2A6FD6));
    });
    const QImage disc = image;
    EachPixel(image, [&](int x, int y, double, double) {
        if (Inside(disc, x, y) && OnEdge(disc, x, y))
            image.setPixel(x, y, Opaque(0x123C8C));
    });
    Overlay(image, 6, 3,
            FromRows(
                {
                    ".WW.",
                    ".WW.",
                    "....",
                    "WWW.",
                    ".WW.",
                    ".WW.",
                    ".WW.",
                    ".WW.",
                    "WWWW",
                },
                {{'W', 0xFFFFFF}}));
    return image;
}

// ---------------------------------------------------------------------------
// Flags, 16 x 10

QImage Stripes(bool horizontal, std::initializer_list<std::pair<int, unsigned>> bands)
{
    QImage image = Blank(16, 10);
    int start = 0;
    for (const auto& [size, rgb] : bands) {
        for (int along = start; along < start + size; ++along)
            for (int across = 0; across < (horizontal ? 16 : 10); ++across)
                image.setPixel(horizontal ? across : along, horizontal ? along : across, Opaque(rgb));
        start += size;
    }
    return image;
}

// Green and red with the yellow armillary sphere and the shield on the
// border between them.
QImage PortugueseFlag()
{
    return FromRows(
        {
            "ggggggrrrrrrrrrr",
            "ggggggrrrrrrrrrr",
            "ggggYYYYrrrrrrrr",
            "gggYgwwrYrrrrrrr",
            "gggYgwbrYrrrrrrr",
            "gggYgbwrYrrrrrrr",
            "gggYgwwrYrrrrrrr",
            "ggggYYYYrrrrrrrr",
            "ggggggrrrrrrrrrr",
            "ggggggrrrrrrrrrr",
        },
        {{'g', 0x046A38}, {'r', 0xDA291C}, {'Y', 0xFFD800}, {'w', 0xFFFFFF}, {'b', 0x1C3C9C}});
}

// The Union Jack: the crosses of St George, St Andrew and St Patrick, the red
// saltire beside the middle of the white one, turned as on the real flag
// (the same after a half turn).
QImage UnionJack()
{
    return FromRows(
        {
            "WWBBBBWRRWBBBBRR",
            "RRWWBBWRRWBBRRWW",
            "BBRRWWWRRWRRWWBB",
            "WWWWWWWRRWWWWWWW",
            "RRRRRRRRRRRRRRRR",
            "RRRRRRRRRRRRRRRR",
            "WWWWWWWRRWWWWWWW",
            "BBWWRRWRRWWWRRBB",
            "WWRRBBWRRWBBWWRR",
            "RRBBBBWRRWBBBBWW",
        },
        {{'B', 0x012169}, {'W', 0xFFFFFF}, {'R', 0xC8102E}});
}

// ---------------------------------------------------------------------------
// Activity icon: an antenna mast sending waves to both sides.

QImage Beacon(int size)
{
    const double s = size / 16.0;
    QImage image = Blank(size, size);
    const double cx = 8.0 * s, cy = 6.0 * s;
    EachPixel(image, [&](int x, int y, double px, double py) {
        const double dx = px - cx, dy = py - cy;
        const double r = std::hypot(dx, dy);
        const bool sideways = std::abs(dy) <= 0.95 * std::abs(dx);
        // Two waves each side.
        for (double radius : {3.6 * s, 6.2 * s})
            if (sideways && std::abs(r - radius) <= 0.55 * s)
                image.setPixel(x, y, Opaque(0x1EA040));
        // The mast widens from the top of the antenna to the ground.
        const double halfWidth = 0.5 * s + (py - cy) * 0.25;
        if (py > cy && py < 15.0 * s && std::abs(dx) <= halfWidth)
            image.setPixel(x, y, Opaque(0x484848));
        if (r <= (size < 32 ? 0.8 : 2.2))
            image.setPixel(x, y, Opaque(0xE03020));
    });
    return image;
}

// Where a bitmap goes: the loader finds it by its number alone.
QString BitmapFile(int id)
{
    return QStringLiteral("bitmaps/%1.bmp").arg(id);
}

// Where image `index` (0 the largest) of an icon goes, as the program's icon
// table lists it.
QString IconFile(int id, std::size_t index)
{
    const IconResource* icon = FindIconResource(static_cast<UINT>(id));
    if (icon == nullptr || index >= icon->fileCount)
        qFatal("icon %d has no image %zu", id, index);
    return QString::fromLatin1(icon->files[index]);
}

}  // namespace

std::vector<Picture> AllPictures()
{
    const ThumbColours dark{0x1C1C1C, 0x5A5A5A, 0x8A8A8A, 0x3C3C3C, 0x2C2C2C, 0x8E8E8E};
    const ThumbColours light{0x4A4A4A, 0xB4B4B4, 0xE8E8E8, 0x8C8C8C, 0x787878, 0xF0F0F0};
    return {
        {BitmapFile(IDB_SLIDER_TRACK), SliderTrack()},
        {BitmapFile(IDB_SLIDER_THUMB_PRESSED), SliderThumb(light)},
        {BitmapFile(IDB_SLIDER_THUMB), SliderThumb(dark)},
        {BitmapFile(IDB_PADLOCK), Padlock()},
        {BitmapFile(IDB_PADLOCK_CROSSED), CrossedOut(Padlock())},
        {BitmapFile(IDB_SPEAKER), Loudspeaker()},
        {BitmapFile(IDB_SPEAKER_CROSSED), CrossedOut(Loudspeaker())},
        {BitmapFile(IDB_LAPTOP_CROSSED), CrossedOut(Laptop())},
        {BitmapFile(IDB_LAPTOP), Laptop()},
        {BitmapFile(IDB_INFORMATION), InformationSign()},
        {BitmapFile(IDB_FLAG_PORTUGUESE), PortugueseFlag()},
        {BitmapFile(IDB_FLAG_FRENCH), Stripes(false, {{5, 0x0055A4}, {6, 0xFFFFFF}, {5, 0xEF4135}})},
        {BitmapFile(IDB_FLAG_ENGLISH), UnionJack()},
        {BitmapFile(IDB_FLAG_HUNGARIAN), Stripes(true, {{3, 0xCE2939}, {4, 0xFFFFFF}, {3, 0x477050}})},
        {BitmapFile(IDB_FLAG_POLISH), Stripes(true, {{5, 0xFFFFFF}, {5, 0xDC143C}})},
        {BitmapFile(IDB_FLAG_RUSSIAN), Stripes(true, {{3, 0xFFFFFF}, {4, 0x0039A6}, {3, 0xD52B1E}})},
        {BitmapFile(IDB_FLAG_GERMAN), Stripes(true, {{3, 0x1A1A1A}, {4, 0xDD0000}, {3, 0xFFCE00}})},
        {IconFile(IDI_ACTIVITY, 0), Beacon(32)},
        {IconFile(IDI_ACTIVITY, 1), Beacon(16)},
    };
}

}  // namespace imagegen
