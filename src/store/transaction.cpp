#include "store/transaction.h"

#include "store/fast_statement.h"
#include "store/sql.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace gainbook {

namespace {

// Runs a statement of the transaction itself; false with the engine's error
// (its code included, which the driver's own transaction calls drop).
bool control(const QSqlDatabase& db, const QString& sql, QSqlError* error = nullptr) {
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    if (error)
        *error = query.lastError();
    return false;
}

} // namespace

Transaction::Transaction(QSqlDatabase db) : db_(std::move(db)) {
    // The write lock is taken at the start: a second writer waits here (up
    // to the busy timeout) before it reads anything, instead of reading a
    // state the first writer is about to change and failing on its writes.
    QSqlError error;
    if (!control(db_, QStringLiteral("BEGIN IMMEDIATE"), &error))
        throw StoreError(describeSqlError(error), error);
    open_ = true;
}

Transaction::~Transaction() {
    if (open_)
        control(db_, QStringLiteral("ROLLBACK"));
}

void Transaction::commit() {
    open_ = false;
    QSqlError error;
    if (!control(db_, QStringLiteral("COMMIT"), &error)) {
        control(db_, QStringLiteral("ROLLBACK"));
        throw StoreError(describeSqlError(error), error);
    }
}

bool Transaction::holds() const {
    if (!open_)
        return false;
    sqlite3* engine = engineHandle(db_);
    return engine && sqlite3_get_autocommit(engine) == 0;
}

} // namespace gainbook
