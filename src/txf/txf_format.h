#pragma once

#include "store/records.h"

#include <QByteArray>
#include <QString>

namespace gainbook {

// Tax Exchange Format, version 034, as written: single-byte text, CR LF
// after every line, a four-line header and ten lines per record.
inline constexpr char kTxfLineEnd[] = "\r\n";

// "V034", the program line, the fixed date line and "^".
QByteArray txfHeader();

// The reference number of a sale: 321 for a short-term gain or loss (held
// one year or less), 323 for a long-term one. Without a date acquired the
// holding period is unknown and the sale is reported as long-term.
int txfReferenceNumber(const TaxRecord& record);

// The ten lines of one record, each ending with CR LF.
QByteArray txfRecord(const TaxRecord& record);

} // namespace gainbook
