// Fonts, text measuring and text drawing. Text is laid out here, line by line,
// so that measuring and drawing always agree; Qt only supplies glyphs and
// advances.
#include "platform/gdi/GdiState.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace platform::gdi {

namespace {

constexpr int kDefaultCharHeight = 11;
constexpr int kMaxFontHeight = 2000;

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

QFont BuildFont(const LOGFONTW& logFont)
{
    QFont font(FaceOf(logFont));
    font.setStyleStrategy(QFont::NoAntialias);
    const int weight = logFont.lfWeight <= 0 ? FW_NORMAL : std::min<int>(logFont.lfWeight, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);
    const int height = logFont.lfHeight == 0 ? -kDefaultCharHeight : logFont.lfHeight;
    if (height < 0) {
        // A negative height is the character height, which is Qt's pixel size.
        font.setPixelSize(std::clamp(-height, 1, kMaxFontHeight));
        return font;
    }
    // A positive height is the whole cell (ascent + descent): find the largest
    // pixel size whose line height fits.
    const int cell = std::min(height, kMaxFontHeight);
    font.setPixelSize(cell);
    const int full = QFontMetrics(font).height();
    int size = full > 0 ? std::max(1, cell * cell / full) : cell;
    font.setPixelSize(size);
    while (size < cell && QFontMetrics(font).height() < cell) {
        font.setPixelSize(size + 1);
        if (QFontMetrics(font).height() > cell) {
            font.setPixelSize(size);
            break;
        }
        ++size;
    }
    while (size > 1 && QFontMetrics(font).height() > cell) {
        font.setPixelSize(--size);
    }
    return font;
}

// A text with its "&" prefixes taken out; underline[i] marks the characters
// that followed a single "&".
struct PreparedText {
    QString text;
    std::vector<bool> underline;
};

PreparedText Prepare(const QString& raw, bool prefixes, bool singleLine)
{
    PreparedText out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QChar c = raw[i];
        bool mark = false;
        if (prefixes && c == u'&' && i + 1 < raw.size()) {
            ++i;
            mark = raw[i] != u'&';
            c = raw[i];
        }
        if (singleLine && (c == u'\r' || c == u'\n')) {
            c = u' ';
        }
        out.text.append(c);
        out.underline.push_back(mark);
    }
    return out;
}

struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;  // exclusive, trailing spaces of a wrapped line dropped
    int width = 0;
    QString shown;  // the text drawn, ellipsis included
};

class TextMeasure {
public:
    TextMeasure(const QFont& font, bool expandTabs)
        : m_metrics(font), m_expandTabs(expandTabs), m_tabStop(std::max(1, 8 * m_metrics.averageCharWidth()))
    {
    }

    const QFontMetrics& Metrics() const { return m_metrics; }

    // Width of a run of text starting at a tab-stop origin.
    int Width(QStringView text) const { return Walk(text, nullptr, 0, 0); }

    // Draws the run with its origin at (x, baseline), tabs moving to the next
    // stop; returns its width.
    int Draw(QPainter& painter, QStringView text, int x, int baseline) const
    {
        return Walk(text, &painter, x, baseline);
    }

    // Left edge and width of character index within the run.
    std::pair<int, int> CharSpan(QStringView text, qsizetype index) const
    {
        return {Width(text.first(index)), m_metrics.horizontalAdvance(text[index])};
    }

private:
    int Walk(QStringView text, QPainter* painter, int originX, int baseline) const
    {
        int x = 0;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != u'\t') {
                continue;
            }
            const QString piece = text.sliced(start, i - start).toString();
            if (painter != nullptr && !piece.isEmpty()) {
                painter->drawText(QPoint(originX + x, baseline), piece);
            }
            x += m_metrics.horizontalAdvance(piece);
            if (i < text.size() && m_expandTabs) {
                x = (x / m_tabStop + 1) * m_tabStop;
            }
            start = i + 1;
        }
        return x;
    }

    QFontMetrics m_metrics;
    bool m_expandTabs;
    int m_tabStop;
};

