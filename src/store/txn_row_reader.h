#pragma once

#include "platform/text_pool.h"
#include "store/fast_statement.h"
#include "store/records.h"

namespace gainbook {

// "SELECT <every Txn column> FROM Txn ", the columns in the order
// TxnRowReader reads them; a caller adds its WHERE and ORDER BY.
QString txnSelectAll();

// Reads records from rows selected by txnSelectAll(). The texts that rows
// repeat are read once and shared, which on a million rows saves most of
// the reading and most of the memory.
class TxnRowReader {
public:
    void fill(TxnRecord& r, const FastStatement& row);

private:
    // A pool per column: the memo's open quantities, which hardly repeat,
    // must not fill the pool the symbols share.
    TextPool accounts_, months_, symbols_, types_, memos_;
};

} // namespace gainbook
