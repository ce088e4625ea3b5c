#pragma once

#include <QSet>
#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

namespace gainbook {

// The buys whose cost and date acquired are not known yet: shares
// transferred in, which the download gives no price for. A buy stays in it
// until its amount is edited (the user entered the cost) or it is deleted;
// the table's triggers see to both, whichever way the row is changed.
QStringList unknownCostTable();

// Marks the buys as of unknown cost. Throws StoreError.
void markUnknownCost(const QSqlDatabase& db, const QVector<qint64>& buyIds);

// The buys of unknown cost. Throws StoreError.
QSet<qint64> selectUnknownCostBuys(const QSqlDatabase& db);

// Whether the buy is one of unknown cost. Throws StoreError.
bool isUnknownCostBuy(const QSqlDatabase& db, qint64 id);

} // namespace gainbook
