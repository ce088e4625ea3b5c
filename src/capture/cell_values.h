#pragma once

#include "capture/page_document.h"

#include <QDate>
#include <QString>

#include <optional>

namespace gainbook {

// A money or share count as brokers print it: "$1,234.50", "-100",
// "($1,234.50)", "$(2,000.00)", "1,000". Parentheses and a minus sign both
// make it negative. Nothing when the text is not such a number, so a row
// with a word where a number belongs is told apart from a row of 0.
std::optional<double> numberFromCell(const QString& text);

// A spreadsheet cell read as a number: its value when the sheet holds one,
// else its text read as above.
std::optional<double> numberFromCell(const SheetCell& cell);

// A spreadsheet date cell. A date later than today is taken as a two-digit
// year misread: its last two characters become "00" and it is read again.
// Invalid when the cell holds no date.
QDate sheetDate(const QString& text, const QDate& today);

} // namespace gainbook
