// Pixel-exact drawing: fills, rectangles, lines, single pixels and block
// transfers.
#include "platform/gdi/GdiState.h"

namespace platform::gdi {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kBlack = 0xFF000000u;

// The brush to paint with: a brush object, or (as Windows allows for
// FillRect) a system colour index + 1 in place of a handle.
bool FillColorOf(HBRUSH brush, COLORREF& out)
{
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= static_cast<std::uintptr_t>(COLOR_STATICTEXT) + 1) {
        out = GetSysColor(static_cast<int>(value) - 1);
        return true;
    }
    GdiObject* object = FindObject(brush, ObjectKind::Brush);
    return object != nullptr && BrushColor(*object, out);
}

// The pen of a context: its colour and width, or false for the null pen.
bool PenOf(DeviceContext& dc, QRgb& pixel, int& width)
{
    GdiObject* pen = SelectedObject(dc.pen);
    if (pen == nullptr || pen->penStyle == PS_NULL) {
        return false;
    }
    pixel = PixelFor(dc, pen->color);
    width = pen->penWidth;
    return true;
}

// One of the 256 ternary raster operations on whole pixels: bit k of op gives
// the result where pattern, source and destination bits are (k>>2, k>>1, k)&1.
QRgb Rop3(BYTE op, QRgb p, QRgb s, QRgb d)
{
    QRgb result = 0;
    switch (op) {
    case 0xCC: result = s; break;
    case 0x66: result = s ^ d; break;
    case 0x88: result = s & d; break;
    case 0xEE: result = s | d; break;
    case 0xF0: result = p; break;
    default:
        for (int k = 0; k < 8; ++k) {
            if ((op >> k) & 1) {
                result |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
            }
        }
    }
    return result | 0xFF000000u;
}

bool RopUsesSource(BYTE op)
{
    return ((op >> 2) ^ op) & 0x33;
}

// The source rectangle as the destination sees it: monochrome into colour
// takes the destination's text colour for black and background colour for
// white; colour into monochrome makes the source's background colour white
// and everything else black.
QImage ConvertedSource(DeviceContext& src, DeviceContext& dest, QRect area)
{
    QImage copy = TargetImage(src)->copy(area);
    const bool srcMono = IsMonochrome(src);
    const bool destMono = IsMonochrome(dest);
    if (srcMono == destMono) {
        return copy;
    }
    const QRgb zero = ToPixel(dest.textColor);
    const QRgb one = ToPixel(dest.bkColor);
    const QRgb srcBack = ToPixel(src.bkColor);
    for (int y = 0; y < copy.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x) {
            const QRgb pixel = row[x] | 0xFF000000u;
            if (srcMono) {
                row[x] = pixel == kWhite ? one : zero;
            } else {
                row[x] = pixel == srcBack ? kWhite : kBlack;
            }
        }
    }
    return copy;
}

// Copies from a source image (scaled by nearest pixel when the sizes differ)
// leaving the destination alone where the source has the transparent colour.
BOOL TransparentCopy(DeviceContext& dest, QRect to, const QImage& source, bool sourceMono, QRect from,
                     COLORREF transparent)
{
    QImage* target = TargetImage(dest);
    if (target == nullptr) {
        return FALSE;
    }
    if (to.isEmpty() || from.isEmpty()) {
        return TRUE;
    }
    const QRgb key = ToPixel(transparent);
    const bool destMono = IsMonochrome(dest);
    const QRect visible = to.intersected(target->rect());
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int sy =
            from.top() + static_cast<int>(static_cast<long long>(y - to.top()) * from.height() / to.height());
        if (sy < 0 || sy >= source.height()) {
            continue;
        }
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(target->scanLine(y));
        for (int x = visible.left(); x <= visible.right(); ++x) {
            const int sx =
                from.left() + static_cast<int>(static_cast<long long>(x - to.left()) * from.width() / to.width());
            if (sx < 0 || sx >= source.width()) {
                continue;
            }
            QRgb pixel = in[sx] | 0xFF000000u;
            if (pixel == key) {
                continue;
            }
            if (sourceMono && !destMono) {
                pixel = pixel == kWhite ? ToPixel(dest.bkColor) : ToPixel(dest.textColor);
            } else if (destMono) {
                pixel = NearestMono(pixel);
            }
            out[x] = pixel;
        }
    }
    return TRUE;
}

}  // namespace

}  // namespace platform::gdi

