#include "matching/txn_lookup.h"

#include "platform/date_text.h"

namespace gainbook {

namespace {

const QString kSelectAll = QStringLiteral(
    "SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, Memo FROM Txn ");

} // namespace

TxnLookup::TxnLookup(const QSqlDatabase& db)
    : byId_(db, kSelectAll + QStringLiteral("WHERE ID = ?")) {}

std::optional<TxnRecord> TxnLookup::byId(qint64 id) {
    byId_.select(id);
    if (!byId_.next())
        return std::nullopt;
    TxnRecord r;
    r.id = byId_.integer(0);
    r.accountName = byId_.text(1);
    r.txnMonth = byId_.text(2);
    r.symbol = byId_.text(3);
    r.quantity = byId_.real(4);
    r.type = byId_.text(5);
    r.txnDate = dateFromStored(byId_.text(6));
    r.amount = Money::fromDouble(byId_.real(7));
    r.memo = byId_.text(8);
    // The ID is unique: the query ends here, ready for the next.
    while (byId_.next()) {
    }
    return r;
}

} // namespace gainbook
