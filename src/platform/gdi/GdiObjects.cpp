// Creating, selecting and deleting drawing objects and memory contexts, and
// the context attributes.
#include "platform/gdi/GdiState.h"

#include <array>
#include <cstring>
#include <utility>

namespace platform::gdi {

namespace {

// Bitmaps larger than this are refused rather than risking an allocation the
// machine cannot make.
constexpr int kMaxExtent = 32767;
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

std::unique_ptr<GdiObject> NewObject(ObjectKind kind)
{
    auto object = std::make_unique<GdiObject>();
    object->kind = kind;
    return object;
}

HGDIOBJ NewBitmap(int width, int height, bool monochrome)
{
    if (width < 0 || height < 0 || width > kMaxExtent || height > kMaxExtent ||
        static_cast<long long>(width) * height > kMaxPixels) {
        return nullptr;
    }
    auto object = NewObject(ObjectKind::Bitmap);
    object->monochrome = monochrome;
    object->image = QImage(width, height, QImage::Format_RGB32);
    if (object->image.isNull()) {
        return nullptr;
    }
    object->image.fill(qRgb(0, 0, 0));
    return AddObject(std::move(object));
}

HGDIOBJ MakeStock(std::unique_ptr<GdiObject> object)
{
    object->stock = true;
    return AddObject(std::move(object));
}

std::unique_ptr<GdiObject> StockBrush(UINT style, COLORREF color)
{
    auto brush = NewObject(ObjectKind::Brush);
    brush->brushStyle = style;
    brush->color = color;
    return brush;
}

std::unique_ptr<GdiObject> StockPen(int style, COLORREF color)
{
    auto pen = NewObject(ObjectKind::Pen);
    pen->penStyle = style;
    pen->color = color;
    return pen;
}

// The 1 x 1 monochrome bitmap every new memory context starts with. Like the
// stock objects it may be selected into any number of contexts.
HBITMAP DefaultBitmap()
{
    static const HBITMAP bitmap = [] {
        auto object = NewObject(ObjectKind::Bitmap);
        object->monochrome = true;
        object->image = QImage(1, 1, QImage::Format_RGB32);
        object->image.fill(qRgb(255, 255, 255));
        return MakeStock(std::move(object));
    }();
    return bitmap;
}

HGDIOBJ* SlotFor(DeviceContext& dc, ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Pen: return &dc.pen;
    case ObjectKind::Brush: return &dc.brush;
    case ObjectKind::Font: return &dc.font;
    case ObjectKind::Bitmap: return &dc.bitmap;
    }
    return nullptr;
}

template <typename Record> int CopyRecord(const Record& record, int bufferSize, void* buffer)
{
    if (buffer == nullptr) {
        return static_cast<int>(sizeof(Record));
    }
    if (bufferSize < static_cast<int>(sizeof(Record))) {
        return 0;
    }
    std::memcpy(buffer, &record, sizeof(Record));
    return static_cast<int>(sizeof(Record));
}

COLORREF ExchangeColor(HDC dc, COLORREF DeviceContext::*member, COLORREF color)
{
    DeviceContext* context = FindContext(dc);
    return context == nullptr ? CLR_INVALID : std::exchange(context->*member, color & 0x00FFFFFF);
}

COLORREF ReadColor(HDC dc, COLORREF DeviceContext::*member)
{
    DeviceContext* context = FindContext(dc);
    return context == nullptr ? CLR_INVALID : context->*member;
}

}  // namespace

}  // namespace platform::gdi

using namespace platform::gdi;