using namespace platform::gdi;

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* context = FindContext(dc);
    COLORREF color = 0;
    if (context == nullptr || rect == nullptr) {
        return 0;
    }
    if (!FillColorOf(brush, color)) {
        // The null brush paints nothing; an invalid one is a failure.
        return FindObject(brush, ObjectKind::Brush) != nullptr ? 1 : 0;
    }
    FillPixels(*context, ToQRect(rect->left, rect->top, rect->right, rect->bottom), PixelFor(*context, color));
    return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr) {
        return FALSE;
    }
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    QRgb penPixel = 0;
    int width = 0;
    const bool hasPen = PenOf(*context, penPixel, width);
    COLORREF fill = 0;
    GdiObject* brush = SelectedObject(context->brush);
    if (brush != nullptr && BrushColor(*brush, fill)) {
        const QRect inside = hasPen ? ToQRect(left + width, top + width, right - width, bottom - width)
                                    : ToQRect(left, top, right - 1, bottom - 1);
        FillPixels(*context, inside, PixelFor(*context, fill));
    }
    if (hasPen) {
        const QRect outer = ToQRect(left, top, right, bottom);
        if (outer.isEmpty()) {
            return TRUE;
        }
        const int w = std::min({width, outer.width(), outer.height()});
        FillPixels(*context, QRect(outer.left(), outer.top(), outer.width(), w), penPixel);
        FillPixels(*context, QRect(outer.left(), outer.bottom() - w + 1, outer.width(), w), penPixel);
        FillPixels(*context, QRect(outer.left(), outer.top(), w, outer.height()), penPixel);
        FillPixels(*context, QRect(outer.right() - w + 1, outer.top(), w, outer.height()), penPixel);
    }
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr) {
        return FALSE;
    }
    if (previous != nullptr) {
        *previous = context->position;
    }
    context->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr) {
        return FALSE;
    }
    QRgb pixel = 0;
    int width = 0;
    const POINT end{x, y};
    if (PenOf(*context, pixel, width)) {
        DrawLinePixels(*context, context->position, end, pixel, width);
    }
    context->position = end;
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || points == nullptr || count < 2) {
        return FALSE;
    }
    QRgb pixel = 0;
    int width = 0;
    if (PenOf(*context, pixel, width)) {
        for (int i = 1; i < count; ++i) {
            DrawLinePixels(*context, points[i - 1], points[i], pixel, width);
        }
    }
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    DeviceContext* context = FindContext(dc);
    QImage* image = context == nullptr ? nullptr : TargetImage(*context);
    if (image == nullptr || !image->rect().contains(x, y)) {
        return CLR_INVALID;
    }
    const QRgb pixel = PixelFor(*context, color);
    PutPixel(*context, x, y, pixel);
    return ToColorRef(pixel);
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    DeviceContext* context = FindContext(dc);
    QImage* image = context == nullptr ? nullptr : TargetImage(*context);
    if (image == nullptr || !image->rect().contains(x, y)) {
        return CLR_INVALID;
    }
    return ToColorRef(reinterpret_cast<const QRgb*>(image->constScanLine(y))[x]);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    DeviceContext* to = FindContext(dest);
    QImage* target = to == nullptr ? nullptr : TargetImage(*to);
    if (target == nullptr || width < 0 || height < 0) {
        return FALSE;
    }
    const BYTE op = static_cast<BYTE>((rop >> 16) & 0xFF);
    QRect area = QRect(x, y, width, height).intersected(target->rect());
    QImage source;
    if (RopUsesSource(op)) {
        DeviceContext* from = FindContext(src);
        QImage* sourceImage = from == nullptr ? nullptr : TargetImage(*from);
        if (sourceImage == nullptr) {
            return FALSE;
        }
        // Only pixels with a source pixel behind them change.
        const QRect sourceArea = sourceImage->rect().translated(x - srcX, y - srcY);
        area = area.intersected(sourceArea);
        if (area.isEmpty()) {
            return TRUE;
        }
        // Copied first so that overlapping transfers within one bitmap read
        // the pixels as they were.
        source = ConvertedSource(*from, *to, area.translated(srcX - x, srcY - y));
    }
    if (area.isEmpty()) {
        return TRUE;
    }
    QRgb pattern = 0xFF000000u;
    COLORREF brushColor = 0;
    GdiObject* brush = SelectedObject(to->brush);
    if (brush != nullptr && BrushColor(*brush, brushColor)) {
        pattern = PixelFor(*to, brushColor);
    }
    for (int row = 0; row < area.height(); ++row) {
        auto* out = reinterpret_cast<QRgb*>(target->scanLine(area.top() + row)) + area.left();
        const QRgb* in = source.isNull() ? nullptr : reinterpret_cast<const QRgb*>(source.constScanLine(row));
        for (int column = 0; column < area.width(); ++column) {
            out[column] = Rop3(op, pattern, in != nullptr ? in[column] : 0, out[column]);
        }
    }
    return TRUE;
}

BOOL TransparentImage(HDC dest, int x, int y, int width, int height, HANDLE src, int srcX, int srcY, int srcWidth,
                      int srcHeight, COLORREF transparent)
{
    DeviceContext* to = FindContext(dest);
    if (to == nullptr || width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) {
        return FALSE;
    }
    const QRect target(x, y, width, height);
    const QRect from(srcX, srcY, srcWidth, srcHeight);
    if (DeviceContext* context = FindContext(static_cast<HDC>(src))) {
        QImage* image = TargetImage(*context);
        if (image == nullptr) {
            return FALSE;
        }
        // Copied (shared until written) so that a copy within one bitmap
        // reads unchanged pixels.
        const QImage pixels = *image;
        return TransparentCopy(*to, target, pixels, IsMonochrome(*context), from, transparent & 0x00FFFFFF);
    }
    if (GdiObject* bitmap = FindObject(static_cast<HGDIOBJ>(src), ObjectKind::Bitmap)) {
        // Copied so that drawing a bitmap into itself reads unchanged pixels.
        const QImage image = bitmap->image;
        return TransparentCopy(*to, target, image, bitmap->monochrome, from, transparent & 0x00FFFFFF);
    }
    return FALSE;
}
