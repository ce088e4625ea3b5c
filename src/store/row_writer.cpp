#include "store/row_writer.h"

#include "store/bulk_indexes.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/transaction.h"

#include <optional>

namespace gainbook {

bool refusedARow(const StoreError& error, bool inTransaction) {
    // A failure of the file keeps nothing anyway.
    return storeFault(error.sqlError()) == StoreFault::None && inTransaction;
}

WrittenRows writeIndexedRows(const QSqlDatabase& db, qsizetype rowCount,
                             const std::function<void(qsizetype row)>& writeRow, Progress& progress,
                             const QString& table, const BeforeCommit& beforeCommit) {
    WrittenRows result;
    // The engine may end the transaction on its own after a failure of the
    // file (a full disk): the commit that follows would only add "cannot
    // commit - no transaction is active". The first failure is kept.
    std::optional<StoreError> first;
    try {
        Transaction transaction(db);
        BulkIndexes indexes(db, table, rowCount);
        for (qsizetype row = 0; row < rowCount; ++row) {
            progress.step(row, rowCount);
            try {
                writeRow(row);
            } catch (const StoreError& error) {
                first = error;
                result.refusedRow = row;
                break;
            }
            ++result.count;
        }
        // The last word before the commit: a stop here still keeps nothing.
        if (!first)
            progress.step(rowCount, rowCount);
        if (!first || storeFault(first->sqlError()) == StoreFault::None) {
            indexes.rebuild();
            if (beforeCommit)
                beforeCommit(result.count);
            transaction.commit();
        }
    } catch (const StoreError& error) {
        if (!first)
            first = error;
        result.refusedRow = -1;
    }
    if (!first)
        return result;
    result.failure = first->message();
    result.fileFailure = storeFaultMessage(db, first->sqlError());
    if (!result.fileFailure.isEmpty() || result.refusedRow < 0) {
        // Rolled back: the file failed, or the transaction never held.
        result.count = 0;
        result.refusedRow = -1;
    }
    return result;
}

} // namespace gainbook
