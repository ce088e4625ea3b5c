#pragma once

#include "platform/money.h"

#include <QByteArrayView>
#include <QDate>

#include <optional>

namespace gainbook {

// The values of a TXF record's lines, read from the file's bytes
// (single-byte text, blanks trimmed). The forms nearly every file writes
// are read straight from the digits; any other form is read as text, so
// both give the same value.

// An amount as tax programs write it: a plain number, possibly with
// thousands separators; "$" lines carry nothing else. An empty text is 0.
// Nothing when the text is no number or one no amount holds; kept to four
// decimals.
std::optional<Money> txfAmount(QByteArrayView text);

// A date as dateFromText reads it; invalid when it is none.
QDate txfDate(QByteArrayView text);

// A date acquired: also invalid, but not unreadable, when it is missing or
// given as "00/00/00" or "VARIOUS" (unknown is true then).
QDate txfDateAcquired(QByteArrayView text, bool& unknown);

} // namespace gainbook
