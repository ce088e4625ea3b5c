#pragma once

#include <QString>

namespace gainbook {

// How a TXF command ended. NoData is the command's own "nothing to do"
// message; Failed is a file or database failure.
enum class TxfStatus { Done, NoData, Failed };

struct TxfResult {
    TxfStatus status = TxfStatus::Done;
    qint64 count = 0;   // records exported or added
    qint64 skipped = 0; // import: records that could not be read
    QString message;    // for the user; empty when there is nothing to say

    bool ok() const { return status == TxfStatus::Done; }
};

} // namespace gainbook
