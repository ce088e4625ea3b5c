#include "store/transfer_choice_rows.h"

#include "platform/date_text.h"
#include "store/sql.h"

namespace gainbook {

namespace {

QVector<TransferCandidate> linkableRowsOf(const QSqlDatabase& db, const QString& sql,
                                          const QString& notAccount) {
    QSqlQuery query = runQuery(db, sql, {notAccount});
    QVector<TransferCandidate> rows;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toString(),
                     query.value(2).toString(), Quantity::fromDouble(query.value(3).toDouble()),
                     dateFromStored(query.value(4).toString())});
    return rows;
}

} // namespace

QVector<TransferCandidate> selectLinkableSends(const QSqlDatabase& db, const QString& notAccount) {
    return linkableRowsOf(
        db,
        QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, TxnDate FROM Txn "
                       "WHERE Type = 'Sent' AND AccountName <> ? AND ID NOT IN "
                       "(SELECT SendId FROM TransferLink WHERE Apart = 0) ORDER BY TxnDate, ID"),
        notAccount);
}

QVector<TransferCandidate> selectLinkableReceives(const QSqlDatabase& db,
                                                  const QString& notAccount) {
    return linkableRowsOf(
        db,
        QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, TxnDate FROM Txn "
                       "WHERE Type = 'Bought' AND AccountName <> ? "
                       "AND ID IN (SELECT BuyId FROM UnknownCost) AND ID NOT IN "
                       "(SELECT ReceiveId FROM TransferLink WHERE Apart = 0) "
                       "ORDER BY TxnDate, ID"),
        notAccount);
}

bool isUnknownCostBuy(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT 1 FROM UnknownCost WHERE BuyId = ?"), {id});
    return query.next();
}

} // namespace gainbook
