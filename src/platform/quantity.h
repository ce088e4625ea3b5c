#pragma once

#include <QString>
#include <QtGlobal>

#include <compare>

namespace gainbook {

// A number of shares, contracts or coins as a signed count of
// hundred-millionths (the smallest unit of the coins brokers sell): sums,
// differences and comparisons are exact, so 0.1 + 0.2 shares are 0.3 shares,
// and a lot used up leaves nothing open behind. Stored REAL columns convert
// exactly both ways for every quantity of at most eight decimals below
// 9 x 10^7 (fromDouble rounds what a double holds to the nearest count).
class Quantity {
public:
    constexpr Quantity() = default;

    static constexpr Quantity fromUnits(qint64 units) { return Quantity(units); }
    static constexpr Quantity whole(qint64 shares) { return Quantity(shares * kUnitsPerOne); }
    // Rounds to the nearest hundred-millionth, halves away from zero. A value
    // that is not finite or too large for the count reads as zero; callers
    // that must refuse such values check isRepresentable() first.
    static Quantity fromDouble(double value);
    static bool isRepresentable(double value);

    constexpr qint64 units() const { return units_; }
    double toDouble() const { return double(units_) / double(kUnitsPerOne); }
    // The shortest decimal that is exactly this quantity: "100", "0.3",
    // "-2.5", "0.00000001". Never an exponent, never "-0".
    QString text() const;

    constexpr bool isZero() const { return units_ == 0; }
    constexpr bool isNegative() const { return units_ < 0; }
    constexpr bool isPositive() const { return units_ > 0; }

    constexpr Quantity operator-() const { return Quantity(-units_); }
    constexpr Quantity operator+(Quantity other) const { return Quantity(units_ + other.units_); }
    constexpr Quantity operator-(Quantity other) const { return Quantity(units_ - other.units_); }
    Quantity& operator+=(Quantity other) {
        units_ += other.units_;
        return *this;
    }
    Quantity& operator-=(Quantity other) {
        units_ -= other.units_;
        return *this;
    }

    // The quantity times factor, rounded to the nearest count: shares after
    // a split of factor new shares to one.
    Quantity times(double factor) const;
    // The quantity divided by factor, rounded: shares before such a split.
    Quantity dividedBy(double factor) const;

    friend constexpr bool operator==(Quantity, Quantity) = default;
    friend constexpr std::strong_ordering operator<=>(Quantity a, Quantity b) {
        return a.units_ <=> b.units_;
    }

    static constexpr qint64 kUnitsPerOne = 100'000'000;

private:
    constexpr explicit Quantity(qint64 units) : units_(units) {}
    qint64 units_ = 0;
};

inline Quantity min(Quantity a, Quantity b) {
    return b < a ? b : a;
}
inline Quantity max(Quantity a, Quantity b) {
    return a < b ? b : a;
}

} // namespace gainbook