HGDIOBJ GetStockObject(int index)
{
    static const std::array<HGDIOBJ, DEFAULT_GUI_FONT + 1> stock = [] {
        std::array<HGDIOBJ, DEFAULT_GUI_FONT + 1> made{};
        made[WHITE_BRUSH] = MakeStock(StockBrush(BS_SOLID, RGB(255, 255, 255)));
        made[LTGRAY_BRUSH] = MakeStock(StockBrush(BS_SOLID, RGB(192, 192, 192)));
        made[GRAY_BRUSH] = MakeStock(StockBrush(BS_SOLID, RGB(128, 128, 128)));
        made[DKGRAY_BRUSH] = MakeStock(StockBrush(BS_SOLID, RGB(64, 64, 64)));
        made[BLACK_BRUSH] = MakeStock(StockBrush(BS_SOLID, RGB(0, 0, 0)));
        made[NULL_BRUSH] = MakeStock(StockBrush(BS_NULL, 0));
        made[WHITE_PEN] = MakeStock(StockPen(PS_SOLID, RGB(255, 255, 255)));
        made[BLACK_PEN] = MakeStock(StockPen(PS_SOLID, RGB(0, 0, 0)));
        made[NULL_PEN] = MakeStock(StockPen(PS_NULL, 0));
        // The system font: the dialog face at 8 points on a 96 dpi screen.
        LOGFONTW system;
        system.lfHeight = -11;
        system.lfWeight = FW_NORMAL;
        std::memcpy(system.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
        auto font = NewObject(ObjectKind::Font);
        font->logFont = system;
        made[SYSTEM_FONT] = MakeStock(std::move(font));
        made[DEFAULT_GUI_FONT] = made[SYSTEM_FONT];
        return made;
    }();
    if (index < 0 || index >= static_cast<int>(stock.size())) {
        return nullptr;
    }
    return stock[static_cast<std::size_t>(index)];
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc != nullptr && FindContext(dc) == nullptr) {
        return nullptr;
    }
    auto context = std::make_unique<DeviceContext>();
    context->bitmap = DefaultBitmap();
    context->pen = GetStockObject(BLACK_PEN);
    context->brush = GetStockObject(WHITE_BRUSH);
    context->font = GetStockObject(SYSTEM_FONT);
    for (HGDIOBJ held : {context->bitmap, context->pen, context->brush, context->font}) {
        ++SelectedObject(held)->selections;
    }
    return AddContext(std::move(context));
}

BOOL DeleteDC(HDC dc)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || context->windowImage != nullptr) {
        return FALSE;
    }
    const HGDIOBJ held[] = {context->bitmap, context->pen, context->brush, context->font};
    RemoveContext(dc);
    for (HGDIOBJ object : held) {
        LetGo(object);
    }
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr) {
        return nullptr;
    }
    if (width == 0 || height == 0) {
        return NewBitmap(1, 1, true);
    }
    return NewBitmap(width, height, IsMonochrome(*context));
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32)) {
        return nullptr;
    }
    const bool monochrome = bitsPerPixel == 1;
    HBITMAP handle = NewBitmap(width, height, monochrome);
    if (handle == nullptr || bits == nullptr) {
        return handle;
    }
    QImage& image = FindObject(handle, ObjectKind::Bitmap)->image;
    const auto* bytes = static_cast<const BYTE*>(bits);
    if (monochrome) {
        const int stride = ((width + 15) / 16) * 2;
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const bool set = (bytes[y * stride + x / 8] >> (7 - x % 8)) & 1;
                row[x] = set ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            }
        }
    } else {
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            const auto* source = bytes + static_cast<std::size_t>(y) * width * 4;
            for (int x = 0; x < width; ++x) {
                DWORD value;
                std::memcpy(&value, source + x * 4, 4);
                row[x] = 0xFF000000u | (value & 0x00FFFFFFu);
            }
        }
    }
    return handle;
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    if (style != PS_SOLID && style != PS_NULL) {
        return nullptr;
    }
    auto pen = NewObject(ObjectKind::Pen);
    pen->penStyle = style;
    pen->penWidth = width < 1 ? 1 : width;
    pen->color = color & 0x00FFFFFF;
    return AddObject(std::move(pen));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto brush = NewObject(ObjectKind::Brush);
    brush->color = color & 0x00FFFFFF;
    return AddObject(std::move(brush));
}

