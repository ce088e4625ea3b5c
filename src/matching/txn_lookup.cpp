#include "matching/txn_lookup.h"

namespace gainbook {

TxnLookup::TxnLookup(const QSqlDatabase& db)
    : byId_(db, txnSelectAll() + QStringLiteral("WHERE ID = ?")) {}

std::optional<TxnRecord> TxnLookup::byId(qint64 id) {
    byId_.select(id);
    if (!byId_.next())
        return std::nullopt;
    TxnRecord r;
    reader_.fill(r, byId_);
    // The ID is unique: the query ends here, ready for the next.
    while (byId_.next()) {
    }
    return r;
}

} // namespace gainbook
