#pragma once

#include "platform/money.h"

#include <QDate>
#include <QString>

namespace gainbook {

// Readers of typed cell texts, for RecordColumns::parse. Each stores the
// value only when the text reads as one, and otherwise returns the refusal
// that the status line shows; empty when read.

// A number as typedNumber() reads it: "1,250.00", "(12.50)", "$1,250"; an
// empty cell is 0. Refusal: "Not a valid number: " and the text.
QString readNumberCell(const QString& text, double& value);
// The same, as money to the ten-thousandth.
QString readMoneyCell(const QString& text, Money& value);
// The same, as a quantity to the hundred-millionth.
QString readQuantityCell(const QString& text, Quantity& value);

// Refusal: "Not a valid date". An empty text is an unknown date (an invalid
// QDate) where the column allows one.
QString readDateCell(const QString& text, QDate& value, bool emptyAllowed = false);

} // namespace gainbook
