// Writes the program's pictures below a res/ folder: the bitmaps as
// res/bitmaps/NNN.bmp (24-bit, black where the background shows through) and
// the activity icon IDI_ACTIVITY as the two files res/Icons.cpp names for it
// (32 x 32 and 16 x 16), both with alpha. With --app-icons FOLDER it writes the
// application icon for desktop menus below FOLDER as an icon theme lays it
// out (hicolor/NxN/apps/org.tarvolin.Tarvolin.png and
// hicolor/scalable/apps/org.tarvolin.Tarvolin.svg). With --sheet FILE it also
// writes an enlarged contact sheet of every picture for checking them by eye.
//
// Usage: imagegen RES_FOLDER [--app-icons FOLDER] [--sheet FILE.png]
#include "AppIcon.h"
#include "ImageFiles.h"
#include "Pictures.h"

#include <QFile>

#include <QDir>
#include <QPainter>

#include <cstdio>

namespace {

constexpr int kZoom = 8;
constexpr int kGap = 12;
constexpr int kSheetWidth = 1400;

bool Clear(QRgb pixel)
{
    return (pixel & 0xFFFFFF) == 0 || qAlpha(pixel) == 0;
}

// Each picture enlarged on a grey checkerboard, and below it at its own size
// and at three times on the options page's light background, with black
// dropped as the program drops it. Pictures run in rows.
QImage ContactSheet(const std::vector<imagegen::Picture>& pictures)
{
    QImage sheet(kSheetWidth, 1200, QImage::Format_RGB32);
    sheet.fill(QColor(0x84, 0x91, 0xB4));
    QPainter painter(&sheet);
    int left = kGap, top = kGap, rowHeight = 0;
    for (const imagegen::Picture& picture : pictures) {
        const QImage& image = picture.image;
        if (left + image.width() * kZoom > kSheetWidth) {
            left = kGap;
            top += rowHeight + kGap;
            rowHeight = 0;
        }
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                const QColor check = ((x + y) % 2 == 0) ? QColor(0xD0, 0xD0, 0xD0) : QColor(0xF0, 0xF0, 0xF0);
                painter.fillRect(left + x * kZoom, top + y * kZoom, kZoom, kZoom, Clear(pixel) ? check : QColor(pixel));
            }
        const int below = top + kGap + image.height() * kZoom;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (Clear(pixel))
                    continue;
                sheet.setPixel(left + x, below + y, pixel | 0xFF000000u);
                painter.fillRect(left + image.width() + 6 + x * 3, below + y * 3, 3, 3, QColor(pixel));
            }
        rowHeight = std::max(rowHeight, image.height() * (kZoom + 3) + 2 * kGap);
        left += image.width() * kZoom + kGap;
    }
    painter.end();
    return sheet.copy(0, 0, kSheetWidth, std::min(sheet.height(), top + rowHeight + kGap));
}

constexpr const char* kAppIconName = "org.tarvolin.Tarvolin";

bool WriteAppIcons(const QDir& folder)
{
    for (int size : imagegen::AppIconSizes()) {
        const QString apps = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!folder.mkpath(apps) ||
            !imagegen::WritePng(folder.filePath(apps + "/" + kAppIconName + ".png"), imagegen::AppIconImage(size)))
            return false;
    }
    if (!folder.mkpath("hicolor/scalable/apps"))
        return false;
    QFile svg(folder.filePath(QStringLiteral("hicolor/scalable/apps/") + kAppIconName + ".svg"));
    const QByteArray text = imagegen::AppIconSvg();
    return svg.open(QIODevice::WriteOnly | QIODevice::Truncate) && svg.write(text) == text.size() && svg.flush();
}

}  // namespace

int main(int argc, char** argv)
{
    const char* appIcons = nullptr;
    const char* sheet = nullptr;
    bool good = argc >= 2 && argc % 2 == 0;
    for (int i = 2; good && i + 1 < argc; i += 2) {
        const std::string_view option = argv[i];
        if (option == "--app-icons")
            appIcons = argv[i + 1];
        else if (option == "--sheet")
            sheet = argv[i + 1];
        else
            good = false;
    }
    if (!good) {
        std::fprintf(stderr, "usage: imagegen RES_FOLDER [--app-icons FOLDER] [--sheet FILE.png]\n");
        return 2;
    }
    const QDir res(QString::fromLocal8Bit(argv[1]));
    if (!res.mkpath("bitmaps") || !res.mkpath("icons")) {
        std::fprintf(stderr, "imagegen: cannot create the folders below %s\n", argv[1]);
        return 1;
    }
    const std::vector<imagegen::Picture> pictures = imagegen::AllPictures();
    for (const imagegen::Picture& picture : pictures) {
        const QString path = res.filePath(picture.file);
        const bool written = picture.file.endsWith(".png") ? imagegen::WritePng(path, picture.image)
                                                           : imagegen::WriteBmp24(path, picture.image);
        if (!written) {
            std::fprintf(stderr, "imagegen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (appIcons && !WriteAppIcons(QDir(QString::fromLocal8Bit(appIcons)))) {
        std::fprintf(stderr, "imagegen: cannot write the application icons below %s\n", appIcons);
        return 1;
    }
    if (sheet && !ContactSheet(pictures).save(QString::fromLocal8Bit(sheet), "PNG")) {
        std::fprintf(stderr, "imagegen: cannot write %s\n", sheet);
        return 1;
    }
    return 0;
}
