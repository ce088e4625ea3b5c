#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QVector>

#include <optional>

namespace gainbook {

// The transactions of an account (of one of its months when month is set)
// in the order ORDER BY TxnDate, Symbol, ID gives them. A whole account is
// read in two passes under one snapshot of the file: the order from the
// index alone, then the rows in the order the table stores them, each put
// in its place. Walking the index to the rows instead fetches a page of
// the table per row wherever the rows were captured out of date order.
// Throws StoreError.
QVector<TxnRecord> readTxnsInViewOrder(const QSqlDatabase& db, const QString& account,
                                       const std::optional<QString>& month);

} // namespace gainbook
