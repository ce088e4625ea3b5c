#pragma once

#include "store/records.h"
#include "txf/txf_reader.h"
#include "txf/txf_result.h"

#include <QSqlDatabase>

#include <optional>

namespace gainbook {

class Prompter;

// The tax record an entry of a TXF file becomes, or nothing when its date
// sold or an amount cannot be read. A date acquired that is missing or
// given as "00/00/00" or "VARIOUS" is stored empty. The memo is one blank.
std::optional<TaxRecord> taxRecordFromTxf(const TxfEntry& entry, const QString& account);

// Reads a TXF file and adds one tax record per readable record, all in one
// transaction. When a write fails, the records before it are kept and the
// failure is reported with them (status Failed, count as added). Whenever
// count is above 0 the caller rebuilds the account outline.
TxfResult importTxf(const QString& path, const QSqlDatabase& db);

// The same, showing the result's message through the prompter.
TxfResult importTxf(const QString& path, const QSqlDatabase& db, Prompter& prompter);

} // namespace gainbook
