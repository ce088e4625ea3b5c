#include "matching/open_quantity.h"

#include "platform/number_text.h"
#include "store/sql.h"
#include "store/txn_table.h"

#include <cmath>

namespace gainbook {

double roundQuantity(double quantity) {
    return std::round(quantity * 1e6) / 1e6;
}

QString openQuantityText(double quantity) {
    return numberToText(roundQuantity(quantity));
}

void setOpenQuantity(const QSqlDatabase& db, qint64 txnId, double quantity) {
    setTxnMemos(db, {{txnId, openQuantityText(quantity)}});
}

bool addToOpenQuantity(const QSqlDatabase& db, qint64 txnId, double delta) {
    QSqlQuery select = runQuery(db, QStringLiteral("SELECT Memo FROM Txn WHERE ID = ?"), {txnId});
    if (!select.next())
        return false;
    const double open = numberFromText(select.value(0).toString());
    select.finish();
    setTxnMemos(db, {{txnId, openQuantityText(open + delta)}});
    return true;
}

} // namespace gainbook
