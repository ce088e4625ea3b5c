#include "matching/open_quantity.h"

#include "platform/number_text.h"
#include "store/sql.h"
#include "store/txn_table.h"

namespace gainbook {

Quantity openQuantityOf(QStringView memo) {
    return Quantity::fromDouble(numberFromText(memo));
}

void setOpenQuantity(const QSqlDatabase& db, qint64 txnId, Quantity quantity) {
    setTxnMemos(db, {{txnId, openQuantityText(quantity)}});
}

bool addToOpenQuantity(const QSqlDatabase& db, qint64 txnId, Quantity delta) {
    QSqlQuery select = runQuery(db, QStringLiteral("SELECT Memo FROM Txn WHERE ID = ?"), {txnId});
    if (!select.next())
        return false;
    const Quantity open = openQuantityOf(select.value(0).toString());
    select.finish();
    setTxnMemos(db, {{txnId, openQuantityText(open + delta)}});
    return true;
}

} // namespace gainbook
