#include "capture/page_document.h"

#include <algorithm>
#include <span>

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
    if (guess >= 0 && guess < qsizetype(list.size()) && keyOf(list[guess]) == key)
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

qsizetype SheetDocument::endOf(const Row& row) const {
    const qsizetype next = &row - rows_.constData() + 1;
    return next < rows_.size() ? rows_[next].first : places_.size();
}

const SheetCell& SheetDocument::cell(int row, int col) const {
    const Row* r = findRow(row);
    if (!r)
        return emptyCell();
    const qsizetype first = r->first;
    const qsizetype end = endOf(*r);
    if (first == end)
        return emptyCell();
    const std::span<const Place> places(places_.constData() + first, end - first);
    const auto columnOf = [](const Place& p) { return p.column; };
    const qsizetype at = positionOf(places, col - places.front().column, col, columnOf);
    if (at >= qsizetype(places.size()) || places[at].column != col)
        return emptyCell();
    const qint32 stored = places[at].cell;
    return cells_[stored >= 0 ? stored : -1 - stored];
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
    cells_.append(std::move(cell));
    place(row, col, qint32(cells_.size() - 1), false);
}

qint32 SheetDocument::addSharedCell(SheetCell cell) {
    cells_.append(std::move(cell));
    return qint32(cells_.size() - 1);
}

void SheetDocument::setSharedCell(int row, int col, qint32 shared) {
    if (row < 1 || col < 1 || shared < 0 || shared >= cells_.size())
        return;
    place(row, col, shared, true);
}

void SheetDocument::place(int row, int col, qint32 cell, bool shared) {
    const Place added{col, shared ? -1 - cell : cell};
    rowCount_ = std::max(rowCount_, row);
    columnCount_ = std::max(columnCount_, col);
    // Readers fill a sheet row by row, left to right: then every cell goes
    // at the end. Other orders insert in place and move the places after.
    if (rows_.isEmpty() || rows_.back().number < row) {
        rows_.append(Row{row, places_.size()});
        places_.append(added);
        return;
    }
    if (rows_.back().number == row &&
        (rows_.back().first == places_.size() || places_.back().column < col)) {
        places_.append(added);
        return;
    }
    qsizetype rowAt = rows_.size() - 1;
    if (rows_[rowAt].number != row)
        rowAt = positionOf(rows_, -1, row, [](const Row& r) { return r.number; });
    if (rows_[rowAt].number != row)
        rows_.insert(rowAt, Row{row, rows_[rowAt].first});
    const qsizetype first = rows_[rowAt].first;
    const qsizetype end = endOf(rows_[rowAt]);
    qsizetype at = end;
    if (first < end && places_[end - 1].column >= col) {
        const auto* begin = places_.constData();
        at = std::lower_bound(begin + first, begin + end, col,
                              [](const Place& p, int c) { return p.column < c; }) -
             begin;
    }
    if (at < end && places_[at].column == col) {
        Place& existing = places_[at];
        // A cell of its own is overwritten; a shared one stays for its
        // other places.
        if (existing.cell >= 0 && !shared) {
            cells_[existing.cell] = std::move(cells_[cell]);
            cells_.removeLast();
        } else {
            existing = added;
        }
        return;
    }
    places_.insert(at, added);
    for (qsizetype next = rowAt + 1; next < rows_.size(); ++next)
        ++rows_[next].first;
}

QString PageDocument::documentType() const {
    return isSheet() ? QStringLiteral("Microsoft Excel Worksheet")
                     : QStringLiteral("HTML Document");
}

} // namespace gainbook
