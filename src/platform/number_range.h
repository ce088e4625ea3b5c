#pragma once

#include <QString>

#include <cmath>

namespace gainbook {

// The numbers a brokerage quantity or amount can be: finite and less than
// 10^12 in size. A larger one in a file is damage or mischief; stored, it
// would print as "inf" in totals and read as 0 in a fixed-point amount.
inline constexpr double kBrokerageNumberLimit = 1e12;

inline bool isBrokerageNumber(double value) {
    return std::isfinite(value) && std::fabs(value) < kBrokerageNumberLimit;
}

// "The quantity 1e+15 is out of range.": what is said of such a value.
// Out-of-range values can be huge or infinite: a short form that still
// shows what was given.
inline QString outOfRangeText(const QString& what, double value) {
    return QStringLiteral("The %1 %2 is out of range.").arg(what, QString::number(value, 'g', 15));
}

} // namespace gainbook
