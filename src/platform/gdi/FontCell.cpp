#include "platform/gdi/FontCell.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace platform::gdi {

namespace {

constexpr int kDefaultCharHeight = 11;
constexpr int kMaxFontHeight = 2000;
// Above this size a pixel more or less of hinting does not matter, and
// drawing probes would cost more than they tell.
constexpr int kMaxProbedSize = 256;

QString FaceOf(const LOGFONTW& font)
{
    int length = 0;
    while (length < LF_FACESIZE && font.lfFaceName[length] != 0) {
        ++length;
    }
    const QString face = QString::fromUtf16(font.lfFaceName, length);
    // The dialog font aliases and an empty face all mean the user interface
    // face.
    if (face.isEmpty() || face.compare(u"MS Shell Dlg", Qt::CaseInsensitive) == 0 ||
        face.compare(u"MS Shell Dlg 2", Qt::CaseInsensitive) == 0 ||
        face.compare(u"System", Qt::CaseInsensitive) == 0) {
        return QStringLiteral("Tahoma");
    }
    return face;
}

QFont AtSize(QFont font, int emHeight)
{
    font.setPixelSize(emHeight);
    return font;
}

// The face's Windows ascent and descent (OS/2 usWinAscent, usWinDescent) at
// the font's size; false when the face has no such table.
// A big-endian 16-bit field of a font table whose size was checked.
int TableField(const QByteArray& table, qsizetype offset)
{
    return (static_cast<unsigned char>(table.at(offset)) << 8) | static_cast<unsigned char>(table.at(offset + 1));
}

bool WindowsMetrics(const QFont& font, int& ascent, int& descent)
{
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const QByteArray head = raw.fontTable("head");
    if (os2.size() < 78 || head.size() < 20) {
        return false;
    }
    const int unitsPerEm = TableField(head, 18);
    const int winAscent = TableField(os2, 74);
    const int winDescent = TableField(os2, 76);
    if (unitsPerEm <= 0 || winAscent + winDescent <= 0) {
        return false;
    }
    const double scale = static_cast<double>(font.pixelSize()) / unitsPerEm;
    ascent = static_cast<int>(std::lround(winAscent * scale));
    descent = static_cast<int>(std::lround(winDescent * scale));
    return true;
}

QImage Probe(const QFont& font, const QString& text, int baseline, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(font.pixelSize(), baseline), text);
    return image;
}

bool Ink(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// How far the tallest and deepest glyphs really reach from the baseline, as
// drawn (hinting may move an edge by a pixel).
void InkReach(const QFont& font, int& above, int& below)
{
    static const QString tall = QStringLiteral(u"\u00DC\u00C5\u00C9\u00D6\u00C7\u00D1Og0369|jy\u0104");
    const int size = font.pixelSize();
    const int baseline = 2 * size;
    const QImage image = Probe(font, tall, baseline, size * (tall.size() + 2) * 2, 4 * size);
    above = 0;
    below = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (Ink(image, x, y)) {
                if (y < baseline) {
                    above = std::max(above, baseline - y);
                } else {
                    below = std::max(below, y - baseline + 1);
                }
            }
        }
    }
}

// The widest run of ink along any row of an "l": the stem width.
int StemWidth(const QFont& font)
{
    const int size = font.pixelSize();
    const QImage image = Probe(font, QStringLiteral("l"), 2 * size, 4 * size, 3 * size);
    int widest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = Ink(image, x, y) ? run + 1 : 0;
            widest = std::max(widest, run);
        }
    }
    return widest;
}

struct Measured {
    int ascent = 0;
    int descent = 0;
    bool overstrike = false;
};

// The cell and the boldness of a font at one size, kept once worked out:
// the same fonts are made again at every paint.
const Measured& Measure(const QFont& font)
{
    using Key = std::tuple<QString, int, bool, int>;
    static std::map<Key, Measured> known;
    const Key key{font.family(), font.weight(), font.italic(), font.pixelSize()};
    if (auto found = known.find(key); found != known.end()) {
        return found->second;
    }
    Measured out;
    const QFontMetrics metrics(font);
    if (!WindowsMetrics(font, out.ascent, out.descent)) {
        out.ascent = metrics.ascent();
        out.descent = metrics.descent();
    }
    if (font.pixelSize() <= kMaxProbedSize) {
        int above = 0;
        int below = 0;
        InkReach(font, above, below);
        out.ascent = std::max(out.ascent, above);
        out.descent = std::max(out.descent, below);
        if (font.weight() >= QFont::DemiBold) {
            QFont regular = font;
            regular.setWeight(QFont::Normal);
            out.overstrike = StemWidth(font) <= StemWidth(regular);
        }
    }
    return known.emplace(key, out).first->second;
}

FontCell CellAt(const QFont& base, int emHeight)
{
    FontCell cell;
    cell.font = AtSize(base, emHeight);
    cell.emHeight = emHeight;
    const Measured& measured = Measure(cell.font);
    cell.ascent = measured.ascent;
    cell.descent = measured.descent;
    cell.overstrike = measured.overstrike;
    return cell;
}

}  // namespace

FontCell BuildFontCell(const LOGFONTW& logFont)
{
    QFont base(FaceOf(logFont));
    base.setStyleStrategy(QFont::NoAntialias);
    const int weight = logFont.lfWeight <= 0 ? FW_NORMAL : std::min<int>(logFont.lfWeight, 1000);
    base.setWeight(static_cast<QFont::Weight>(weight));
    base.setItalic(logFont.lfItalic != 0);
    base.setUnderline(logFont.lfUnderline != 0);
    base.setStrikeOut(logFont.lfStrikeOut != 0);
    const int height = logFont.lfHeight == 0 ? -kDefaultCharHeight : logFont.lfHeight;
    if (height < 0) {
        // A negative height is the character height: the em, Qt's pixel size.
        return CellAt(base, std::clamp(-height, 1, kMaxFontHeight));
    }
    // A positive height is the whole cell: the largest em whose cell fits,
    // starting from the proportion at the asked height.
    const int cellHeight = std::min(height, kMaxFontHeight);
    FontCell probe = CellAt(base, cellHeight);
    int em = std::max(1, probe.Height() > 0 ? cellHeight * cellHeight / probe.Height() : cellHeight);
    FontCell cell = CellAt(base, em);
    while (em > 1 && cell.Height() > cellHeight) {
        cell = CellAt(base, --em);
    }
    while (em < cellHeight) {
        FontCell larger = CellAt(base, em + 1);
        if (larger.Height() > cellHeight) {
            break;
        }
        cell = larger;
        ++em;
    }
    return cell;
}

}  // namespace platform::gdi
