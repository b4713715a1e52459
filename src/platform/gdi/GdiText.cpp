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
    TextMeasure(const FontCell& cell, bool expandTabs)
        : m_cell(cell), m_metrics(cell.font), m_expandTabs(expandTabs),
          m_tabStop(std::max(1, 8 * m_metrics.averageCharWidth()))
    {
    }

    const FontCell& Cell() const { return m_cell; }

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
                if (m_cell.overstrike) {
                    painter->drawText(QPoint(originX + x + 1, baseline), piece);
                }
            }
            x += m_metrics.horizontalAdvance(piece);
            if (i < text.size() && m_expandTabs) {
                x = (x / m_tabStop + 1) * m_tabStop;
            }
            start = i + 1;
        }
        return text.isEmpty() ? x : x + m_cell.Overhang();
    }

    const FontCell& m_cell;
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

const FontCell& CellOf(GdiObject& font)
{
    if (!font.font) {
        font.font = BuildFontCell(font.logFont);
    }
    return *font.font;
}

const QFont& QtFont(GdiObject& font)
{
    return CellOf(font).font;
}

}  // namespace platform::gdi

using namespace platform::gdi;

int DrawTextW(HDC dc, const WCHAR* text, int count, RECT* rect, UINT format)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || text == nullptr || rect == nullptr || count < -1) {
        return 0;
    }
    const FontCell& cell = CellOf(*FontIn(*context));
    const QFont& font = cell.font;
    const bool singleLine = format & DT_SINGLELINE;
    const PreparedText prepared = Prepare(ToQString(text, count), !(format & DT_NOPREFIX), singleLine);
    const TextMeasure measure(cell, format & DT_EXPANDTABS);
    const int boxWidth = rect->right - rect->left;
    std::vector<Line> lines = BreakLines(measure, prepared.text, singleLine, format & DT_WORDBREAK, boxWidth);
    const int lineHeight = cell.Height();
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
    const int ascent = cell.ascent;
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
    const FontCell& cell = CellOf(*FontIn(*context));
    const QFontMetrics metrics(cell.font);
    size->cx = count == 0 ? 0 : metrics.horizontalAdvance(QString::fromUtf16(text, count)) + cell.Overhang();
    size->cy = cell.Height();
    return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics)
{
    DeviceContext* context = FindContext(dc);
    if (context == nullptr || metrics == nullptr) {
        return FALSE;
    }
    GdiObject* font = FontIn(*context);
    const FontCell& cell = CellOf(*font);
    const QFontMetrics measured(cell.font);
    TEXTMETRICW out;
    out.tmHeight = cell.Height();
    out.tmAscent = cell.ascent;
    out.tmDescent = cell.descent;
    out.tmInternalLeading = std::max(0, cell.Height() - cell.emHeight);
    out.tmOverhang = cell.Overhang();
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
