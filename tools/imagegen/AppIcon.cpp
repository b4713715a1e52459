#include "AppIcon.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace imagegen {
namespace {

// The tile: a rounded square with a light sky gradient and a darker rim.
constexpr double kTileInset = 0.5, kTileRadius = 3.0, kRimWidth = 0.6;
constexpr unsigned kTileTop = 0xF2F6FC, kTileBottom = 0xB4C8E6, kRim = 0x3A5A8C;

// The antenna, in the activity icon's own 16-unit coordinates: the mast's top
// at (8, 6), two waves each side, a red light on top. Placed on the tile at
// kScale, centred on the tile.
constexpr double kMastX = 8.0, kMastTop = 6.0, kMastBottom = 15.0;
constexpr double kMastTopHalfWidth = 0.5, kMastSpread = 0.25;
constexpr double kWaveRadii[] = {3.6, 6.2};
constexpr double kWaveHalfWidth = 0.55;
constexpr double kWaveSlope = 0.95;  // the waves reach |dy| <= kWaveSlope * |dx|
constexpr double kLightRadius = 1.1;
constexpr unsigned kWave = 0x1EA040, kMast = 0x484848, kLight = 0xE03020;
constexpr double kScale = 0.8;
// The antenna's extent is x 1.25..14.75, y 1.35..15; its middle goes to the
// tile's middle.
constexpr double kAntennaMiddleY = 8.175;

// Subsamples per pixel side for the anti-aliased PNGs.
constexpr int kSamples = 8;

double ToAntennaX(double x)
{
    return kMastX + (x - 8.0) / kScale;
}
double ToAntennaY(double y)
{
    return kAntennaMiddleY + (y - 8.0) / kScale;
}

unsigned Mix(unsigned from, unsigned to, double t)
{
    unsigned out = 0;
    for (int shift : {0, 8, 16}) {
        const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        out |= static_cast<unsigned>(std::lround(a + (b - a) * t)) << shift;
    }
    return out;
}

// Signed distance from (x, y) to the tile's edge, negative inside.
double TileDistance(double x, double y)
{
    const double half = 8.0 - kTileInset - kTileRadius;
    const double qx = std::abs(x - 8.0) - half, qy = std::abs(y - 8.0) - half;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - kTileRadius;
}

// The colour at a point of the 16-unit square, with alpha 0 or 255.
QRgb ColourAt(double x, double y)
{
    QRgb colour = 0;
    const double edge = TileDistance(x, y);
    if (edge > 0)
        return colour;
    colour =
        0xFF000000u | (edge > -kRimWidth ? kRim : Mix(kTileTop, kTileBottom, (y - kTileInset) / (16 - 2 * kTileInset)));

    const double ax = ToAntennaX(x), ay = ToAntennaY(y);
    const double dx = ax - kMastX, dy = ay - kMastTop, r = std::hypot(dx, dy);
    if (std::abs(dy) <= kWaveSlope * std::abs(dx))
        for (double radius : kWaveRadii)
            if (std::abs(r - radius) <= kWaveHalfWidth)
                colour = 0xFF000000u | kWave;
    if (ay > kMastTop && ay < kMastBottom && std::abs(dx) <= kMastTopHalfWidth + dy * kMastSpread)
        colour = 0xFF000000u | kMast;
    if (r <= kLightRadius)
        colour = 0xFF000000u | kLight;
    return colour;
}

QString Number(double value)
{
    return QString::number(value, 'f', 3);
}

}  // namespace

const std::vector<int>& AppIconSizes()
{
    static const std::vector<int> sizes{16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

QImage AppIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    const double unit = 16.0 / size, step = unit / kSamples;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            // Averaged with premultiplied colours, so the background's black
            // does not darken the edges.
            double a = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const QRgb c = ColourAt(px * unit + (sx + 0.5) * step, py * unit + (sy + 0.5) * step);
                    const double alpha = qAlpha(c) / 255.0;
                    a += alpha;
                    r += alpha * qRed(c);
                    g += alpha * qGreen(c);
                    b += alpha * qBlue(c);
                }
            const QRgb pixel = a == 0
                                   ? 0
                                   : qRgba(static_cast<int>(std::lround(r / a)), static_cast<int>(std::lround(g / a)),
                                           static_cast<int>(std::lround(b / a)),
                                           static_cast<int>(std::lround(255.0 * a / (kSamples * kSamples))));
            image.setPixel(px, py, pixel);
        }
    return image;
}

QByteArray AppIconSvg()
{
    const auto hex = [](unsigned rgb) { return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')); };
    const double rimMiddle = kTileInset + kRimWidth / 2;
    QString svg;
    svg +=
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 16 16\">\n"
            "  <defs>\n"
            "    <linearGradient id=\"sky\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\">\n"
            "      <stop offset=\"0\" stop-color=\"%3\"/>\n"
            "      <stop offset=\"1\" stop-color=\"%4\"/>\n"
            "    </linearGradient>\n"
            "  </defs>\n"
            "  <rect x=\"%5\" y=\"%5\" width=\"%6\" height=\"%6\" rx=\"%7\" fill=\"url(#sky)\" stroke=\"%8\" "
            "stroke-width=\"%9\"/>\n")
            .arg(Number(kTileInset), Number(16 - kTileInset), hex(kTileTop), hex(kTileBottom), Number(rimMiddle),
                 Number(16 - 2 * rimMiddle), Number(kTileRadius - kRimWidth / 2), hex(kRim), Number(kRimWidth));
    svg += QStringLiteral("  <g transform=\"translate(%1 %2) scale(%3)\">\n")
               .arg(Number(8.0 - kScale * kMastX), Number(8.0 - kScale * kAntennaMiddleY), Number(kScale));
    // Each wave is an arc cut off by the lines |dy| = kWaveSlope * |dx|
    // through the light; butt ends lie along those lines.
    const double angle = std::atan(kWaveSlope);
    for (double radius : kWaveRadii) {
        const double ex = radius * std::cos(angle), ey = radius * std::sin(angle);
        svg += QStringLiteral("    <path d=\"M %1 %2 A %5 %5 0 0 1 %1 %3 M %4 %3 A %5 %5 0 0 1 %4 %2\" fill=\"none\" "
                              "stroke=\"%6\" stroke-width=\"%7\"/>\n")
                   .arg(Number(kMastX + ex), Number(kMastTop - ey), Number(kMastTop + ey), Number(kMastX - ex),
                        Number(radius), hex(kWave), Number(2 * kWaveHalfWidth));
    }
    const double bottomHalfWidth = kMastTopHalfWidth + (kMastBottom - kMastTop) * kMastSpread;
    svg +=
        QStringLiteral("    <polygon points=\"%1,%3 %2,%3 %4,%6 %5,%6\" fill=\"%7\"/>\n")
            .arg(Number(kMastX - kMastTopHalfWidth), Number(kMastX + kMastTopHalfWidth), Number(kMastTop),
                 Number(kMastX + bottomHalfWidth), Number(kMastX - bottomHalfWidth), Number(kMastBottom), hex(kMast));
    svg += QStringLiteral("    <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n")
               .arg(Number(kMastX), Number(kMastTop), Number(kLightRadius), hex(kLight));
    svg += QStringLiteral("  </g>\n</svg>\n");
    return svg.toUtf8();
}

}  // namespace imagegen
