#include "store/transaction.h"

#include "store/sql.h"

#include <QSqlError>

namespace gainbook {

Transaction::Transaction(QSqlDatabase db) : db_(std::move(db)) {
    if (!db_.transaction())
        throw StoreError(describeSqlError(db_.lastError()), db_.lastError());
    open_ = true;
}

Transaction::~Transaction() {
    if (open_)
        db_.rollback();
}

void Transaction::commit() {
    open_ = false;
    if (!db_.commit()) {
        const QSqlError error = db_.lastError();
        db_.rollback();
        throw StoreError(describeSqlError(error), error);
    }
}

} // namespace gainbook
