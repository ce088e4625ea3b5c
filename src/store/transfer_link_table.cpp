#include "store/transfer_link_table.h"

#include "platform/date_text.h"
#include "store/records.h"
#include "store/sql.h"

#include <QSet>

namespace gainbook {

QStringList transferLinkTable() {
    return {
        QStringLiteral("CREATE TABLE TransferLink ("
                       "SendId INTEGER NOT NULL PRIMARY KEY, "
                       "ReceiveId INTEGER NOT NULL UNIQUE, "
                       "ByHand INTEGER NOT NULL DEFAULT 0, "
                       // 1: the user took the pair apart; kept so that the
                       // search does not link them again.
                       "Apart INTEGER NOT NULL DEFAULT 0)"),
        // A link to a row that is gone would move lots that never left.
        QStringLiteral("CREATE TRIGGER TransferLinkDeleted AFTER DELETE ON Txn "
                       "BEGIN DELETE FROM TransferLink WHERE SendId = old.ID "
                       "OR ReceiveId = old.ID; END"),
    };
}

void insertTransferLink(const QSqlDatabase& db, qint64 sendId, qint64 receiveId, bool byHand) {
    runQuery(
        db, QStringLiteral("INSERT INTO TransferLink (SendId, ReceiveId, ByHand) VALUES (?, ?, ?)"),
        {sendId, receiveId, byHand ? 1 : 0});
}

namespace {

const QString kSelectTransferLinks =
    QStringLiteral("SELECT k.SendId, k.ReceiveId, k.ByHand, s.AccountName, r.AccountName "
                   "FROM TransferLink k JOIN Txn s ON s.ID = k.SendId "
                   "JOIN Txn r ON r.ID = k.ReceiveId WHERE k.Apart = 0 ");

TransferLink transferLinkFrom(const QSqlQuery& query) {
    return {query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toInt() != 0,
            query.value(3).toString(), query.value(4).toString()};
}

QVector<TransferCandidate> transferCandidates(const QSqlDatabase& db, const QString& sql,
                                              std::initializer_list<QVariant> values = {}) {
    QSqlQuery query = runQuery(db, sql, values);
    QVector<TransferCandidate> rows;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toString(),
                     query.value(2).toString(), Quantity::fromDouble(query.value(3).toDouble()),
                     dateFromStored(query.value(4).toString())});
    return rows;
}

} // namespace

std::optional<TransferLink> selectTransferLinkOf(const QSqlDatabase& db, qint64 txnId) {
    QSqlQuery query =
        runQuery(db, kSelectTransferLinks + QStringLiteral("AND (k.SendId = ? OR k.ReceiveId = ?)"),
                 {txnId, txnId});
    if (!query.next())
        return std::nullopt;
    return transferLinkFrom(query);
}

void keepTransferApart(const QSqlDatabase& db, qint64 sendId) {
    runQuery(db, QStringLiteral("UPDATE TransferLink SET Apart = 1 WHERE SendId = ?"), {sendId});
}

void forgetTransfersApart(const QSqlDatabase& db, qint64 sendId, qint64 receiveId) {
    runQuery(db,
             QStringLiteral("DELETE FROM TransferLink WHERE Apart = 1 AND "
                            "(SendId IN (?, ?) OR ReceiveId IN (?, ?))"),
             {sendId, receiveId, sendId, receiveId});
}

QVector<TransferLink> selectTransferLinks(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, kSelectTransferLinks + QStringLiteral("ORDER BY k.SendId"));
    QVector<TransferLink> links;
    while (query.next())
        links.append(transferLinkFrom(query));
    return links;
}

