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

Money Money::scaled(Quantity part, Quantity whole) const {
    if (whole.isZero())
        return Money();
    // Units of ten-thousandths times units of hundred-millionths pass 64
    // bits for a large lot; the product is taken in 128.
    __extension__ typedef __int128 Wide;
    Wide product = Wide(units_) * part.units();
    Wide divisor = whole.units();
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    const Wide half = divisor / 2;
    const Wide rounded = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    return Money(qint64(rounded));
}

} // namespace gainbook
