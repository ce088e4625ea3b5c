#include "capture/heading_fit.h"

#include "capture/page_document.h"

namespace gainbook {

namespace {

QString fitHeadingKey(const QString& text) {
    return text.simplified().toUpper();
}

} // namespace

HeadingColumns rowHeadings(const SheetDocument& sheet, int row) {
    HeadingColumns at;
    for (int col = 1; col <= sheet.columnCount(); ++col) {
        const QString key = fitHeadingKey(sheet.text(row, col));
        if (!key.isEmpty() && !at.contains(key))
            at.insert(key, col);
    }
    return at;
}

int headingColumn(const HeadingColumns& at, const QStringList& variants) {
    for (const QString& v : variants)
        if (const int col = at.value(fitHeadingKey(v)))
            return col;
    return 0;
}

std::optional<int> knownHeadings(const HeadingColumns& at, const HeadingLayout& layout) {
    int known = 0;
    for (const QStringList& column : layout.needed) {
        if (!headingColumn(at, column))
            return std::nullopt;
        ++known;
    }
    for (const QStringList& column : layout.mayHave)
        known += headingColumn(at, column) ? 1 : 0;
    return known;
}

int filledCells(const SheetDocument& sheet, int row) {
    int filled = 0;
    for (int col = 1; col <= sheet.columnCount(); ++col)
        filled += sheet.text(row, col).trimmed().isEmpty() ? 0 : 1;
    return filled;
}

std::optional<HeadingFit> fitHeadings(const SheetDocument& sheet,
                                      const QVector<HeadingLayout>& layouts) {
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        if (filledCells(sheet, row) < 3)
            continue;
        const HeadingColumns at = rowHeadings(sheet, row);
        std::optional<HeadingFit> best;
        for (int i = 0; i < layouts.size(); ++i) {
            if (!layouts[i].section.isEmpty() && sheet.text(row, 1).trimmed() != layouts[i].section)
                continue;
            const std::optional<int> known = knownHeadings(at, layouts[i]);
            if (known && (!best || *known > best->known))
                best = HeadingFit{i, row, *known};
        }
        if (best)
            return best;
    }
    return std::nullopt;
}

} // namespace gainbook
