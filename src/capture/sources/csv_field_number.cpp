#include "capture/sources/csv_field_number.h"

#include <QString>

#include <cmath>

namespace gainbook {

namespace {

// A field of the plain form "[+-]digits[.digits]" with at most 15 digits in
// all, the form nearly every amount and quantity of an export takes. Its
// digits make an integer below 2^53 and its decimals a power of ten no
// larger than 10^15, both held exactly by a double, so one division gives
// the correctly rounded value, as the general reader's does. Any other
// form is left to the general reader.
std::optional<double> plainDecimal(QStringView field) {
    constexpr int kMostDigits = 15;
    static constexpr double kPowers[kMostDigits + 1] = {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char16_t* at = field.utf16();
    const char16_t* const end = at + field.size();
    bool negative = false;
    if (at != end && (*at == u'-' || *at == u'+'))
        negative = *at++ == u'-';
    qint64 digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; at != end; ++at) {
        const char16_t c = *at;
        if (c >= u'0' && c <= u'9') {
            if (++count > kMostDigits)
                return std::nullopt;
            digits = digits * 10 + (c - u'0');
            decimals += point ? 1 : 0;
        } else if (c == u'.' && !point) {
            // A point needs digits on both sides: "5." and ".5" go the long way.
            if (count == 0 || at + 1 == end)
                return std::nullopt;
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    const double value = double(digits) / kPowers[decimals];
    return negative ? -value : value;
}

} // namespace

std::optional<double> csvFieldNumber(QStringView field) {
    if (const auto plain = plainDecimal(field))
        return plain;
    const QStringView trimmed = field.trimmed();
    bool hasDigit = false;
    for (QChar c : trimmed) {
        if (c >= u'0' && c <= u'9')
            hasDigit = true;
        else if (c != u'+' && c != u'-' && c != u'.' && c != u'e' && c != u'E')
            return std::nullopt;
    }
    if (!hasDigit)
        return std::nullopt;
    // QString::toDouble alone would also take "inf" and "nan".
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace gainbook
