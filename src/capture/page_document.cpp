#include "capture/page_document.h"

namespace gainbook {

namespace {

const SheetCell& emptyCell() {
    static const SheetCell empty;
    return empty;
}

} // namespace

const SheetCell& SheetDocument::cell(int row, int col) const {
    if (row < 1 || col < 1)
        return emptyCell();
    const auto found = cells_.constFind(key(row, col));
    return found == cells_.cend() ? emptyCell() : *found;
}

QString SheetDocument::text(int row, int col) const {
    return cell(row, col).text;
}

double SheetDocument::number(int row, int col) const {
    const SheetCell& c = cell(row, col);
    return c.number.value_or(0.0);
}

void SheetDocument::setCell(int row, int col, SheetCell cell) {
    if (row < 1 || col < 1)
        return;
    cells_.insert(key(row, col), std::move(cell));
    rows_ = std::max(rows_, row);
    columns_ = std::max(columns_, col);
}

QString PageDocument::documentType() const {
    return isSheet() ? QStringLiteral("Microsoft Excel Worksheet")
                     : QStringLiteral("HTML Document");
}

} // namespace gainbook
