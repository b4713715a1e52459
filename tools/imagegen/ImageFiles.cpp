#include "ImageFiles.h"

#include <QFile>

#include <cstdint>
#include <vector>

namespace imagegen {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

bool WriteAll(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

}  // namespace

bool WriteBmp24(const QString& path, const QImage& image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const auto width = static_cast<std::uint32_t>(pixels.width());
    const auto height = static_cast<std::uint32_t>(pixels.height());
    const std::uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const std::uint32_t headerBytes = 14 + 40;
    const std::uint32_t pixelBytes = rowBytes * height;

    std::vector<std::uint8_t> out;
    out.reserve(headerBytes + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, headerBytes + pixelBytes);
    Put32(out, 0);  // reserved
    Put32(out, headerBytes);
    Put32(out, 40);  // BITMAPINFOHEADER
    Put32(out, width);
    Put32(out, height);  // positive: rows run bottom-up
    Put16(out, 1);       // planes
    Put16(out, 24);      // bits per pixel
    Put32(out, 0);       // BI_RGB, no compression
    Put32(out, pixelBytes);
    Put32(out, 2835);  // 72 dots per inch, in dots per metre
    Put32(out, 2835);
    Put32(out, 0);  // no palette
    Put32(out, 0);
    for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (std::uint32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<std::uint8_t>(qBlue(row[x])));
            out.push_back(static_cast<std::uint8_t>(qGreen(row[x])));
            out.push_back(static_cast<std::uint8_t>(qRed(row[x])));
        }
        for (std::uint32_t pad = width * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return WriteAll(path, out);
}

bool WritePng(const QString& path, const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG");
}

}  // namespace imagegen
