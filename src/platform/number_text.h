#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace gainbook {

// The number a text begins with: optional sign, digits, one decimal point and
// an optional exponent. Blanks, tabs and line feeds are skipped wherever they
// stand, so "100 3M" reads as 1003. A text that begins with no number reads 0.
// Every place that turns a cell, memo or file text into a number uses this.
double numberFromText(QStringView text);

// A number as a user types it into a cell: an optional sign, an optional
// leading currency sign ($, €, £) or code ("USD "), thousands separators
// in groups of three, one decimal point, an optional exponent, or the whole in
// parentheses for a negative amount ("(1,250.00)"). Blanks around it are
// ignored and an empty text is 0. Anything else is not a number: nullopt, so
// the caller refuses the cell instead of storing a guess.
std::optional<double> typedNumber(QStringView text);

// The shortest decimal text that reads back as the same number: 100, 12.5,
// 0.0001. Never an exponent, never "-0".
QString numberToText(double value);

// Money is kept to four decimals wherever it is stored as a currency value.
double roundCurrency(double value);

} // namespace gainbook
