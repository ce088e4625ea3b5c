#include "platform/quantity.h"

#include <cmath>

namespace gainbook {

namespace {

// Beyond this the count no longer fits its 64 bits. A stored REAL holds
// every hundred-millionth exactly only below 9 x 10^7; above it (a holding
// of a coin worth a millionth of a cent) the count is the nearest one.
constexpr double kLargestShares = 9.0e10;

} // namespace

bool Quantity::isRepresentable(double value) {
    return std::isfinite(value) && std::fabs(value) < kLargestShares;
}

Quantity Quantity::fromDouble(double value) {
    if (!isRepresentable(value))
        return Quantity();
    // The whole shares and the fraction apart: their product with 10^8 in
    // one double would lose the last digits of a large holding.
    const double whole = std::trunc(value);
    return Quantity(qint64(whole) * kUnitsPerOne +
                    std::llround((value - whole) * double(kUnitsPerOne)));
}

QString Quantity::text() const {
    const quint64 size = units_ < 0 ? quint64(-(units_ + 1)) + 1 : quint64(units_);
    QString out = QString::number(size / quint64(kUnitsPerOne));
    if (const quint64 fraction = size % quint64(kUnitsPerOne); fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(8, u'0');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        out += u'.' + digits;
    }
    return units_ < 0 ? u'-' + out : out;
}

Quantity Quantity::times(double factor) const {
    return factor == 1 ? *this : Quantity(std::llround(double(units_) * factor));
}

Quantity Quantity::dividedBy(double factor) const {
    return factor == 1 || factor == 0 ? *this : Quantity(std::llround(double(units_) / factor));
}

} // namespace gainbook