// Splits text into lines: at line breaks unless single line, and at spaces
// to fit maxWidth when wrapping. A word wider than the line stands alone.
std::vector<Line> BreakLines(const TextMeasure& measure, const QString& text, bool singleLine, bool wrap, int maxWidth)
{
    std::vector<Line> lines;
    auto addLine = [&](qsizetype begin, qsizetype end) {
        Line line;
        line.begin = begin;
        line.end = end;
        line.width = measure.Width(QStringView(text).sliced(begin, end - begin));
        lines.push_back(line);
    };
    qsizetype paragraph = 0;
    while (paragraph <= text.size()) {
        qsizetype stop = text.size();
        qsizetype next = text.size() + 1;
        if (!singleLine) {
            for (qsizetype i = paragraph; i < text.size(); ++i) {
                if (text[i] == u'\r' || text[i] == u'\n') {
                    stop = i;
                    next = (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ? i + 2 : i + 1;
                    break;
                }
            }
        }
        if (!wrap || singleLine) {
            addLine(paragraph, stop);
        } else {
            qsizetype begin = paragraph;
            do {
                // Take words while they fit; always at least one.
                qsizetype end = begin;
                qsizetype fitted = -1;
                while (end < stop) {
                    qsizetype wordEnd = end;
                    while (wordEnd < stop && text[wordEnd] == u' ') {
                        ++wordEnd;
                    }
                    while (wordEnd < stop && text[wordEnd] != u' ') {
                        ++wordEnd;
                    }
                    const int width = measure.Width(QStringView(text).sliced(begin, wordEnd - begin));
                    if (fitted >= 0 && width > maxWidth) {
                        break;
                    }
                    fitted = wordEnd;
                    end = wordEnd;
                }
                addLine(begin, end);
                begin = end;
                while (begin < stop && text[begin] == u' ') {
                    ++begin;
                }
            } while (begin < stop);
        }
        paragraph = next;
    }
    return lines;
}

// Shortens a line with "..." at its end until it fits.
void Ellipsize(const TextMeasure& measure, const QString& text, Line& line, int maxWidth)
{
    line.shown = text.sliced(line.begin, line.end - line.begin);
    if (line.width <= maxWidth) {
        return;
    }
    static const QString dots = QStringLiteral("...");
    qsizetype keep = line.shown.size();
    while (keep > 0 && measure.Width(QString(line.shown.first(keep) + dots)) > maxWidth) {
        --keep;
    }
    line.shown = line.shown.first(keep) + dots;
    line.end = line.begin + keep;
    line.width = measure.Width(line.shown);
}

QString ToQString(const WCHAR* text, int count)
{
    if (count < 0) {
        count = 0;
        while (text[count] != 0) {
            ++count;
        }
    }
    return QString::fromUtf16(text, count);
}

void PreparePainter(QPainter& painter, DeviceContext& dc, const QFont& font)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(PixelFor(dc, dc.textColor)));
}

GdiObject* FontIn(DeviceContext& dc)
{
    GdiObject* font = SelectedObject(dc.font);
    return font != nullptr ? font : SelectedObject(GetStockObject(SYSTEM_FONT));
}

}  // namespace

const QFont& QtFont(GdiObject& font)
{
    if (!font.font) {
        font.font = BuildFont(font.logFont);
    }
    return *font.font;
}

}  // namespace platform::gdi

using namespace platform::gdi;

