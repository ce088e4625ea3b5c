#pragma once

#include <cmath>

namespace gainbook {

// The numbers a brokerage quantity or amount can be: finite and less than
// 10^12 in size. A larger one in a file is damage or mischief; stored, it
// would print as "inf" in totals and read as 0 in a fixed-point amount.
inline constexpr double kBrokerageNumberLimit = 1e12;

inline bool isBrokerageNumber(double value) {
    return std::isfinite(value) && std::fabs(value) < kBrokerageNumberLimit;
}

} // namespace gainbook
