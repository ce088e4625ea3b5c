#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <optional>

namespace gainbook {

// Reads transactions by ID with one prepared statement, for loops that look
// up one row per link.
class TxnLookup {
public:
    explicit TxnLookup(const QSqlDatabase& db); // throws StoreError

    std::optional<TxnRecord> byId(qint64 id); // throws StoreError

private:
    std::optional<TxnRecord> first(QSqlQuery& query);

    QSqlQuery byId_;
};

} // namespace gainbook
