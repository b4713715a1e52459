#include "platform/core/PixelZoom.h"

#include "platform/registry/Registry.h"

#include <QGraphicsEffect>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace platform::core {

namespace {

int g_asked = 0;  // --zoom, or 0
int g_zoom = 1;
double g_desktopFactor = 1;

// The zoom keys' choice has a key of its own in the settings file, apart
// from the program's settings, which know nothing of it.
constexpr const WCHAR* kZoomKey = u"Software\\Tarvolin\\Window";
constexpr const WCHAR* kZoomValue = u"Zoom";

bool IsZoom(int zoom)
{
    return zoom >= kMinZoom && zoom <= kMaxZoom;
}

// Draws the window it sits on at one pixel per pixel into an image, then
// puts that image on the device enlarged, each pixel a square block. Qt
// paints a window with such an effect through the effect, children
// included, whichever part of the window changed.
class PixelBlockEffect : public QGraphicsEffect {
public:
    explicit PixelBlockEffect(QWidget* window) : QGraphicsEffect(window), m_window(window) { }

protected:
    void draw(QPainter* painter) override
    {
        const qreal ratio = painter->device()->devicePixelRatio();
        // Blocks need a whole number of device pixels per pixel; otherwise
        // Qt's own rendering is the better picture.
        if (ratio <= 1.0 || ratio != std::floor(ratio)) {
            drawSource(painter);
            return;
        }
        const QRect area = DirtyArea(painter, ratio);
        if (area.isEmpty())
            return;
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        // Inside the effect's own drawing Qt renders the window as it is,
        // so this is the window's plain one-to-one picture.
        m_window->render(&image, QPoint(), QRegion(area), QWidget::DrawWindowBackground | QWidget::DrawChildren);
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter->drawImage(area, image);
        painter->restore();
    }

private:
    // The part of the window being repainted, in the window's own pixels,
    // widened to whole pixels.
    QRect DirtyArea(QPainter* painter, qreal ratio) const
    {
        const QRect whole = m_window->rect();
        const QPaintEngine* engine = painter->paintEngine();
        const QRegion clip = engine != nullptr ? engine->systemClip() : QRegion();
        if (clip.isEmpty())
            return whole;
        const QRect device = clip.boundingRect();
        const QPoint offset = painter->worldTransform().map(QPointF(0, 0)).toPoint();
        const int left = static_cast<int>(std::floor((device.left() - offset.x()) / ratio));
        const int top = static_cast<int>(std::floor((device.top() - offset.y()) / ratio));
        const int right = static_cast<int>(std::ceil((device.right() + 1 - offset.x()) / ratio));
        const int bottom = static_cast<int>(std::ceil((device.bottom() + 1 - offset.y()) / ratio));
        return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & whole;
    }

    QWidget* m_window;
};

}  // namespace

void SetPixelZoom(int factor)
{
    g_asked = factor > 0 ? std::clamp(factor, kMinZoom, kMaxZoom) : 0;
}

int ChooseZoom(int asked, int width, int height)
{
    const auto fits = [&](int zoom, double share) {
        return kWindowWidth * zoom <= width && kWindowHeight * zoom + kTitleBarAllowance <= share * height;
    };
    int zoom = asked > 0 ? std::clamp(asked, kMinZoom, kMaxZoom) : kMaxZoom;
    const double share = asked > 0 ? 1.0 : 0.7;
    while (zoom > kMinZoom && !fits(zoom, share))
        --zoom;
    return zoom;
}

int StartZoom(int asked, int kept, int width, int height)
{
    if (asked > 0)
        return ChooseZoom(asked, width, height);
    return ChooseZoom(IsZoom(kept) ? kept : 0, width, height);
}

int SteppedZoom(int current, ZoomKey key, int width, int height)
{
    switch (key) {
    case ZoomKey::Larger: {
        const int larger = std::min(current + 1, kMaxZoom);
        return larger > current && ChooseZoom(larger, width, height) == larger ? larger : current;
    }
    case ZoomKey::Smaller: return std::max(current - 1, kMinZoom);
    case ZoomKey::ScreenDefault: return ChooseZoom(0, width, height);
    }
    return current;
}

int KeptZoom()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kZoomKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = REG_NONE;
    BYTE bytes[4] = {};
    DWORD size = sizeof bytes;
    const bool read = RegQueryValueExW(key, kZoomValue, nullptr, &type, bytes, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read || type != REG_DWORD || size != sizeof bytes)
        return 0;
    const DWORD value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
    return value >= static_cast<DWORD>(kMinZoom) && value <= static_cast<DWORD>(kMaxZoom) ? static_cast<int>(value) : 0;
}

bool KeepZoom(int zoom)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kZoomKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const auto value = static_cast<DWORD>(IsZoom(zoom) ? zoom : 0);
    const BYTE bytes[4] = {static_cast<BYTE>(value), 0, 0, 0};
    RegSetValueExW(key, kZoomValue, 0, REG_DWORD, bytes, sizeof bytes);
    // The file is written when the key closes, over what is on disk now:
    // the program's own values there stay as they are.
    return RegCloseKey(key) == ERROR_SUCCESS;
}

void PrepareScaleFactor(char* argv0)
{
    bool ok = false;
    double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok || factor <= 0)
        factor = 1;
    g_desktopFactor = factor;
    // A picture taken off screen has no screen to fit: the zoom asked for.
    const QByteArray platformName = qgetenv("QT_QPA_PLATFORM");
    if (platformName.startsWith("offscreen") || platformName.startsWith("minimal")) {
        g_zoom = g_asked > 0 ? g_asked : 1;
    } else {
        // The screen is known only to a running application environment: a
        // short-lived one measures it, before the zoom is put in the
        // environment the program's own one reads.
        int argc = 1;
        char* argv[] = {argv0, nullptr};
        QRect area;
        {
            QGuiApplication probe(argc, argv);
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                area = screen->availableGeometry();
        }
        const int kept = g_asked > 0 ? 0 : KeptZoom();
        g_zoom = area.isEmpty() ? std::max({g_asked, kept, 1}) : StartZoom(g_asked, kept, area.width(), area.height());
    }
    if (g_zoom > 1)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(factor * g_zoom));
}

int PixelZoom()
{
    return g_zoom;
}

double DesktopScaleFactor()
{
    return g_desktopFactor;
}

void SetCurrentZoom(int zoom)
{
    g_zoom = zoom;
}

void ShowPixelsAsBlocks(QWidget* topLevel, bool evenAtOnePixelPerPixel)
{
    if (topLevel == nullptr || qGuiApp == nullptr || dynamic_cast<PixelBlockEffect*>(topLevel->graphicsEffect()))
        return;
    // The application's ratio is not brought up to date when the zoom
    // keys change the scale factor; the zoom is.
    if (g_zoom > 1 || qGuiApp->devicePixelRatio() > 1.0 || evenAtOnePixelPerPixel)
        topLevel->setGraphicsEffect(new PixelBlockEffect(topLevel));
}

}  // namespace platform::core
