#include "platform/formats.h"

#include <QLocale>

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

QString grouped(double value) {
    static const QLocale c = [] {
        QLocale l = QLocale::c();
        l.setNumberOptions(QLocale::DefaultNumberOptions); // the C locale omits groups by default
        return l;
    }();
    return c.toString(cents(value), 'f', 2);
}

} // namespace

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
