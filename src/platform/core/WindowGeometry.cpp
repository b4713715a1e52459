// Geometry and painting: a window's off-screen image, invalidation and
// painting, its rectangles and coordinates, moving, showing and enabling.
#include "platform/core/Window.h"

#include "platform/core/WindowObject.h"
#include "platform/gdi/GdiInternal.h"

#include <QPainter>
#include <algorithm>

namespace platform::core {

void ResizeImage(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return;
    const QSize size(std::max<LONG>(0, w->rect.right - w->rect.left), std::max<LONG>(0, w->rect.bottom - w->rect.top));
    if (w->image.size() == size)
        return;
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!w->image.isNull()) {
        QPainter painter(&image);
        painter.drawImage(0, 0, w->image);
    }
    w->image = image;
    w->invalid = true;
    w->eraseNeeded = true;
}

}  // namespace platform::core

using namespace platform::core;

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    w->invalid = true;
    if (erase)
        w->eraseNeeded = true;
    if (w->widget != nullptr)
        w->widget->update();
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    if (w->invalid)
        SendMessageW(window, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || paint == nullptr)
        return nullptr;
    ResizeImage(window);
    w->invalid = false;
    paint->hdc = platform::gdi::CreateImageDC(&w->image);
    GetClientRect(window, &paint->rcPaint);
    paint->fErase = FALSE;
    if (w->eraseNeeded) {
        w->eraseNeeded = false;
        paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    }
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (paint == nullptr)
        return FALSE;
    platform::gdi::DestroyImageDC(paint->hdc);
    if (HWND__* w = Lookup(window); w != nullptr && w->widget != nullptr)
        w->widget->update();
    return TRUE;
}

HDC GetDC(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return nullptr;
    ResizeImage(window);
    return platform::gdi::CreateImageDC(&w->image);
}

int ReleaseDC(HWND window, HDC dc)
{
    if (dc == nullptr)
        return 0;
    platform::gdi::DestroyImageDC(dc);
    if (HWND__* w = Lookup(window); w != nullptr && w->widget != nullptr)
        w->widget->update();
    return 1;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point)
{
    if (Lookup(window) == nullptr || point == nullptr)
        return FALSE;
    for (HWND__* w = Lookup(window); w != nullptr; w = Lookup(w->parent)) {
        point->x += w->rect.left;
        point->y += w->rect.top;
    }
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    POINT origin{0, 0};
    if (!ClientToScreen(window, &origin) || point == nullptr)
        return FALSE;
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    *rect =
        RECT{origin.x, origin.y, origin.x + (w->rect.right - w->rect.left), origin.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    width = std::max(0, width);
    height = std::max(0, height);
    w->rect = RECT{x, y, x + width, y + height};
    if (w->widget != nullptr) {
        if (w->parent != nullptr)
            w->widget->setGeometry(x, y, width, height);
        else
            w->widget->setFixedSize(std::max(1, width), std::max(1, height));
    }
    ResizeImage(window);
    SendMessageW(window, WM_SIZE, 0, MAKELPARAM(width, height));
    if (repaint) {
        InvalidateRect(window, nullptr, TRUE);
        if (HWND__* p = Lookup(w->parent))
            InvalidateRect(p, nullptr, TRUE);
    }
    return TRUE;
}

namespace {

void InvalidateVisibleTree(HWND window)
{
    HWND__* w = Lookup(window);
    if (w == nullptr || (w->style & WS_VISIBLE) == 0)
        return;
    InvalidateRect(window, nullptr, TRUE);
    const std::vector<HWND> children = w->children;
    for (HWND child : children)
        InvalidateVisibleTree(child);
}

}  // namespace

BOOL ShowWindow(HWND window, int command)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    const BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE)
        w->style &= ~WS_VISIBLE;
    else
        w->style |= WS_VISIBLE;
    if (w->widget != nullptr)
        w->widget->setVisible(command != SW_HIDE);
    if (wasVisible != ((w->style & WS_VISIBLE) != 0)) {
        SendMessageW(window, WM_SHOWWINDOW, command != SW_HIDE, 0);
        // What a hidden window shows is out of date: like a window uncovered
        // on the handheld, it is painted afresh, children and all.
        if (!wasVisible)
            InvalidateVisibleTree(window);
    }
    return wasVisible;
}

BOOL IsWindowVisible(HWND window)
{
    for (HWND__* w = Lookup(window); w != nullptr; w = Lookup(w->parent))
        if ((w->style & WS_VISIBLE) == 0)
            return FALSE;
    return Lookup(window) != nullptr ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    HWND__* w = Lookup(window);
    if (w == nullptr)
        return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    if (w->widget != nullptr)
        w->widget->setEnabled(enable != 0);
    SendMessageW(window, WM_ENABLE, enable, 0);
    return wasDisabled;
}
