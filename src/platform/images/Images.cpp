#include "platform/images/Images.h"

#include "platform/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/images/ImagesInternal.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

// The embedded pictures, under ":/" by their paths in res/. A bitmap is
// found by its number alone, as bitmaps/NNN.bmp, so bitmaps need no table;
// an icon has one image per size, which res/ lists (FindIconResource).

// One loaded icon: every image of its resource and the size it was loaded at.
struct Icon {
    std::vector<QImage> images;  // Format_ARGB32, largest first
    int width = 0;
    int height = 0;
};

// Live icons by handle. Handles count up and are never reused, so a destroyed
// handle stays invalid.
std::map<std::uintptr_t, std::unique_ptr<Icon>>& Icons()
{
    static std::map<std::uintptr_t, std::unique_ptr<Icon>> icons;
    return icons;
}

Icon* FindIcon(HICON handle)
{
    auto& icons = Icons();
    const auto found = icons.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == icons.end() ? nullptr : found->second.get();
}

HICON AddIcon(std::unique_ptr<Icon> icon)
{
    static std::uintptr_t next = 0x1C00;
    next += 4;
    Icons()[next] = std::move(icon);
    return reinterpret_cast<HICON>(next);
}

// The resource number a Win32 name stands for: MAKEINTRESOURCEW(id) or "#id".
std::optional<UINT> ResourceNumber(const WCHAR* name)
{
    if (IS_INTRESOURCE(name)) {
        const auto id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
        return id == 0 ? std::nullopt : std::optional<UINT>(id);
    }
    if (name[0] != u'#' || name[1] == 0)
        return std::nullopt;
    UINT id = 0;
    for (const WCHAR* c = name + 1; *c != 0; ++c) {
        if (*c < u'0' || *c > u'9' || id > 0xFFFF)
            return std::nullopt;
        id = id * 10 + static_cast<UINT>(*c - u'0');
    }
    return id == 0 || id > 0xFFFF ? std::nullopt : std::optional<UINT>(id);
}

