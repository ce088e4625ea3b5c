#pragma once

#include "platform/money.h"
#include "platform/quantity.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

// One row of LotAdjust: replacement shares of a buy that took over the
// disallowed loss of a wash sale. The shares from firstShare on (counted in
// the order the buy's shares are sold) cost addedCost more and are held
// daysBack days longer than the buy's own date says. The buy's Txn row stays
// as captured. A permanent row (the buy was made in a tax-advantaged
// account) adjusts nothing: the loss is disallowed for good.
struct LotAdjustRecord {
    qint64 buyId = 0;
    Quantity firstShare;
    Quantity shares;
    Money addedCost;
    qint64 daysBack = 0;
    qint64 lossSellId = 0; // the wash sale's Txn row
    QString lossAccount;
    bool permanent = false;

    friend bool operator==(const LotAdjustRecord&, const LotAdjustRecord&) = default;
};

} // namespace gainbook

// Moved in memory as it is, so that the adjustments of a million trades grow
// their list without copies.
Q_DECLARE_TYPEINFO(gainbook::LotAdjustRecord, Q_RELOCATABLE_TYPE);

namespace gainbook {

// Every row, by buy and first share. Throws StoreError.
QVector<LotAdjustRecord> selectLotAdjustments(const QSqlDatabase& db);

// Whether there is any row. Throws StoreError.
bool hasLotAdjustments(const QSqlDatabase& db);

// The rows whose loss was sold in the account, by the loss's sell and first
// share. Throws StoreError.
QVector<LotAdjustRecord> selectLotAdjustmentsOfLoss(const QSqlDatabase& db, const QString& account);

// The rows of one buy, by first share. Throws StoreError.
QVector<LotAdjustRecord> selectLotAdjustmentsOfBuy(const QSqlDatabase& db, qint64 buyId);

// Replaces every row with these. Throws StoreError; the caller holds the
// transaction.
void replaceLotAdjustments(const QSqlDatabase& db, const QVector<LotAdjustRecord>& rows);

} // namespace gainbook
