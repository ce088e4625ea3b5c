#include "matching/txn_lookup.h"

#include "store/sql.h"
#include "store/txn_table.h"

namespace gainbook {

namespace {

const QString kSelectAll = QStringLiteral(
    "SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, Memo FROM Txn ");

} // namespace

TxnLookup::TxnLookup(const QSqlDatabase& db)
    : byId_(prepareQuery(db, kSelectAll + QStringLiteral("WHERE ID = ?"))) {}

std::optional<TxnRecord> TxnLookup::byId(qint64 id) {
    execQuery(byId_, {id});
    return first(byId_);
}

std::optional<TxnRecord> TxnLookup::first(QSqlQuery& query) {
    std::optional<TxnRecord> record;
    if (query.next())
        record = txnFromQuery(query);
    query.finish();
    return record;
}

} // namespace gainbook
