#include "capture/page_document.h"

#include <algorithm>

namespace gainbook {

namespace {

const SheetCell& emptyCell() {
    static const SheetCell empty;
    return empty;
}

// Where a key is, or would go, in an ascending list: the guess first (the
// place it has when the list runs on without gaps), then a binary search.
template <typename List, typename Key>
qsizetype positionOf(const List& list, qsizetype guess, int key, Key keyOf) {
    if (guess >= 0 && guess < list.size() && keyOf(list[guess]) == key)
        return guess;
    const auto at = std::lower_bound(list.begin(), list.end(), key,
                                     [&](const auto& item, int k) { return keyOf(item) < k; });
    return at - list.begin();
}

} // namespace

const SheetDocument::Row* SheetDocument::findRow(int row) const {
    if (rows_.isEmpty())
        return nullptr;
    const qsizetype at =
        positionOf(rows_, row - rows_.front().number, row, [](const Row& r) { return r.number; });
    return at < rows_.size() && rows_[at].number == row ? &rows_[at] : nullptr;
}

const SheetCell& SheetDocument::cell(int row, int col) const {
    const Row* r = findRow(row);
    if (!r || r->cells.isEmpty())
        return emptyCell();
    const auto columnOf = [](const Entry& e) { return e.column; };
    const qsizetype at = positionOf(r->cells, col - r->cells.front().column, col, columnOf);
    return at < r->cells.size() && r->cells[at].column == col ? r->cells[at].cell : emptyCell();
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
    // Readers fill a sheet row by row, left to right: then every cell goes
    // at the end. Other orders insert in place.
    qsizetype rowAt = rows_.size();
    if (!rows_.isEmpty() && rows_.back().number >= row)
        rowAt = positionOf(rows_, -1, row, [](const Row& r) { return r.number; });
    if (rowAt == rows_.size() || rows_[rowAt].number != row) {
        Row added{row, {}};
        // Rows of a sheet mostly hold as many cells as the one above: one
        // allocation per row instead of one per doubling.
        if (rowAt > 0)
            added.cells.reserve(rows_[rowAt - 1].cells.size());
        rows_.insert(rowAt, std::move(added));
    }
    QVector<Entry>& cells = rows_[rowAt].cells;
    qsizetype colAt = cells.size();
    if (!cells.isEmpty() && cells.back().column >= col)
        colAt = positionOf(cells, -1, col, [](const Entry& e) { return e.column; });
    if (colAt < cells.size() && cells[colAt].column == col) {
        cells[colAt].cell = std::move(cell);
    } else {
        cells.insert(colAt, Entry{col, std::move(cell)});
        ++cellCount_;
    }
    rowCount_ = std::max(rowCount_, row);
    columnCount_ = std::max(columnCount_, col);
}

QString PageDocument::documentType() const {
    return isSheet() ? QStringLiteral("Microsoft Excel Worksheet")
                     : QStringLiteral("HTML Document");
}

} // namespace gainbook