QVector<LinkedReceive> selectLinkedReceives(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query =
        runQuery(db,
                 QStringLiteral("SELECT k.ReceiveId, k.SendId, r.Symbol, s.Quantity, r.Quantity, "
                                "s.AccountName, s.TxnDate, r.TxnDate FROM TransferLink k "
                                "JOIN Txn r ON r.ID = k.ReceiveId JOIN Txn s ON s.ID = k.SendId "
                                "WHERE r.AccountName = ? AND k.Apart = 0 "
                                "ORDER BY k.ReceiveId"),
                 {account});
    QVector<LinkedReceive> receives;
    while (query.next())
        receives.append({query.value(0).toLongLong(),
                         query.value(1).toLongLong(),
                         query.value(2).toString(),
                         Quantity::fromDouble(query.value(3).toDouble()),
                         Quantity::fromDouble(query.value(4).toDouble()),
                         query.value(5).toString(),
                         {},
                         dateFromStored(query.value(6).toString()),
                         query.value(7).toString()});
    for (LinkedReceive& receive : receives) {
        // In the order the send's run applied them: oldest first, or by
        // the sending account's lot method.
        QSqlQuery lots = runQuery(db,
                                  QStringLiteral("SELECT l.BuyId, l.BuyQuantity, l.BuyPrice, "
                                                 "b.TxnDate, EXISTS (SELECT 1 FROM UnknownCost u "
                                                 "WHERE u.BuyId = l.BuyId) FROM SellLinks l "
                                                 "JOIN Txn b ON b.ID = l.BuyId "
                                                 "WHERE l.SellId = ? AND l.BuyId > 0 "
                                                 "ORDER BY l.rowid"),
                                  {receive.sendId});
        while (lots.next())
            receive.lots.append({lots.value(0).toLongLong(),
                                 Quantity::fromDouble(lots.value(1).toDouble()),
                                 Money::fromDouble(lots.value(2).toDouble()),
                                 lots.value(3).toString(), lots.value(4).toBool()});
    }
    return receives;
}

QStringList selectReceivingAccounts(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT DISTINCT r.AccountName FROM TransferLink k "
                                              "JOIN Txn s ON s.ID = k.SendId "
                                              "JOIN Txn r ON r.ID = k.ReceiveId "
                                              "WHERE s.AccountName = ? AND k.Apart = 0 "
                                              "ORDER BY r.AccountName"),
                               {account});
    QStringList accounts;
    while (query.next())
        accounts << query.value(0).toString();
    return accounts;
}

QSet<qint64> selectMovedInBuys(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT DISTINCT l.BuyId FROM TransferLink k "
                                              "JOIN Txn r ON r.ID = k.ReceiveId "
                                              "JOIN SellLinks l ON l.SellId = k.SendId "
                                              "WHERE r.AccountName = ? AND k.Apart = 0 "
                                              "AND l.BuyId > 0"),
                               {account});
    QSet<qint64> ids;
    while (query.next())
        ids.insert(query.value(0).toLongLong());
    return ids;
}

QVector<TransferCandidate> selectUnlinkedSends(const QSqlDatabase& db) {
    return transferCandidates(
        db, QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, TxnDate FROM Txn "
                           "WHERE Type = 'Sent' AND ID NOT IN (SELECT SendId FROM TransferLink) "
                           "ORDER BY TxnDate, ID"));
}

QVector<TransferCandidate> selectUnlinkedReceives(const QSqlDatabase& db) {
    return transferCandidates(
        db, QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, TxnDate FROM Txn "
                           "WHERE Type = 'Bought' AND ID IN (SELECT BuyId FROM UnknownCost) "
                           "AND ID NOT IN (SELECT ReceiveId FROM TransferLink) "
                           "ORDER BY TxnDate, ID"));
}

QVector<TransferCandidate> selectLinkableSends(const QSqlDatabase& db, const QString& notAccount) {
    return transferCandidates(
        db,
        QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, TxnDate FROM Txn "
                       "WHERE Type = 'Sent' AND AccountName <> ? AND ID NOT IN "
                       "(SELECT SendId FROM TransferLink WHERE Apart = 0) ORDER BY TxnDate, ID"),
        {notAccount});
}

QVector<TransferCandidate> selectLinkableReceives(const QSqlDatabase& db,
                                                  const QString& notAccount) {
    return transferCandidates(
        db,
        QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, TxnDate FROM Txn "
                       "WHERE Type = 'Bought' AND AccountName <> ? "
                       "AND ID IN (SELECT BuyId FROM UnknownCost) AND ID NOT IN "
                       "(SELECT ReceiveId FROM TransferLink WHERE Apart = 0) "
                       "ORDER BY TxnDate, ID"),
        {notAccount});
}

