#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <optional>

namespace gainbook {

// Reads transactions by ID with prepared statements, for loops that look up
// one row per link.
class TxnLookup {
public:
    explicit TxnLookup(const QSqlDatabase& db); // throws StoreError

    // Throw StoreError.
    std::optional<TxnRecord> byId(qint64 id);
    std::optional<TxnRecord> byId(const QString& account, qint64 id);

private:
    std::optional<TxnRecord> first(QSqlQuery& query);

    QSqlQuery byId_;
    QSqlQuery byAccountAndId_;
};

} // namespace gainbook
