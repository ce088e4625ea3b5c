#include "platform/money.h"

#include <cmath>

namespace gainbook {

namespace {

// Beyond this the count of ten-thousandths no longer fits a double exactly,
// and no brokerage amount comes near it.
constexpr double kLargest = 9.0e14;

} // namespace

bool Money::isRepresentable(double value) {
    return std::isfinite(value) && std::fabs(value) < kLargest;
}

Money Money::fromDouble(double value) {
    if (!isRepresentable(value))
        return Money();
    return Money(std::llround(value * double(kUnitsPerOne)));
}

Money Money::roundedToCents() const {
    const qint64 rest = units_ % 100;
    qint64 cents = units_ / 100;
    if (rest >= 50)
        ++cents;
    else if (rest <= -50)
        --cents;
    return Money(cents * 100);
}

Money Money::scaled(double numerator, double denominator) const {
    if (denominator == 0)
        return Money();
    return fromDouble(double(units_) * numerator / denominator / double(kUnitsPerOne));
}

} // namespace gainbook
