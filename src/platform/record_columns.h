#pragma once

#include "platform/grid_column.h"

#include <QDate>
#include <QStringList>
#include <QVector>

namespace gainbook {

// A cell whose typed text could not be read. The text stays on show as
// typed, and the record keeps its previous value, until the cell is typed
// again.
struct RefusedCell {
    int column = 0; // from 1, as the grid numbers columns
    QString text;
    QString message; // "Not a valid number: abc"
};

// What a grid knows of a row beside its record. The record says what is
// stored or is to be stored; the state says where the row stands, so no
// cell's text ever has to tell.
struct RowState {
    bool isNew = false;   // no record in the store yet: Save inserts it, Delete just drops it
    bool changed = false; // edited since the grid was filled or the row saved
    QString error;        // why the row was last refused; it is drawn red while set
    QVector<RefusedCell> refused;

    const RefusedCell* refusedCell(int column) const;
    void forgetRefused(int column);
};

template <class Record> struct RecordRow {
    Record record;
    RowState state;
};

// The value a heading click sorts a cell by: `number` in the columns that
// sort by value (amounts, quantities, dates as day numbers), `text` (case
// folded) in those that sortsByText().
struct SortKey {
    double number = 0;
    QString text;
};

inline SortKey sortByValue(double value) {
    return {value, {}};
}
// Unknown dates come first in ascending order.
inline SortKey sortByDate(const QDate& date) {
    return {date.isValid() ? double(date.toJulianDay()) : -1e300, {}};
}

// The per-record half of a grid of records: its columns and how one
// record's cells are shown, read back from typed text and sorted. It is a
// description without widgets, so a screen's model (RecordTableModel) and
// the CLI's CSV output show a record the same way. Columns are numbered
// from 1, as the grid numbers them.
template <class Record> class RecordColumns {
public:
    virtual ~RecordColumns() = default;

    virtual QVector<GridColumn> layout() const = 0;

    // The cell's text as the grid shows it.
    virtual QString text(const Record& record, int col) const = 0;

    // Reads a typed text into the record. Returns why it cannot be read
    // ("Not a valid number: abc"); the record is then left as it was.
    virtual QString parse(Record& record, int col, const QString& text) const = 0;

    // The default serves columns sorted by text; value columns override.
    virtual SortKey sortKey(const Record& record, int col) const {
        return {0, text(record, col).toCaseFolded()};
    }

    // Cells that differ from their column, e.g. a drop-down only on a new
    // row. The defaults keep the column's.
    virtual CellKind kind(const RecordRow<Record>&, int, CellKind columnKind) const {
        return columnKind;
    }
    virtual bool locked(const RecordRow<Record>&, int, bool columnLocked) const {
        return columnLocked;
    }
    virtual QStringList choices(const RecordRow<Record>&, int) const { return {}; }

    // A note on the whole row for the user's eye (a warning), shown as the
    // row's tooltip and in a colour of its own; empty for none.
    virtual QString rowNote(const Record&) const { return {}; }

    // A plain explanation of one cell, shown as its tooltip where the row
    // has no note; empty for none.
    virtual QString cellTip(const Record&, int) const { return {}; }
    // A word shown after a cell's text and never read back ("cost unknown"),
    // so a row's note is seen without its colour; empty for none.
    virtual QString cellMark(const Record&, int) const { return {}; }
};

// The text a cell shows: what was typed when it was refused, otherwise the
// record's value.
template <class Record>
QString cellText(const RecordColumns<Record>& columns, const RecordRow<Record>& row, int col) {
    if (const RefusedCell* refused = row.state.refusedCell(col))
        return refused->text;
    return columns.text(row.record, col);
}

// A user's edit of one cell: the row is marked changed and the text read
// into the record. A text that cannot be read is kept on show as typed, the
// row is refused (drawn red) and the reason returned; empty when read.
template <class Record>
QString editCell(const RecordColumns<Record>& columns, RecordRow<Record>& row, int col,
                 const QString& text) {
    row.state.changed = true;
    row.state.forgetRefused(col);
    const QString message = columns.parse(row.record, col, text);
    if (!message.isEmpty()) {
        row.state.refused.append({col, text, message});
        row.state.error = message;
    }
    return message;
}

// The order of rows sorted by their keys, as indexes into `keys`: stable, so
// rows that tie keep their order.
QVector<int> sortedOrder(const QVector<SortKey>& keys, bool byText, Qt::SortOrder order);

// The order of `count` records, recordAt(i) giving the i-th, sorted by one
// column: dates by date, numbers by value, text without regard to case.
template <class Record, class RecordAt>
QVector<int> sortedOrder(const RecordColumns<Record>& columns, int count, RecordAt recordAt,
                         int col, Qt::SortOrder order) {
    const QVector<GridColumn> layout = columns.layout();
    QVector<SortKey> keys;
    keys.reserve(count);
    for (int i = 0; i < count; ++i)
        keys.append(columns.sortKey(recordAt(i), col));
    return sortedOrder(keys, sortsByText(layout[col - 1].kind), order);
}

template <class Record>
void sortRecords(QVector<Record>& records, const RecordColumns<Record>& columns, int col,
                 Qt::SortOrder order) {
    const QVector<int> sorted = sortedOrder(
        columns, int(records.size()), [&](int i) -> const Record& { return records[i]; }, col,
        order);
    QVector<Record> result;
    result.reserve(records.size());
    for (int i : sorted)
        result.append(std::move(records[i]));
    records = std::move(result);
}

} // namespace gainbook
