#pragma once

#include "platform/progress.h"
#include "store/store_error.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

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
// indexes after the rows (BulkIndexes). beforeCommit, when given, is the
// last write of the transaction, told how many rows are in: what it throws
// keeps nothing, as a failure of the file does.
using BeforeCommit = std::function<void(qint64 written)>;
WrittenRows writeIndexedRows(const QSqlDatabase& db, qsizetype rowCount,
                             const std::function<void(qsizetype row)>& writeRow,
                             Progress& progress = unwatchedProgress(), const QString& table = {},
                             const BeforeCommit& beforeCommit = {});

// The same over a container of rows, each handed to write.
template <typename Rows, typename Write>
WrittenRows writeRows(const QSqlDatabase& db, const Rows& rows, Write&& write,
                      Progress& progress = unwatchedProgress(), const QString& table = {}) {
    return writeIndexedRows(
        db, qsizetype(rows.size()), [&](qsizetype row) { write(rows[row]); }, progress, table);
}

// Whether a batch statement failed on a row of it rather than on the file or
// the transaction, so that its rows are worth writing one by one.
bool refusedARow(const StoreError& error, bool inTransaction);

// The same as writeRows, with a writer (made by Writer(db) inside the
// transaction, so that a file that cannot be written fails as the batch
// does) that writes Writer::kBatchRows records in one statement through
// insertBatch and one through insert, and says through inTransaction()
// whether the transaction still holds. A batch saves the engine's work of a
// statement on every row but one. A batch the database refuses leaves no
// row of it, and its rows are then written one by one, so the refused row
// itself ends the writing with the rows before it kept.
template <typename Writer, typename Record>
WrittenRows writeBatchedRows(const QSqlDatabase& db, const QVector<Record>& records,
                             Progress& progress, const QString& table,
                             const BeforeCommit& beforeCommit = {}) {
    std::optional<Writer> writer;
    qsizetype writtenTo = 0; // rows before it are in
    qsizetype singleTo = 0;  // rows before it go in one by one
    const qsizetype size = records.size();
    return writeIndexedRows(
        db, size,
        [&](qsizetype row) {
            if (!writer)
                writer.emplace(db);
            if (row < writtenTo)
                return;
            if (row >= singleTo && size - row >= Writer::kBatchRows) {
                try {
                    writer->insertBatch(records.constData() + row);
                    writtenTo = row + Writer::kBatchRows;
                    return;
                } catch (const StoreError& error) {
                    if (!refusedARow(error, writer->inTransaction()))
                        throw;
                    singleTo = row + Writer::kBatchRows;
                }
            }
            writer->insert(records[row]);
        },
        progress, table, beforeCommit);
}

} // namespace gainbook