QStringList movedLotStatements() {
    return {
        QStringLiteral("CREATE TABLE MovedLot ("
                       "ReceiveId INTEGER NOT NULL, "
                       "BuyId INTEGER NOT NULL, "
                       "AccountName TEXT NOT NULL, "
                       "Symbol TEXT NOT NULL DEFAULT '', "
                       "Acquired TEXT, "
                       "Arrived TEXT, "
                       "Sent REAL NOT NULL DEFAULT 0, "
                       "Cost REAL NOT NULL DEFAULT 0, "
                       "CostUnknown INTEGER NOT NULL DEFAULT 0, "
                       "Shares REAL NOT NULL DEFAULT 0, "
                       "Open REAL NOT NULL DEFAULT 0, "
                       "OpenCost REAL NOT NULL DEFAULT 0, "
                       "PRIMARY KEY (ReceiveId, BuyId))"),
        QStringLiteral("CREATE INDEX MovedLotByAccount ON MovedLot (AccountName)"),
        // A receive deleted took its lots with it.
        QStringLiteral("CREATE TRIGGER MovedLotReceiveDeleted AFTER DELETE ON Txn "
                       "BEGIN DELETE FROM MovedLot WHERE ReceiveId = old.ID; END"),
        // NULL: the whole account is stale, not only after a waiting receive.
        QStringLiteral("ALTER TABLE Rematch ADD COLUMN WaitingFrom TEXT"),
    };
}

void replaceMovedLots(const QSqlDatabase& db, const QString& account,
                      const QVector<MovedLotRow>& rows) {
    runQuery(db, QStringLiteral("DELETE FROM MovedLot WHERE AccountName = ?"), {account});
    for (const MovedLotRow& row : rows)
        runQuery(
            db,
            QStringLiteral("INSERT INTO MovedLot (ReceiveId, BuyId, AccountName, Symbol, "
                           "Acquired, Arrived, Sent, Cost, CostUnknown, Shares, Open, OpenCost) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {row.receiveId, row.buyId, textValue(account), textValue(row.symbol),
             row.storedAcquired, row.storedArrived, row.sent.toDouble(), row.cost.toDouble(),
             row.costUnknown ? 1 : 0, row.shares.toDouble(), row.open.toDouble(),
             row.openCost.toDouble()});
}

QVector<MovedLotRow> selectMovedLots(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query =
        runQuery(db,
                 QStringLiteral("SELECT ReceiveId, BuyId, Symbol, Acquired, Arrived, Sent, Cost, "
                                "CostUnknown, Shares, Open, OpenCost FROM MovedLot "
                                "WHERE AccountName = ? ORDER BY ReceiveId, rowid"),
                 {account});
    QVector<MovedLotRow> rows;
    while (query.next())
        rows.append({query.value(0).toLongLong(), query.value(1).toLongLong(), account,
                     query.value(2).toString(), query.value(3).toString(),
                     query.value(4).toString(), Quantity::fromDouble(query.value(5).toDouble()),
                     Money::fromDouble(query.value(6).toDouble()), query.value(7).toInt() != 0,
                     Quantity::fromDouble(query.value(8).toDouble()),
                     Quantity::fromDouble(query.value(9).toDouble()),
                     Money::fromDouble(query.value(10).toDouble())});
    return rows;
}

void markWaiting(const QSqlDatabase& db, const QString& account, const QString& storedFrom) {
    // A mark of the whole account (WaitingFrom NULL) stays as it is.
    runQuery(db,
             QStringLiteral("INSERT INTO Rematch (AccountName, Whole, WaitingFrom) "
                            "VALUES (?, 1, ?) ON CONFLICT (AccountName) DO UPDATE SET Whole = 1, "
                            "WaitingFrom = CASE WHEN WaitingFrom IS NULL THEN NULL "
                            "ELSE min(WaitingFrom, excluded.WaitingFrom) END"),
             {textValue(account), storedFrom});
}

bool sendsAgain(const QSqlDatabase& db, const QString& account, const QDate& sent) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT WaitingFrom FROM Rematch WHERE AccountName = ?"),
                 {textValue(account)});
    if (!query.next())
        return false;
    // A receive of the send's own day may have been sent on: only a later
    // one leaves the send as it was.
    const QDate from = dateFromStored(query.value(0).toString());
    return !from.isValid() || !sent.isValid() || from <= sent;
}

} // namespace gainbook
