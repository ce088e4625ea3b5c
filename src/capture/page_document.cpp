#include "capture/page_document.h"

namespace gainbook {

namespace {

const SheetCell& emptyCell() {
    static const SheetCell empty;
    return empty;
}

} // namespace

const SheetCell& SheetDocument::cell(int row, int col) const {
    if (row < 1 || row > rowCount() || col < 1 || col > rows_[row - 1].size())
        return emptyCell();
    return rows_[row - 1][col - 1];
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
    if (rows_.size() < row)
        rows_.resize(row);
    QVector<SheetCell>& r = rows_[row - 1];
    if (r.size() < col)
        r.resize(col);
    r[col - 1] = std::move(cell);
    columns_ = std::max(columns_, col);
}

QString PageDocument::documentType() const {
    return isSheet() ? QStringLiteral("Microsoft Excel Worksheet")
                     : QStringLiteral("HTML Document");
}

} // namespace gainbook
