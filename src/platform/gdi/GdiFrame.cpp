// Frame controls: push button faces, check boxes and radio buttons in the
// classic bevelled look, drawn from the system colours.
#include "platform/gdi/GdiState.h"

#include <QPainter>

namespace platform::gdi {

namespace {

// The classic 7 x 7 check mark, three pixels thick.
constexpr const char* kCheckMark[7] = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};
constexpr int kCheckSize = 7;

QRgb Sys(DeviceContext& dc, int index)
{
    return PixelFor(dc, GetSysColor(index));
}

// A one-pixel bevel: top and left in one colour, bottom and right (corners
// included) in the other. Returns the rectangle inside it.
QRect Bevel(DeviceContext& dc, QRect area, QRgb topLeft, QRgb bottomRight)
{
    if (area.isEmpty()) {
        return area;
    }
    FillPixels(dc, QRect(area.left(), area.top(), area.width() - 1, 1), topLeft);
    FillPixels(dc, QRect(area.left(), area.top(), 1, area.height() - 1), topLeft);
    FillPixels(dc, QRect(area.left(), area.bottom(), area.width(), 1), bottomRight);
    FillPixels(dc, QRect(area.right(), area.top(), 1, area.height()), bottomRight);
    return area.adjusted(1, 1, -1, -1);
}

void PushButton(DeviceContext& dc, QRect area, UINT state)
{
    const bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
    if (state & DFCS_FLAT) {
        const QRgb frame = Sys(dc, pushed ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
        FillPixels(dc, Bevel(dc, area, frame, frame), Sys(dc, COLOR_BTNFACE));
        return;
    }
    QRect inside;
    if (pushed) {
        inside = Bevel(dc, area, Sys(dc, COLOR_BTNSHADOW), Sys(dc, COLOR_BTNHIGHLIGHT));
        inside = Bevel(dc, inside, Sys(dc, COLOR_3DDKSHADOW), Sys(dc, COLOR_3DLIGHT));
    } else {
        inside = Bevel(dc, area, Sys(dc, COLOR_3DLIGHT), Sys(dc, COLOR_3DDKSHADOW));
        inside = Bevel(dc, inside, Sys(dc, COLOR_BTNHIGHLIGHT), Sys(dc, COLOR_BTNSHADOW));
    }
    FillPixels(dc, inside, Sys(dc, COLOR_BTNFACE));
}

// The square or circle of a check mark control: the largest one centred in
// the rectangle.
QRect MarkBox(QRect area)
{
    const int side = std::min(area.width(), area.height());
    return QRect(area.left() + (area.width() - side) / 2, area.top() + (area.height() - side) / 2, side, side);
}

void CheckBox(DeviceContext& dc, QRect area, UINT state)
{
    const QRect box = MarkBox(area);
    const bool inactive = state & DFCS_INACTIVE;
    QRect inside;
    if (state & DFCS_FLAT) {
        const QRgb frame = Sys(dc, COLOR_BTNSHADOW);
        inside = Bevel(dc, box, frame, frame);
    } else {
        inside = Bevel(dc, box, Sys(dc, COLOR_BTNSHADOW), Sys(dc, COLOR_BTNHIGHLIGHT));
        inside = Bevel(dc, inside, Sys(dc, COLOR_3DDKSHADOW), Sys(dc, COLOR_3DLIGHT));
    }
    const bool grey = inactive || (state & DFCS_PUSHED);
    FillPixels(dc, inside, Sys(dc, grey ? COLOR_BTNFACE : COLOR_WINDOW));
    if (!(state & DFCS_CHECKED)) {
        return;
    }
    const QRgb ink = Sys(dc, inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    const int left = inside.left() + (inside.width() - kCheckSize) / 2;
    const int top = inside.top() + (inside.height() - kCheckSize) / 2;
    for (int y = 0; y < kCheckSize; ++y) {
        for (int x = 0; x < kCheckSize; ++x) {
            if (kCheckMark[y][x] == '#' && inside.contains(left + x, top + y)) {
                PutPixel(dc, left + x, top + y, ink);
            }
        }
    }
}

void RadioButton(DeviceContext& dc, QRect area, UINT state)
{
    QImage* image = TargetImage(dc);
    const QRect box = MarkBox(area);
    if (image == nullptr || box.width() < 3) {
        return;
    }
    const bool inactive = state & DFCS_INACTIVE;
    const bool grey = inactive || (state & DFCS_PUSHED);
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor::fromRgb(Sys(dc, COLOR_BTNSHADOW)));
    painter.setBrush(QColor::fromRgb(Sys(dc, grey ? COLOR_BTNFACE : COLOR_WINDOW)));
    painter.drawEllipse(box.adjusted(0, 0, -1, -1));
    if (state & DFCS_CHECKED) {
        const int dot = std::max(2, box.width() / 3);
        const QRect centre(box.left() + (box.width() - dot) / 2, box.top() + (box.height() - dot) / 2, dot, dot);
        const QColor ink = QColor::fromRgb(Sys(dc, inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        painter.setPen(ink);
        painter.setBrush(ink);
        painter.drawEllipse(centre.adjusted(0, 0, -1, -1));
    }
}

}  // namespace

}  // namespace platform::gdi

using namespace platform::gdi;

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || rect == nullptr || type != DFC_BUTTON || TargetImage(*context) == nullptr) {
        return FALSE;
    }
    const QRect area = ToQRect(rect->left, rect->top, rect->right, rect->bottom);
    if (state & DFCS_BUTTONPUSH) {
        PushButton(*context, area, state);
        return TRUE;
    }
    switch (state & 0x000F) {
    case DFCS_BUTTONCHECK: CheckBox(*context, area, state); return TRUE;
    case DFCS_BUTTONRADIO: RadioButton(*context, area, state); return TRUE;
    default: return FALSE;
    }
}