int DrawTextW(HDC dc, const WCHAR* text, int count, RECT* rect, UINT format)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || text == nullptr || rect == nullptr || count < -1) {
        return 0;
    }
    const QFont& font = QtFont(*FontIn(*context));
    const bool singleLine = format & DT_SINGLELINE;
    const PreparedText prepared = Prepare(ToQString(text, count), !(format & DT_NOPREFIX), singleLine);
    const TextMeasure measure(font, format & DT_EXPANDTABS);
    const int boxWidth = rect->right - rect->left;
    std::vector<Line> lines = BreakLines(measure, prepared.text, singleLine, format & DT_WORDBREAK, boxWidth);
    const int lineHeight = measure.Metrics().height();
    const int totalHeight = lineHeight * static_cast<int>(lines.size());
    for (Line& line : lines) {
        if (format & DT_END_ELLIPSIS) {
            Ellipsize(measure, prepared.text, line, boxWidth);
        } else {
            line.shown = prepared.text.sliced(line.begin, line.end - line.begin);
        }
    }

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const Line& line : lines) {
            widest = std::max(widest, line.width);
        }
        rect->right = rect->left + widest;
        rect->bottom = rect->top + totalHeight;
        return totalHeight;
    }

    QImage* image = TargetImage(*context);
    if (image == nullptr) {
        return 0;
    }
    // Vertical placement applies to a single line only, as on Windows.
    int y = rect->top;
    if (singleLine && (format & DT_BOTTOM)) {
        y = rect->bottom - lineHeight;
    } else if (singleLine && (format & DT_VCENTER)) {
        y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    }
    const int firstLineTop = y;

    QPainter painter(image);
    PreparePainter(painter, *context, font);
    if (!(format & DT_NOCLIP)) {
        painter.setClipRect(ToQRect(rect->left, rect->top, rect->right, rect->bottom));
    }
    const QRgb back = PixelFor(*context, context->bkColor);
    const QRgb ink = PixelFor(*context, context->textColor);
    const int ascent = measure.Metrics().ascent();
    for (const Line& line : lines) {
        int x = rect->left;
        if (format & DT_CENTER) {
            x = rect->left + (boxWidth - line.width) / 2;
        } else if (format & DT_RIGHT) {
            x = rect->right - line.width;
        }
        if (context->bkMode == OPAQUE) {
            painter.fillRect(QRect(x, y, line.width, lineHeight), QColor::fromRgb(back));
        }
        measure.Draw(painter, line.shown, x, y + ascent);
        for (qsizetype i = line.begin; i < line.end; ++i) {
            if (prepared.underline[static_cast<std::size_t>(i)]) {
                const auto [left, width] = measure.CharSpan(line.shown, i - line.begin);
                painter.fillRect(QRect(x + left, y + ascent + 1, std::max(1, width), 1), QColor::fromRgb(ink));
            }
        }
        y += lineHeight;
    }
    if (singleLine && (format & (DT_VCENTER | DT_BOTTOM))) {
        return firstLineTop - rect->top + lineHeight;
    }
    return totalHeight;
}

BOOL GetTextExtentPoint32W(HDC dc, const WCHAR* text, int count, SIZE* size)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || size == nullptr || count < 0 || (text == nullptr && count > 0)) {
        return FALSE;
    }
    const QFontMetrics metrics(QtFont(*FontIn(*context)));
    size->cx = count == 0 ? 0 : metrics.horizontalAdvance(QString::fromUtf16(text, count));
    size->cy = metrics.height();
    return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || metrics == nullptr) {
        return FALSE;
    }
    GdiObject* font = FontIn(*context);
    const QFont& qfont = QtFont(*font);
    const QFontMetrics measured(qfont);
    TEXTMETRICW out;
    out.tmHeight = measured.height();
    out.tmAscent = measured.ascent();
    out.tmDescent = measured.descent();
    out.tmInternalLeading = std::max(0, measured.height() - qfont.pixelSize());
    out.tmExternalLeading = std::max(0, measured.leading());
    out.tmAveCharWidth = measured.averageCharWidth();
    out.tmMaxCharWidth = measured.maxWidth();
    out.tmWeight = font->logFont.lfWeight <= 0 ? FW_NORMAL : font->logFont.lfWeight;
    out.tmItalic = font->logFont.lfItalic;
    out.tmUnderlined = font->logFont.lfUnderline;
    out.tmStruckOut = font->logFont.lfStrikeOut;
    out.tmCharSet = font->logFont.lfCharSet;
    *metrics = out;
    return TRUE;
}
