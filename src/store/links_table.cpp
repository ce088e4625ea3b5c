#include "store/links_table.h"

#include "store/schema.h"
#include "store/sql.h"

namespace gainbook {

SellLink linkFromQuery(const QSqlQuery& query) {
    SellLink r;
    r.accountName = query.value(LinkCol::AccountName).toString();
    r.sellId = query.value(LinkCol::SellId).toLongLong();
    r.buyId = query.value(LinkCol::BuyId).toLongLong();
    r.buyQuantity = query.value(LinkCol::BuyQuantity).toDouble();
    r.buyPrice = query.value(LinkCol::BuyPrice).toDouble();
    r.memo = query.value(LinkCol::Memo).toString();
    return r;
}

void deleteLinksOfAccount(const QSqlDatabase& db, const QString& account) {
    runQuery(db, QStringLiteral("DELETE FROM SellLinks WHERE AccountName = ?"), {account});
}

} // namespace gainbook