HFONT CreateFontIndirectW(const LOGFONTW* font)
{
    if (font == nullptr) {
        return nullptr;
    }
    auto object = NewObject(ObjectKind::Font);
    object->logFont = *font;
    object->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    return AddObject(std::move(object));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, const WCHAR* face)
{
    LOGFONTW font;
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic);
    font.lfUnderline = static_cast<BYTE>(underline);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    for (int i = 0; face != nullptr && face[i] != 0 && i < LF_FACESIZE - 1; ++i) {
        font.lfFaceName[i] = face[i];
    }
    return CreateFontIndirectW(&font);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    DeviceContext* context = FindContext(dc);
    GdiObject* selected = SelectedObject(object);
    if (context == nullptr || selected == nullptr || selected->deletePending) {
        return nullptr;
    }
    if (selected->kind == ObjectKind::Bitmap) {
        // A bitmap lives in one memory context at a time; a window context
        // draws into its window's image only.
        if (context->windowImage != nullptr) {
            return nullptr;
        }
        if (object == context->bitmap) {
            return object;
        }
        if (!selected->stock && selected->selections > 0) {
            return nullptr;
        }
    }
    HGDIOBJ* slot = SlotFor(*context, selected->kind);
    const HGDIOBJ previous = *slot;
    if (previous == object) {
        return previous;
    }
    *slot = object;
    ++selected->selections;
    LetGo(previous);
    return previous;
}

BOOL DeleteObject(HGDIOBJ object)
{
    GdiObject* found = SelectedObject(object);
    if (found == nullptr || found->deletePending) {
        return FALSE;
    }
    if (found->stock) {
        return TRUE;
    }
    found->deletePending = true;
    if (found->selections == 0) {
        LetGo(object);
    }
    return TRUE;
}

int GetObjectW(HGDIOBJ object, int bufferSize, void* buffer)
{
    GdiObject* found = SelectedObject(object);
    if (found == nullptr || found->deletePending) {
        return 0;
    }
    switch (found->kind) {
    case ObjectKind::Bitmap: {
        BITMAP record;
        record.bmWidth = found->image.width();
        record.bmHeight = found->image.height();
        record.bmBitsPixel = found->monochrome ? 1 : 32;
        record.bmWidthBytes = found->monochrome ? ((record.bmWidth + 15) / 16) * 2 : record.bmWidth * 4;
        return CopyRecord(record, bufferSize, buffer);
    }
    case ObjectKind::Font: return CopyRecord(found->logFont, bufferSize, buffer);
    case ObjectKind::Pen: {
        LOGPEN record;
        record.lopnStyle = static_cast<UINT>(found->penStyle);
        record.lopnWidth.x = found->penWidth;
        record.lopnColor = found->color;
        return CopyRecord(record, bufferSize, buffer);
    }
    case ObjectKind::Brush: {
        LOGBRUSH record;
        COLORREF color = 0;
        record.lbStyle = BrushColor(*found, color) ? BS_SOLID : BS_NULL;
        record.lbColor = color;
        return CopyRecord(record, bufferSize, buffer);
    }
    }
    return 0;
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    return ExchangeColor(dc, &DeviceContext::textColor, color);
}
COLORREF GetTextColor(HDC dc)
{
    return ReadColor(dc, &DeviceContext::textColor);
}
COLORREF SetBkColor(HDC dc, COLORREF color)
{
    return ExchangeColor(dc, &DeviceContext::bkColor, color);
}
COLORREF GetBkColor(HDC dc)
{
    return ReadColor(dc, &DeviceContext::bkColor);
}

int SetBkMode(HDC dc, int mode)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    return std::exchange(context->bkMode, mode);
}

int GetBkMode(HDC dc)
{
    DeviceContext* context = FindContext(dc);
    return context == nullptr ? 0 : context->bkMode;
}
