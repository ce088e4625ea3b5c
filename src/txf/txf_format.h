#pragma once

#include "store/records.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace gainbook {

// Tax Exchange Format, version 034, as written: single-byte text, CR LF
// after every line, a four-line header and ten lines per record.
inline constexpr char kTxfLineEnd[] = "\r\n";

// "V034", the program line, the fixed date line and "^".
QByteArray txfHeader();

// The reference number of a sale, from its box: 321, 711, 712 for the
// short-term boxes A, B, C; 323, 713, 714 for the long-term boxes D, E, F;
// 673 for a sale whose term is unknown (no box).
int txfReferenceNumber(const TaxRecord& record);

// The box a reference number stands for: None for 673, nothing for a
// number that names no box.
std::optional<Form8949Box> boxOfTxfReference(int number);

// The ten lines of one record, each ending with CR LF.
QByteArray txfRecord(const TaxRecord& record);

} // namespace gainbook
