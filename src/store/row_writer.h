#pragma once

#include "platform/progress.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

namespace gainbook {

// How writing a batch of rows ended.
struct WrittenRows {
    qint64 count = 0;          // rows written and committed
    qsizetype refusedRow = -1; // the row the database refused, or -1
    QString failure;           // why the writing stopped; empty when every row went in
    // When the file itself failed (full, in use, read-only, damaged): its
    // message, naming the file. Nothing is kept then.
    QString fileFailure;

    bool complete() const { return failure.isEmpty(); }
};

// Writes rows 0 to rowCount - 1 with writeRow, which throws StoreError when
// the database refuses a row, all in one transaction. The first refused row
// ends the writing; the rows before it are committed, so a batch that breaks
// off keeps what it wrote. A transaction that cannot begin or commit, or a
// failure of the file itself, keeps nothing (count 0, refusedRow -1). The
// first failure is the one reported, never the failed commit after it.
// Each row is a step of progress; a watcher's stop throws RunCancelled out
// of here with every row rolled back, the ones before included. When the
// rows all go to one table, naming it lets a large batch build the table's
// indexes after the rows (BulkIndexes).
WrittenRows writeIndexedRows(const QSqlDatabase& db, qsizetype rowCount,
                             const std::function<void(qsizetype row)>& writeRow,
                             Progress& progress = unwatchedProgress(), const QString& table = {});

// The same over a container of rows, each handed to write.
template <typename Rows, typename Write>
WrittenRows writeRows(const QSqlDatabase& db, const Rows& rows, Write&& write,
                      Progress& progress = unwatchedProgress(), const QString& table = {}) {
    return writeIndexedRows(
        db, qsizetype(rows.size()), [&](qsizetype row) { write(rows[row]); }, progress, table);
}

} // namespace gainbook
