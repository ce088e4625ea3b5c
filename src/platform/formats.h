#pragma once

#include "platform/money.h"

#include <QString>

namespace gainbook {

// "##,##0.00": grouped thousands, two decimals (grid money cells).
QString formatMoney(double value);

// "#####0.00": two decimals, no grouping (the gain cell).
QString formatPlain(double value);

// "###,###.00": grouped, two decimals, no digit before the point below one
// (".50", ".00", "-1,234.00"), as the totals strip shows.
QString formatTotal(double value);

// A count with grouped thousands: "2,208", "-1,000,000".
QString formatCount(qint64 count);

// The same for money, rounded to cents (halves away from zero) first.
inline QString formatMoney(Money value) {
    return formatMoney(value.roundedToCents().toDouble());
}
inline QString formatPlain(Money value) {
    return formatPlain(value.roundedToCents().toDouble());
}
inline QString formatTotal(Money value) {
    return formatTotal(value.roundedToCents().toDouble());
}

} // namespace gainbook
