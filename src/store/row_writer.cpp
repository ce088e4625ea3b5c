#include "store/row_writer.h"

#include "store/store_error.h"
#include "store/transaction.h"

namespace gainbook {

WrittenRows writeIndexedRows(const QSqlDatabase& db, qsizetype rowCount,
                             const std::function<void(qsizetype row)>& writeRow) {
    WrittenRows result;
    try {
        Transaction transaction(db);
        for (qsizetype row = 0; row < rowCount; ++row) {
            try {
                writeRow(row);
            } catch (const StoreError& error) {
                result.refusedRow = row;
                result.failure = error.message();
                break;
            }
            ++result.count;
        }
        transaction.commit();
    } catch (const StoreError& error) {
        result = WrittenRows();
        result.failure = error.message();
    }
    return result;
}

} // namespace gainbook
