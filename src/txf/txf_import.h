#pragma once

#include "platform/outcome.h"
#include "store/records.h"
#include "txf/txf_reader.h"

#include <QSqlDatabase>

#include <optional>

namespace gainbook {

// The tax record an entry of a TXF file becomes, or nothing when its date
// sold or an amount cannot be read. A date acquired that is missing or
// given as "00/00/00" or "VARIOUS" is stored empty. The memo is one blank.
// The box is the one the record's reference number names (673: none); a
// record without such a number gets the box of its term under the
// account's setting.
std::optional<TaxRecord> taxRecordFromTxf(const TxfEntry& entry, const QString& account,
                                          BasisReporting basis = BasisReporting::Reported);

// Reads a TXF file and adds one tax record per readable record, all in one
// transaction: Done with "N records successfully added." (and a line for the
// records that could not be read), Stopped with the no-data message when no
// record was readable, Failed when the file cannot be read or a write fails;
// the records written before a failing one are kept, count as added and
// told in the message. Whenever count is above 0 the caller rebuilds the
// account outline.
Outcome importTxf(const QString& path, const QSqlDatabase& db);

} // namespace gainbook
