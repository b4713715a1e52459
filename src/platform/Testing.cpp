#include "platform/Testing.h"
#include "platform/TestingWidgets.h"

#include "platform/core/MessageWidget.h"
#include "platform/core/WindowObject.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiInternal.h"

#include <QCoreApplication>
#include <QImage>

namespace platform::testing {

void ProcessEvents()
{
    QCoreApplication::processEvents();
}

RECT WindowPlace(HWND window)
{
    const HWND__* w = core::Lookup(window);
    return w != nullptr ? w->rect : RECT{};
}

HWND WindowAt(HWND parent, POINT point)
{
    const HWND__* w = core::Lookup(parent);
    if (w == nullptr || w->widget == nullptr)
        return nullptr;
    const auto* shown = dynamic_cast<const core::MessageWidget*>(w->widget->childAt(point.x, point.y));
    return shown != nullptr ? shown->Window() : nullptr;
}

SIZE ImageSize(HWND window)
{
    const HWND__* w = core::Lookup(window);
    return w != nullptr ? SIZE{w->image.width(), w->image.height()} : SIZE{};
}

COLORREF ImagePixel(HWND window, int x, int y)
{
    const HWND__* w = core::Lookup(window);
    if (w == nullptr || !w->image.rect().contains(x, y))
        return CLR_INVALID;
    const QRgb pixel = w->image.pixel(x, y);
    return RGB(static_cast<BYTE>(qRed(pixel)), static_cast<BYTE>(qGreen(pixel)), static_cast<BYTE>(qBlue(pixel)));
}

QWidget* WidgetOf(HWND window)
{
    const HWND__* w = core::Lookup(window);
    return w != nullptr ? w->widget.data() : nullptr;
}

bool FontOf(HFONT font, QFont& out)
{
    return gdi::FontOf(font, out);
}

struct Canvas::Image {
    QImage pixels;
};

Canvas::Canvas(int width, int height, COLORREF fill)
    : m_image(std::make_unique<Image>(Image{QImage(width, height, QImage::Format_RGB32)}))
{
    m_image->pixels.fill(QColor(GetRValue(fill), GetGValue(fill), GetBValue(fill)));
    m_dc = gdi::CreateImageDC(&m_image->pixels);
}

Canvas::~Canvas()
{
    gdi::DestroyImageDC(m_dc);
}

}  // namespace platform::testing
