#include "store/unknown_cost_table.h"

#include "store/sql.h"

namespace gainbook {

QStringList unknownCostTable() {
    return {
        QStringLiteral("CREATE TABLE UnknownCost (BuyId INTEGER NOT NULL PRIMARY KEY)"),
        QStringLiteral("CREATE TRIGGER UnknownCostDeleted AFTER DELETE ON Txn "
                       "BEGIN DELETE FROM UnknownCost WHERE BuyId = old.ID; END"),
        // A cost entered is the cost, even one of 0 (shares received as a
        // gift of no basis are rare, but typed on purpose).
        QStringLiteral("CREATE TRIGGER UnknownCostEntered AFTER UPDATE OF Amount ON Txn "
                       "WHEN new.Amount IS NOT old.Amount "
                       "BEGIN DELETE FROM UnknownCost WHERE BuyId = old.ID; END"),
    };
}

void markUnknownCost(const QSqlDatabase& db, const QVector<qint64>& buyIds) {
    for (const qint64 id : buyIds)
        runQuery(db, QStringLiteral("INSERT OR IGNORE INTO UnknownCost (BuyId) VALUES (?)"), {id});
}

QSet<qint64> selectUnknownCostBuys(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT BuyId FROM UnknownCost"));
    QSet<qint64> ids;
    while (query.next())
        ids.insert(query.value(0).toLongLong());
    return ids;
}

bool isUnknownCostBuy(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT 1 FROM UnknownCost WHERE BuyId = ?"), {id});
    return query.next();
}

} // namespace gainbook
