// The Qt widget that shows one window: it turns Qt's events into the
// window's messages and shows the window's off-screen image.
#pragma once

#include "platform/Types.h"

#include <QWidget>

namespace platform::core {

class MessageWidget : public QWidget {
public:
    MessageWidget(HWND window, QWidget* parent);
    HWND Window() const { return m_window; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SendMouse(UINT message, QMouseEvent* event);
    // Hands the event to the widget beneath when the window's hit test lets
    // the stylus through (HTTRANSPARENT); true when it did.
    bool PassBeneath(QMouseEvent* event);
    HWND m_window;
};

}  // namespace platform::core
