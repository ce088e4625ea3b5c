#include "store/lot_adjust_table.h"

#include "store/fast_statement.h"
#include "store/sql.h"

namespace gainbook {

namespace {

const QString kSelect = QStringLiteral("SELECT BuyId, FirstShare, Shares, AddedCost, DaysBack, "
                                       "LossSellId, LossAccount, Permanent FROM LotAdjust ");

QVector<LotAdjustRecord> readAll(QSqlQuery& query) {
    QVector<LotAdjustRecord> rows;
    while (query.next()) {
        rows.append({query.value(0).toLongLong(), Quantity::fromDouble(query.value(1).toDouble()),
                     Quantity::fromDouble(query.value(2).toDouble()),
                     Money::fromDouble(query.value(3).toDouble()), query.value(4).toLongLong(),
                     query.value(5).toLongLong(), query.value(6).toString(),
                     query.value(7).toInt() != 0});
    }
    return rows;
}

} // namespace

QVector<LotAdjustRecord> selectLotAdjustments(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, kSelect + QStringLiteral("ORDER BY BuyId, FirstShare"));
    return readAll(query);
}

bool hasLotAdjustments(const QSqlDatabase& db) {
    return runQuery(db, QStringLiteral("SELECT 1 FROM LotAdjust LIMIT 1")).next();
}

QVector<LotAdjustRecord> selectLotAdjustmentsOfLoss(const QSqlDatabase& db,
                                                    const QString& account) {
    QSqlQuery query =
        runQuery(db, kSelect + QStringLiteral("WHERE LossAccount = ? ORDER BY LossSellId, rowid"),
                 {textValue(account)});
    return readAll(query);
}

QVector<LotAdjustRecord> selectLotAdjustmentsOfBuy(const QSqlDatabase& db, qint64 buyId) {
    QSqlQuery query =
        runQuery(db, kSelect + QStringLiteral("WHERE BuyId = ? ORDER BY FirstShare"), {buyId});
    return readAll(query);
}

void replaceLotAdjustments(const QSqlDatabase& db, const QVector<LotAdjustRecord>& rows) {
    runQuery(db, QStringLiteral("DELETE FROM LotAdjust"));
    FastStatement insert(db, QStringLiteral("INSERT INTO LotAdjust (BuyId, FirstShare, Shares, "
                                            "AddedCost, DaysBack, LossSellId, LossAccount, "
                                            "Permanent) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const LotAdjustRecord& row : rows)
        insert.run(row.buyId, row.firstShare.toDouble(), row.shares.toDouble(),
                   row.addedCost.toDouble(), row.daysBack, row.lossSellId,
                   storedText(row.lossAccount), row.permanent ? 1 : 0);
}

} // namespace gainbook
