#include "platform/formats.h"

#include <cmath>

namespace gainbook {

namespace {

// Rounds to cents first so that -0.004 shows as "0.00", not "-0.00".
double cents(double value) {
    if (!std::isfinite(value))
        return 0.0;
    const double r = std::round(value * 100.0) / 100.0;
    return r == 0.0 ? 0.0 : r;
}

// Thousands separators are put in by hand: the locale machinery is far
// slower and grids format several amounts per row.
QString grouped(double value) {
    const QString plain = QString::number(cents(value), 'f', 2);
    const qsizetype sign = plain.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = plain.size() - 3 - sign; // before the point
    if (digits <= 3)
        return plain;
    QString text;
    text.reserve(plain.size() + digits / 3);
    text.append(QStringView(plain).left(sign));
    for (qsizetype i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0)
            text.append(u',');
        text.append(plain[sign + i]);
    }
    text.append(QStringView(plain).right(3));
    return text;
}

} // namespace

QString formatCount(qint64 count) {
    QString digits = QString::number(count < 0 ? -(count + 1) + 1ULL : quint64(count));
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return count < 0 ? u'-' + digits : digits;
}

QString formatMoney(double value) {
    return grouped(value);
}

QString formatPlain(double value) {
    return QString::number(cents(value), 'f', 2);
}

QString formatTotal(double value) {
    QString text = grouped(value);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}

} // namespace gainbook
