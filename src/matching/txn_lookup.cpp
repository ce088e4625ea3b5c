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
    r.accountName = texts_.of(byId_.textView(1));
    r.txnMonth = texts_.of(byId_.textView(2));
    r.symbol = texts_.of(byId_.textView(3));
    r.quantity = byId_.real(4);
    r.type = texts_.of(byId_.textView(5));
    r.txnDate = dateFromStored(byId_.text(6));
    r.amount = Money::fromDouble(byId_.real(7));
    r.memo = texts_.of(byId_.textView(8));
    // The ID is unique: the query ends here, ready for the next.
    while (byId_.next()) {
    }
    return r;
}

} // namespace gainbook
