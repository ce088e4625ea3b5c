#pragma once

#include "capture/page_document.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace gainbook {

// The trade date of a cell as today's exports write it: the forms
// sheetDate reads, and also "20240105", "2024/03/15", a date followed by a
// time ("03/15/2024 09:30:00") and the first date of "04/01/2024 as of
// 03/28/2024". A date later than today is pulled back as sheetDate does.
// Invalid when the cell holds no date.
QDate exportDate(const QString& text, const QDate& today);

// True when every filled value of a column is a whole number without
// separators or writes its decimals after a comma ("1.234,56", "12,5"), and
// at least one of them cannot be read the usual way, so the column is
// plainly of that kind.
bool usesDecimalComma(const QStringList& values);

// A quantity or amount cell: its number when the sheet holds one, else its
// text with an optional currency code or sign before or after it ("USD
// 1,234.56", "1,234.56 USD", "-$5", "(1,234.56)", "$(2,000.00)"), thousands
// separators in groups of three, and a decimal comma only when decimalComma
// is set. Nothing for an empty cell or any other text, so a value is never
// read in a second way.
std::optional<double> exportNumber(const SheetCell& cell, bool decimalComma);

} // namespace gainbook
