#include "platform/core/LiveZoom.h"

#include "platform/core/MessageWidget.h"
#include "platform/core/PixelZoom.h"

#include <QApplication>
#include <QBackingStore>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>
#include <qpa/qplatformwindow.h>

#include <cmath>
#include <optional>
#include <vector>

namespace platform::core {

namespace {

// The zoom key an event is, if it is one. Shift is allowed, since '+' needs
// it on many layouts, and so is the keypad; '=' stands for '+' on layouts
// that share the key.
std::optional<ZoomKey> ZoomKeyOf(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers held = event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (held != Qt::ControlModifier)
        return std::nullopt;
    switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: return ZoomKey::Larger;
    case Qt::Key_Minus: return ZoomKey::Smaller;
    case Qt::Key_0: return ZoomKey::ScreenDefault;
    default: return std::nullopt;
    }
}

// The screen's available area in the desktop's own pixels (before any
// zoom), as the zoom at start was chosen from.
QSize DesktopArea(QScreen* screen)
{
    const QRect native = screen->handle()->availableGeometry();
    const qreal perZoom = QHighDpiScaling::factor(screen) / PixelZoom();
    if (native.isEmpty() || perZoom <= 0)
        return {};
    return QSize(static_cast<int>(native.width() / perZoom), static_cast<int>(native.height() / perZoom));
}

QScreen* ProgramScreen()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->screen() != nullptr)
            return window->screen();
    return QGuiApplication::primaryScreen();
}

// Qt warns when its scale factor changes while windows exist, since it does
// not resize them itself; ChangeZoom does, so the warning is dropped.
QtMessageHandler g_previousHandler = nullptr;

void DropScaleWarning(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.contains(QLatin1String("setFactor")))
        return;
    if (g_previousHandler != nullptr)
        g_previousHandler(type, context, message);
}

// Moves a rectangle (with the frame around it) into the available area, as
// far as it fits, so that a window grown by a zoom stays on the screen.
QRect KeptOnScreen(QRect rect, const QMargins& frame, const QRect& available)
{
    if (available.isEmpty())
        return rect;
    const QRect framed = rect.marginsAdded(frame);
    int dx = 0;
    int dy = 0;
    if (framed.right() > available.right())
        dx = available.right() - framed.right();
    if (framed.bottom() > available.bottom())
        dy = available.bottom() - framed.bottom();
    if (framed.left() + dx < available.left())
        dx = available.left() - framed.left();
    if (framed.top() + dy < available.top())
        dy = available.top() - framed.top();
    return rect.translated(dx, dy);
}

class ZoomKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A key press reaches the window first, then its focus widget: it
        // is taken once, at the widget.
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const std::optional<ZoomKey> key = ZoomKeyOf(*static_cast<QKeyEvent*>(event));
        if (!key)
            return false;
        event->accept();
        const int before = PixelZoom();
        QScreen* screen = ProgramScreen();
        const QSize area = screen != nullptr ? DesktopArea(screen) : QSize();
        const int zoom = area.isEmpty() ? before : SteppedZoom(before, *key, area.width(), area.height());
        if (zoom != before)
            ChangeZoom(zoom);
        // Ctrl+0 keeps no zoom, even when the screen's choice is the one
        // shown: the next start asks the screen again. A step that goes
        // nowhere (at a limit) changes nothing.
        if (*key == ZoomKey::ScreenDefault)
            KeepZoom(0);
        else if (zoom != before)
            KeepZoom(zoom);
        return true;
    }
};

}  // namespace

void InstallZoomKeys()
{
    if (qApp != nullptr)
        qApp->installEventFilter(new ZoomKeyFilter(qApp));
}

void ChangeZoom(int zoom)
{
    if (qApp == nullptr || zoom < kMinZoom || zoom > kMaxZoom || zoom == PixelZoom())
        return;
    // Where each shown window's client area starts, in the screen's pixels:
    // it stays there.
    struct Shown {
        QPointer<QWidget> widget;
        QPoint topLeft;
    };
    std::vector<Shown> shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const QWindow* window = widget->windowHandle();
        if (widget->isVisible() && window != nullptr && window->handle() != nullptr)
            shown.push_back({widget, window->handle()->geometry().topLeft()});
    }

    g_previousHandler = qInstallMessageHandler(DropScaleWarning);
    QHighDpiScaling::setGlobalFactor(DesktopScaleFactor() * zoom);
    qInstallMessageHandler(g_previousHandler);
    SetCurrentZoom(zoom);

    for (const Shown& entry : shown) {
        QWidget* widget = entry.widget;
        if (widget == nullptr || widget->windowHandle() == nullptr || widget->windowHandle()->handle() == nullptr)
            continue;
        if (dynamic_cast<MessageWidget*>(widget) != nullptr)
            ShowPixelsAsBlocks(widget, true);
        QWindow* window = widget->windowHandle();
        QPlatformWindow* platformWindow = window->handle();
        // The same size in the window's own pixels is a new size on the
        // screen; the desktop learns the new fixed size with it.
        const qreal factor = QHighDpiScaling::factor(window);
        const QSize size(static_cast<int>(std::lround(widget->width() * factor)),
                         static_cast<int>(std::lround(widget->height() * factor)));
        const QRect available = window->screen() != nullptr ? window->screen()->handle()->availableGeometry() : QRect();
        platformWindow->setGeometry(
            KeptOnScreen(QRect(entry.topLeft, size), platformWindow->frameMargins(), available));
        platformWindow->propagateSizeHints();
        // The window's image is made anew at the new size; Qt would keep
        // the old one for a window that had no scale factor at all.
        if (QBackingStore* store = widget->backingStore())
            store->resize(widget->size());
        widget->update();
    }
}

}  // namespace platform::core
