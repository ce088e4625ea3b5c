#pragma once

#include "store/fast_statement.h"
#include "store/records.h"
#include "store/txn_row_reader.h"

#include <QSqlDatabase>

#include <optional>

namespace gainbook {

// Reads transactions by ID with one prepared statement, for loops that look
// up one row per link.
class TxnLookup {
public:
    explicit TxnLookup(const QSqlDatabase& db); // throws StoreError

    std::optional<TxnRecord> byId(qint64 id); // throws StoreError

private:
    FastStatement byId_;
    // A loop over an account's links reads its rows' repeated texts (the
    // account, month, symbols, kinds, open quantities) once each.
    TxnRowReader reader_;
};

} // namespace gainbook
