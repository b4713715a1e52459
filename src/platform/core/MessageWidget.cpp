#include "platform/core/MessageWidget.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/Window.h"
#include "platform/core/WindowObject.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace platform::core {

MessageWidget::MessageWidget(HWND window, QWidget* parent) : QWidget(parent), m_window(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setFocusPolicy(Qt::ClickFocus);
}

void MessageWidget::paintEvent(QPaintEvent*)
{
    // Bring the off-screen image up to date, then show it.
    if (Lookup(m_window) == nullptr)
        return;
    UpdateWindow(m_window);
    HWND__* w = Lookup(m_window);
    if (w == nullptr || w->image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, w->image);
}

void MessageWidget::SendMouse(UINT message, QMouseEvent* event)
{
    WPARAM keys = 0;
    if (event->buttons() & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (event->modifiers() & Qt::ControlModifier)
        keys |= MK_CONTROL;
    if (event->modifiers() & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    // A window that holds the capture gets the stylus wherever it is.
    HWND target = m_window;
    POINT point{static_cast<LONG>(event->position().x()), static_cast<LONG>(event->position().y())};
    HWND capture = GetCapture();
    if (capture != nullptr && capture != m_window) {
        ClientToScreen(m_window, &point);
        ScreenToClient(capture, &point);
        target = capture;
    }
    DeliverInput(MSG{target, message, keys, MAKELPARAM(point.x, point.y), 0, {}, 0});
}

bool MessageWidget::PassBeneath(QMouseEvent* event)
{
    // A window that holds the capture gets the stylus without a hit test,
    // and a top-level window has nothing of the program beneath it.
    if (GetCapture() != nullptr || Lookup(m_window) == nullptr || isWindow())
        return false;
    POINT screen{static_cast<LONG>(event->position().x()), static_cast<LONG>(event->position().y())};
    ClientToScreen(m_window, &screen);
    if (SendMessageW(m_window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) != HTTRANSPARENT)
        return false;
    // Look past this widget, and past it still while the widget beneath
    // handles the event, in case that one lets it through too.
    const bool wasTransparent = testAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    QWidget* top = window();
    const QPointF global = event->globalPosition();
    QWidget* beneath = top->childAt(top->mapFromGlobal(global).toPoint());
    if (beneath == nullptr)
        beneath = top;
    QMouseEvent passed(event->type(), beneath->mapFromGlobal(global), event->scenePosition(), global, event->button(),
                       event->buttons(), event->modifiers(), event->pointingDevice());
    QCoreApplication::sendEvent(beneath, &passed);
    setAttribute(Qt::WA_TransparentForMouseEvents, wasTransparent);
    return true;
}

void MessageWidget::mousePressEvent(QMouseEvent* event)
{
    if (PassBeneath(event))
        return;
    if (event->button() == Qt::LeftButton)
        SendMouse(WM_LBUTTONDOWN, event);
}

void MessageWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (PassBeneath(event))
        return;
    if (event->button() == Qt::LeftButton)
        SendMouse(WM_LBUTTONUP, event);
}

void MessageWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || PassBeneath(event))
        return;
    HWND__* w = Lookup(m_window);
    // Windows whose class does not ask for double clicks see a second press.
    const bool wantsDouble = w != nullptr && (w->classStyle & CS_DBLCLKS) != 0;
    SendMouse(wantsDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, event);
}

void MessageWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (PassBeneath(event))
        return;
    SendMouse(WM_MOUSEMOVE, event);
}

void MessageWidget::keyPressEvent(QKeyEvent* event)
{
    WPARAM key = 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: key = VK_RETURN; break;
    case Qt::Key_Escape: key = VK_ESCAPE; break;
    default:
        if (event->key() >= Qt::Key_Space && event->key() <= Qt::Key_Z)
            key = static_cast<WPARAM>(event->key());
        break;
    }
    if (key != 0)
        DeliverInput(MSG{m_window, WM_KEYDOWN, key, 1, 0, {}, 0});
}

void MessageWidget::closeEvent(QCloseEvent* event)
{
    // The caption's close button is the handheld caption's OK button: the
    // window decides itself whether and when it goes away.
    event->ignore();
    if (Lookup(m_window) != nullptr)
        PostMessageW(m_window, WM_COMMAND, IDOK, 0);
}

void MessageWidget::resizeEvent(QResizeEvent* event)
{
    HWND__* w = Lookup(m_window);
    if (w == nullptr)
        return;
    // The window manager may resize a top-level window: keep the window's
    // own rectangle in step and tell it, as a move through MoveWindow does.
    const QSize size = event->size();
    if (size.width() != w->rect.right - w->rect.left || size.height() != w->rect.bottom - w->rect.top) {
        w->rect.right = w->rect.left + size.width();
        w->rect.bottom = w->rect.top + size.height();
        ResizeImage(m_window);
        SendMessageW(m_window, WM_SIZE, 0, MAKELPARAM(size.width(), size.height()));
        InvalidateRect(m_window, nullptr, TRUE);
    }
}

}  // namespace platform::core
