#include "platform/gdi/GdiState.h"

#include "platform/gdi/GdiInternal.h"

#include <cstdlib>
#include <unordered_map>

namespace platform::gdi {

namespace {

// Handles are numbers that are never reused, so a stale handle can never
// reach a newer object. Objects and contexts share one counter so that a
// handle names either an object or a context, never both.
struct Tables {
    std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
    std::unordered_map<std::uintptr_t, std::unique_ptr<DeviceContext>> contexts;
    std::uintptr_t next = 0x10000;
};

Tables& State()
{
    // Never destroyed: objects hold Qt fonts and images that must not be torn
    // down after the application object has gone.
    static Tables* tables = new Tables;
    return *tables;
}

std::uintptr_t Key(const void* handle)
{
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace

GdiObject* SelectedObject(HGDIOBJ handle)
{
    auto& objects = State().objects;
    auto found = objects.find(Key(handle));
    return found == objects.end() ? nullptr : found->second.get();
}

GdiObject* FindObject(HGDIOBJ handle, ObjectKind kind)
{
    GdiObject* object = SelectedObject(handle);
    if (object == nullptr || object->deletePending || object->kind != kind) {
        return nullptr;
    }
    return object;
}

DeviceContext* FindContext(HDC dc)
{
    auto& contexts = State().contexts;
    auto found = contexts.find(Key(dc));
    return found == contexts.end() ? nullptr : found->second.get();
}

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object)
{
    Tables& state = State();
    const std::uintptr_t key = state.next++;
    state.objects.emplace(key, std::move(object));
    return reinterpret_cast<HGDIOBJ>(key);
}

HDC AddContext(std::unique_ptr<DeviceContext> context)
{
    Tables& state = State();
    const std::uintptr_t key = state.next++;
    state.contexts.emplace(key, std::move(context));
    return reinterpret_cast<HDC>(key);
}

void RemoveContext(HDC dc)
{
    State().contexts.erase(Key(dc));
}

void LetGo(HGDIOBJ handle)
{
    GdiObject* object = SelectedObject(handle);
    if (object == nullptr) {
        return;
    }
    if (object->selections > 0) {
        --object->selections;
    }
    if (object->selections == 0 && object->deletePending && !object->stock) {
        State().objects.erase(Key(handle));
    }
}

QImage* TargetImage(DeviceContext& dc)
{
    if (dc.windowImage != nullptr) {
        return dc.windowImage;
    }
    GdiObject* bitmap = SelectedObject(dc.bitmap);
    return bitmap == nullptr ? nullptr : &bitmap->image;
}

bool IsMonochrome(DeviceContext& dc)
{
    if (dc.windowImage != nullptr) {
        return false;
    }
    GdiObject* bitmap = SelectedObject(dc.bitmap);
    return bitmap != nullptr && bitmap->monochrome;
}

QRgb ToPixel(COLORREF color)
{
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

COLORREF ToColorRef(QRgb pixel)
{
    return RGB(static_cast<BYTE>(qRed(pixel)), static_cast<BYTE>(qGreen(pixel)), static_cast<BYTE>(qBlue(pixel)));
}

QRgb NearestMono(QRgb pixel)
{
    // Nearer to white or to black by squared distance over the three channels.
    auto toBlack = [](int c) { return c * c; };
    auto toWhite = [](int c) { return (255 - c) * (255 - c); };
    const int black = toBlack(qRed(pixel)) + toBlack(qGreen(pixel)) + toBlack(qBlue(pixel));
    const int white = toWhite(qRed(pixel)) + toWhite(qGreen(pixel)) + toWhite(qBlue(pixel));
    return white < black ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
}

QRgb PixelFor(DeviceContext& dc, COLORREF color)
{
    const QRgb pixel = ToPixel(color);
    return IsMonochrome(dc) ? NearestMono(pixel) : pixel;
}

bool BrushColor(const GdiObject& brush, COLORREF& out)
{
    if (brush.sysColorIndex >= 0) {
        out = GetSysColor(brush.sysColorIndex);
        return true;
    }
    if (brush.brushStyle == BS_NULL) {
        return false;
    }
    out = brush.color;
    return true;
}

QRect ToQRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top) {
        return {};
    }
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void FillPixels(DeviceContext& dc, QRect area, QRgb pixel)
{
    QImage* image = TargetImage(dc);
    if (image == nullptr) {
        return;
    }
    area = area.intersected(image->rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image->scanLine(y));
        std::fill(row + area.left(), row + area.right() + 1, pixel);
    }
}

void PutPixel(DeviceContext& dc, int x, int y, QRgb pixel)
{
    QImage* image = TargetImage(dc);
    if (image != nullptr && image->rect().contains(x, y)) {
        reinterpret_cast<QRgb*>(image->scanLine(y))[x] = pixel;
    }
}

void DrawLinePixels(DeviceContext& dc, POINT a, POINT b, QRgb pixel, int width)
{
    // Bresenham's walk over the major axis, stopping before the end point.
    const int dx = std::abs(b.x - a.x);
    const int dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1;
    const int sy = a.y < b.y ? 1 : -1;
    int error = dx + dy;
    int x = a.x;
    int y = a.y;
    const int before = (width - 1) / 2;
    while (x != b.x || y != b.y) {
        if (width <= 1) {
            PutPixel(dc, x, y, pixel);
        } else {
            FillPixels(dc, QRect(x - before, y - before, width, width), pixel);
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

// ---------------------------------------------------------------------------
// The contract with the window layer

HDC CreateImageDC(QImage* target)
{
    if (target == nullptr || target->isNull()) {
        return nullptr;
    }
    // The pixel code works on 32-bit rows; a window image of another format is
    // converted once here.
    const QImage::Format format = target->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied) {
        *target = target->convertToFormat(QImage::Format_RGB32);
    }
    auto context = std::make_unique<DeviceContext>();
    context->windowImage = target;
    context->pen = GetStockObject(BLACK_PEN);
    context->brush = GetStockObject(WHITE_BRUSH);
    context->font = GetStockObject(SYSTEM_FONT);
    for (HGDIOBJ held : {context->pen, context->brush, context->font}) {
        ++SelectedObject(held)->selections;
    }
    return AddContext(std::move(context));
}

void DestroyImageDC(HDC dc)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || context->windowImage == nullptr) {
        return;
    }
    const HGDIOBJ held[] = {context->pen, context->brush, context->font};
    RemoveContext(dc);
    for (HGDIOBJ object : held) {
        LetGo(object);
    }
}

QImage* BitmapImage(HBITMAP bitmap)
{
    GdiObject* object = FindObject(bitmap, ObjectKind::Bitmap);
    return object == nullptr ? nullptr : &object->image;
}

bool FontOf(HFONT font, QFont& out)
{
    GdiObject* object = FindObject(font, ObjectKind::Font);
    if (object == nullptr) {
        return false;
    }
    out = QtFont(*object);
    return true;
}

HBITMAP CreateBitmapFromImage(const QImage& image)
{
    if (image.isNull()) {
        return nullptr;
    }
    auto object = std::make_unique<GdiObject>();
    object->kind = ObjectKind::Bitmap;
    object->image = image.convertToFormat(QImage::Format_RGB32);
    if (object->image.isNull()) {
        return nullptr;
    }
    return AddObject(std::move(object));
}

QImage* ContextImage(HDC dc)
{
    DeviceContext* context = FindContext(dc);
    return context == nullptr ? nullptr : TargetImage(*context);
}

}  // namespace platform::gdi
