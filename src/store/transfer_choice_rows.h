#pragma once

#include "store/transfer_link_table.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

// The rows of other accounts the user may link a send or a receive to:
// sends, or receives (buys of unknown cost), that are in no link. A pair
// the user took apart does not hold them back: the user may always link
// again what the search is told to leave alone. Throws StoreError.
QVector<TransferCandidate> selectLinkableSends(const QSqlDatabase& db, const QString& notAccount);
QVector<TransferCandidate> selectLinkableReceives(const QSqlDatabase& db,
                                                  const QString& notAccount);

// Whether the buy is one of unknown cost, a receive that may be linked.
// Throws StoreError.
bool isUnknownCostBuy(const QSqlDatabase& db, qint64 id);

} // namespace gainbook
