#include "report/pdf/pdf_printer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>

#include <mutex>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace gainbook {

namespace {

using Kind = PrintLine::Kind;

constexpr int kResolution = 300; // dots per inch of the page layout
constexpr qreal kMarginMm = 12;
constexpr qreal kRowPoints = 7; // the size of the tables' font

struct Style {
    QFont font;
    qreal ascent = 0;
    qreal height = 0;
};

Style style(const QFont& font, QPaintDevice* device, qreal spacing = 1.0) {
    const QFontMetricsF metrics(font, device);
    return {font, metrics.ascent(), metrics.lineSpacing() * spacing};
}

// Walks the lines down the pages. Table rows, which are most of a long
// report, are gathered into one run of glyphs per page, placed by column
// without their padding: a text item per row, with its spaces, and each
// row's text shaping, made a large report take many times longer.
class PagePrinter {
public:
    PagePrinter(QPdfWriter& writer, QPainter& painter) : writer_(writer), painter_(painter) {
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setStyleHint(QFont::Monospace);
        mono.setPointSizeF(kRowPoints);
        QFont monoBold = mono;
        monoBold.setBold(true);
        QFont text;
        text.setPointSizeF(9);
        QFont heading = text;
        heading.setPointSizeF(11);
        heading.setBold(true);
        QFont title = text;
        title.setPointSizeF(15);
        title.setBold(true);
        row_ = style(mono, &writer);
        bold_ = style(monoBold, &writer);
        text_ = style(text, &writer, 1.2);
        heading_ = style(heading, &writer, 1.4);
        title_ = style(title, &writer, 1.5);
        width_ = writer.width();
        bottom_ = writer.height() - text_.height; // the foot line below
        rowFont_ = QRawFont::fromFont(mono);
        rowFont_.setPixelSize(kRowPoints * writer.resolution() / 72.0);
        const QVector<quint32> zero = rowFont_.glyphIndexesForString(QStringLiteral("0"));
        advance_ = zero.isEmpty() ? 0 : rowFont_.advancesForGlyphIndexes(zero).value(0).x();
        rowAscent_ = rowFont_.ascent();
    }

    void print(const PrintLine& line) {
        switch (line.kind) {
        case Kind::Title:
            columns_.clear();
            put(title_, line.text, 0);
            break;
        case Kind::Heading:
            columns_.clear();
            // A caption stays with the start of its table.
            put(heading_, line.text, bold_.height + 2 * row_.height);
            break;
        case Kind::Text:
            columns_.clear();
            put(text_, line.text, 0);
            break;
        case Kind::Gap:
            columns_.clear();
            y_ += row_.height;
            break;
        case Kind::Columns:
            putColumns(line.text);
            break;
        case Kind::Row:
            continueTable(row_.height);
            gather(line.text);
            break;
        case Kind::Account:
            // A name at the foot of a page goes with its first line.
            continueTable(bold_.height + row_.height);
            draw(bold_, line.text);
            break;
        case Kind::Total:
            continueTable(bold_.height);
            rule(y_ + bold_.height * 0.1);
            draw(bold_, line.text);
            break;
        }
    }

    void finish() {
        flushRows();
        foot();
    }

private:
    void put(const Style& s, const QString& text, qreal keepWith) {
        if (y_ > 0 && y_ + s.height + keepWith > bottom_)
            newPage();
        draw(s, text);
    }

    void putColumns(const QString& text) {
        if (y_ + bold_.height + row_.height > bottom_)
            newPage();
        columns_ = text;
        draw(bold_, text);
        rule(y_);
    }

    // A row that does not fit starts a page headed by its table's columns.
    void continueTable(qreal height) {
        if (y_ + height <= bottom_)
            return;
        newPage();
        if (!columns_.isEmpty()) {
            draw(bold_, columns_);
            rule(y_);
        }
    }

    // A row's glyphs at their column, its padding left out.
    void gather(const QString& text) {
        if (advance_ <= 0) { // no raw font to be had: the slow way
            draw(row_, text);
            return;
        }
        const QVector<quint32> glyphs = rowFont_.glyphIndexesForString(text);
        const qreal baseline = y_ + rowAscent_;
        for (qsizetype i = 0; i < glyphs.size() && i < text.size(); ++i) {
            if (text[i] == u' ')
                continue;
            glyphs_.append(glyphs[i]);
            positions_.append(QPointF(qreal(i) * advance_, baseline));
        }
        y_ += row_.height;
    }

    void flushRows() {
        if (glyphs_.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(rowFont_);
        run.setGlyphIndexes(glyphs_);
        run.setPositions(positions_);
        painter_.drawGlyphRun(QPointF(0, 0), run);
        glyphs_.clear();
        positions_.clear();
    }

    void draw(const Style& s, const QString& text) {
        flushRows();
        if (!text.isEmpty()) {
            if (painter_.font() != s.font)
                painter_.setFont(s.font);
            painter_.drawText(QPointF(0, y_ + s.ascent), text);
        }
        y_ += s.height;
    }

    void rule(qreal y) {
        flushRows();
        painter_.drawLine(QPointF(0, y), QPointF(width_, y));
    }

    void foot() {
        painter_.setFont(text_.font);
        painter_.drawText(QRectF(0, bottom_, width_, text_.height),
                          Qt::AlignRight | Qt::AlignBottom, QStringLiteral("Page %1").arg(page_));
    }

    void newPage() {
        flushRows();
        foot();
        writer_.newPage();
        ++page_;
        y_ = 0;
    }

    QPdfWriter& writer_;
    QPainter& painter_;
    Style row_, bold_, text_, heading_, title_;
    qreal width_ = 0;
    qreal bottom_ = 0;
    qreal y_ = 0;
    int page_ = 1;
    QString columns_; // the headings of the table being printed
    QRawFont rowFont_;
    qreal advance_ = 0; // of every glyph of the monospaced font
    qreal rowAscent_ = 0;
    QVector<quint32> glyphs_; // the rows of the page not drawn yet
    QVector<QPointF> positions_;
};

// The PDF engine takes a buffer of several megabytes for each page it
// finishes. By default the C library hands such a block back to the system
// when it is freed and takes it anew for the next page, page faults
// included, which doubled the time of a long report. Freed blocks of that
// size are kept for reuse instead.
void keepLargeBuffers() {
#ifdef __GLIBC__
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    });
#endif
}

} // namespace

QString printPdf(const QVector<PrintLine>& lines, const QString& path, Progress& progress) {
    keepLargeBuffers();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Gainbook"));
        writer.setTitle(QStringLiteral("Tax report"));
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("the PDF could not be started");
        QPen pen(Qt::black);
        pen.setWidthF(kResolution / 144.0); // half a point
        painter.setPen(pen);
        PagePrinter pages(writer, painter);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            progress.step(i, lines.size());
            pages.print(lines[i]);
        }
        pages.finish();
        painter.end(); // finishes the file's content
        // The last chance to stop: the file is not in place until committed.
        progress.step(lines.size(), lines.size());
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace gainbook