// Reads one of the module's images with Qt's own reader for its format.
// Allowed to guess, Qt would first load every image format plugin (and the
// libraries behind them) to ask each whether it takes the file: time the
// window's first frame would wait for.
QImage ReadBuiltIn(const QString& path, const char* format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

HBITMAP LoadBitmapResource(const WCHAR* name)
{
    const std::optional<UINT> id = ResourceNumber(name);
    if (!id)
        return nullptr;
    const QImage image = ReadBuiltIn(QStringLiteral(":/bitmaps/%1.bmp").arg(*id), "BMP");
    return image.isNull() ? nullptr : platform::gdi::CreateBitmapFromImage(image);
}

// The icon resource with its own size chosen: the image nearest to the asked
// size, the largest for 0 x 0.
HICON LoadIconResource(const WCHAR* name, int width, int height)
{
    const std::optional<UINT> id = ResourceNumber(name);
    if (!id || width < 0 || height < 0)
        return nullptr;
    const IconResource* resource = FindIconResource(*id);
    if (resource == nullptr || resource->fileCount == 0)
        return nullptr;
    auto icon = std::make_unique<Icon>();
    for (std::size_t i = 0; i < resource->fileCount; ++i) {
        const QImage image = ReadBuiltIn(QStringLiteral(":/") + QString::fromLatin1(resource->files[i]), "PNG");
        if (image.isNull())
            return nullptr;
        icon->images.push_back(image.convertToFormat(QImage::Format_ARGB32));
    }
    if (width == 0 && height == 0) {
        width = icon->images.front().width();
        height = icon->images.front().height();
    } else {
        width = width == 0 ? height : width;
        height = height == 0 ? width : height;
    }
    icon->width = width;
    icon->height = height;
    return AddIcon(std::move(icon));
}

// The image of that exact size, else the smallest larger one, else the
// largest; scaled pixel by pixel to the size.
QImage ImageAtSize(const Icon& icon, int width, int height)
{
    const QImage* best = &icon.images.front();
    for (const QImage& image : icon.images) {
        if (image.width() == width && image.height() == height)
            return image;
        if (image.width() >= width && image.height() >= height)
            best = &image;  // images run largest first: the last fit is the smallest
    }
    return best->scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

COLORREF Blend(QRgb over, COLORREF under)
{
    const int a = qAlpha(over);
    auto mix = [a](int top, int bottom) { return static_cast<BYTE>((top * a + bottom * (255 - a) + 127) / 255); };
    return RGB(mix(qRed(over), GetRValue(under)), mix(qGreen(over), GetGValue(under)),
               mix(qBlue(over), GetBValue(under)));
}

}  // namespace

namespace platform::images {

QImage IconImage(HICON handle, int width, int height)
{
    const Icon* icon = FindIcon(handle);
    if (icon == nullptr || width < 0 || height < 0)
        return QImage();
    if (width == 0 && height == 0)
        return ImageAtSize(*icon, icon->width, icon->height);
    return ImageAtSize(*icon, width == 0 ? height : width, height == 0 ? width : height);
}

}  // namespace platform::images

HBITMAP LoadBitmapW(HINSTANCE, const WCHAR* name)
{
    return LoadBitmapResource(name);
}

HICON LoadIconW(HINSTANCE, const WCHAR* name)
{
    return LoadIconResource(name, kDefaultIconSize, kDefaultIconSize);
}

HANDLE LoadImageW(HINSTANCE, const WCHAR* name, UINT type, int width, int height, UINT flags)
{
    if (width < 0 || height < 0)
        return nullptr;
    if (type == IMAGE_BITMAP)
        return LoadBitmapResource(name);
    if (type != IMAGE_ICON)
        return nullptr;
    if (width == 0 && height == 0 && (flags & LR_DEFAULTSIZE) != 0)
        width = height = kDefaultIconSize;
    return LoadIconResource(name, width, height);
}

BOOL DestroyIcon(HICON icon)
{
    return Icons().erase(reinterpret_cast<std::uintptr_t>(icon)) == 1 ? TRUE : FALSE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int width, int height, UINT, HBRUSH brush, UINT flags)
{
    const Icon* icon = FindIcon(handle);
    if (icon == nullptr || platform::gdi::ContextImage(dc) == nullptr || width < 0 || height < 0 ||
        (flags & DI_NORMAL) == 0)
        return FALSE;
    if (width == 0 && height == 0 && (flags & DI_DEFAULTSIZE) != 0)
        width = height = kDefaultIconSize;
    const QImage picture = platform::images::IconImage(handle, width, height);
    if (brush != nullptr) {
        const RECT area{x, y, x + picture.width(), y + picture.height()};
        FillRect(dc, &area, brush);
    }
    const bool mask = (flags & DI_MASK) != 0, colours = (flags & DI_IMAGE) != 0;
    for (int row = 0; row < picture.height(); ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(picture.constScanLine(row));
        for (int column = 0; column < picture.width(); ++column) {
            const QRgb pixel = pixels[column];
            const int alpha = qAlpha(pixel);
            if (mask && colours) {
                // The picture over the context, by its alpha.
                if (alpha == 255)
                    SetPixel(dc, x + column, y + row, RGB(qRed(pixel), qGreen(pixel), qBlue(pixel)));
                else if (alpha != 0) {
                    const COLORREF under = GetPixel(dc, x + column, y + row);
                    if (under != CLR_INVALID)
                        SetPixel(dc, x + column, y + row, Blend(pixel, under));
                }
            } else if (colours) {
                SetPixel(dc, x + column, y + row, Blend(pixel, RGB(0, 0, 0)));
            } else if (alpha != 0) {
                SetPixel(dc, x + column, y + row, RGB(0, 0, 0));
            }
        }
    }
    return TRUE;
}
