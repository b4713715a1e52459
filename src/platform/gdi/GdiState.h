// The drawing layer's own bookkeeping: the table of live objects and contexts
// behind the handles, and the pixel helpers the drawing calls share. Private
// to src/platform/gdi.
#pragma once

#include "platform/gdi/FontCell.h"
#include "platform/gdi/Gdi.h"

#include <QFont>
#include <QImage>
#include <QRect>

#include <memory>
#include <optional>

namespace platform::gdi {

enum class ObjectKind { Pen, Brush, Font, Bitmap };

// One pen, brush, font or bitmap. Only the fields of its kind are used.
struct GdiObject {
    ObjectKind kind = ObjectKind::Pen;
    bool stock = false;          // stock objects and system-colour brushes: never freed
    bool deletePending = false;  // deleted while selected: freed when the last context lets go
    int selections = 0;          // contexts it is selected into

    COLORREF color = 0;  // pen and solid brush colour
    int penStyle = PS_SOLID;
    int penWidth = 1;
    UINT brushStyle = BS_SOLID;
    int sysColorIndex = -1;  // a system-colour brush reads its colour at each use

    LOGFONTW logFont;
    std::optional<FontCell> font;  // built from logFont on first use

    QImage image;  // Format_RGB32; a monochrome bitmap holds only black and white
    bool monochrome = false;
};

// One drawing context: over a window's image, or a memory context with a
// selected bitmap.
struct DeviceContext {
    QImage* windowImage = nullptr;  // set for a window context
    HBITMAP bitmap = nullptr;       // set for a memory context
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    POINT position;
};

// A live object a caller may still use: null for unknown, deleted or pending
// handles, or another kind.
GdiObject* FindObject(HGDIOBJ handle, ObjectKind kind);
// The object a context has selected; pending objects count here.
GdiObject* SelectedObject(HGDIOBJ handle);
DeviceContext* FindContext(HDC dc);

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
HDC AddContext(std::unique_ptr<DeviceContext> context);
void RemoveContext(HDC dc);
// Records that a context stops holding the object; frees a pending one.
void LetGo(HGDIOBJ handle);

// The image a context draws into and whether it is monochrome.
QImage* TargetImage(DeviceContext& dc);
bool IsMonochrome(DeviceContext& dc);

// Colours as stored in images: 0xFFRRGGBB. In a monochrome target a colour
// becomes the nearer of black and white.
QRgb PixelFor(DeviceContext& dc, COLORREF color);
QRgb ToPixel(COLORREF color);
COLORREF ToColorRef(QRgb pixel);
QRgb NearestMono(QRgb pixel);

// The brush's current colour; false for the null brush.
bool BrushColor(const GdiObject& brush, COLORREF& out);
// The Qt font behind a font object (built and kept on first use).
const QFont& QtFont(GdiObject& font);
// The font with its text cell (built and kept on first use).
const FontCell& CellOf(GdiObject& font);

// Pixel-exact primitives, clipped to the target.
void FillPixels(DeviceContext& dc, QRect area, QRgb pixel);
void PutPixel(DeviceContext& dc, int x, int y, QRgb pixel);
// A line from a to b without b, stamped width x width pixels per point.
void DrawLinePixels(DeviceContext& dc, POINT a, POINT b, QRgb pixel, int width);
// The rectangle right/bottom-exclusive as a QRect; empty if inverted.
QRect ToQRect(int left, int top, int right, int bottom);

}  // namespace platform::gdi
