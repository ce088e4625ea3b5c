#pragma once

#include "platform/quantity.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <compare>
#include <optional>

namespace gainbook {

// An amount of money as a signed count of ten-thousandths, the fixed-point
// currency of desktop databases: sums and differences are exact, and a value
// is rounded to cents only where it is shown, totalled or written to a tax
// file. Stored REAL columns convert exactly: every amount with at most four
// decimals and less than 10^11 in size is one double that reads back to the
// same count (see fromDouble / toDouble).
class Money {
public:
    constexpr Money() = default;

    static constexpr Money fromUnits(qint64 units) { return Money(units); }
    // Rounds to the nearest ten-thousandth, halves away from zero. A value
    // that is not finite or too large for the count reads as zero; callers
    // that must refuse such values check isRepresentable() first.
    static Money fromDouble(double value);
    static bool isRepresentable(double value);
    static constexpr Money fromCents(qint64 cents) { return Money(cents * 100); }

    constexpr qint64 units() const { return units_; }
    double toDouble() const { return double(units_) / double(kUnitsPerOne); }
    // Rounded to whole cents, halves away from zero.
    Money roundedToCents() const;

    constexpr bool isZero() const { return units_ == 0; }
    constexpr bool isNegative() const { return units_ < 0; }
    constexpr Money abs() const { return Money(units_ < 0 ? -units_ : units_); }

    constexpr Money operator-() const { return Money(-units_); }
    constexpr Money operator+(Money other) const { return Money(units_ + other.units_); }
    constexpr Money operator-(Money other) const { return Money(units_ - other.units_); }
    Money& operator+=(Money other) {
        units_ += other.units_;
        return *this;
    }
    Money& operator-=(Money other) {
        units_ -= other.units_;
        return *this;
    }
    // A share of the amount: amount x numerator / denominator, rounded to the
    // nearest ten-thousandth. Used for pro-rata lot costs.
    Money scaled(double numerator, double denominator) const;
    // The share of the amount that part is of whole, exactly rounded to the
    // nearest ten-thousandth, halves away from zero: a lot's cost or
    // proceeds. Zero for a whole of zero.
    Money scaled(Quantity part, Quantity whole) const;

    friend constexpr bool operator==(Money, Money) = default;
    friend constexpr std::strong_ordering operator<=>(Money a, Money b) {
        return a.units_ <=> b.units_;
    }

    static constexpr qint64 kUnitsPerOne = 10000;

private:
    constexpr explicit Money(qint64 units) : units_(units) {}
    qint64 units_ = 0;
};

} // namespace gainbook
