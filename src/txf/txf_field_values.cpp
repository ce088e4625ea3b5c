#include "txf/txf_field_values.h"

#include "platform/date_text.h"
#include "platform/number_range.h"
#include "platform/number_text.h"

#include <QLocale>
#include <QString>

namespace gainbook {

namespace {

std::optional<Money> amountFromText(const QString& text) {
    QString plain = text.trimmed();
    if (plain.isEmpty())
        return Money();
    plain.remove(u',');
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !isBrokerageNumber(value))
        return std::nullopt;
    return Money::fromDouble(roundCurrency(value));
}

// "-1,234.56": an optional minus, digits with separators, and a point with
// digits after it. Fifteen digits at most, so that the digits and the power
// of ten are exact doubles and their quotient is the decimal's nearest
// double, as a full conversion gives it. Nothing for any other form.
std::optional<double> plainDecimal(QByteArrayView text) {
    qsizetype at = 0;
    const bool negative = !text.isEmpty() && text[0] == '-';
    if (negative)
        ++at;
    qint64 digits = 0;
    int count = 0;
    int whole = 0; // digits before the point
    int decimals = -1;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c >= '0' && c <= '9') {
            // A leading zero is left to QLocale.
            if (decimals < 0 && whole == 1 && digits == 0)
                return std::nullopt;
            if (++count > 15)
                return std::nullopt;
            digits = digits * 10 + (c - '0');
            if (decimals < 0)
                ++whole;
            else
                ++decimals;
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else if (c != ',') {
            return std::nullopt;
        }
    }
    if (whole == 0 || decimals == 0)
        return std::nullopt;
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
    const double value = double(digits) / kPowers[decimals < 0 ? 0 : decimals];
    return negative ? -value : value;
}

} // namespace

std::optional<Money> txfAmount(QByteArrayView text) {
    if (text.isEmpty())
        return Money();
    if (const std::optional<double> value = plainDecimal(text)) {
        if (!isBrokerageNumber(*value))
            return std::nullopt;
        return Money::fromDouble(roundCurrency(*value));
    }
    return amountFromText(QString::fromLatin1(text));
}

QDate txfDate(QByteArrayView text) {
    if (const std::optional<QDate> date = slashedDate(text))
        return *date;
    return dateFromText(QString::fromLatin1(text));
}

QDate txfDateAcquired(QByteArrayView text, bool& unknown) {
    if (text != "00/00/00") {
        if (const std::optional<QDate> date = slashedDate(text)) {
            unknown = false;
            return *date;
        }
    }
    const QString date = QString::fromLatin1(text).trimmed();
    unknown = date.isEmpty() || date == QLatin1String("00/00/00") ||
              date.compare(QLatin1String("VARIOUS"), Qt::CaseInsensitive) == 0;
    return unknown ? QDate() : dateFromText(date);
}

} // namespace gainbook
