#include "platform/number_text.h"

#include <QLocale>

#include <cmath>

namespace gainbook {

namespace {

bool isSkipped(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

} // namespace

double numberFromText(QStringView text) {
    // Collect the characters that form the number, dropping blanks, then let
    // the C locale convert them so the result does not depend on the desktop.
    QByteArray digits;
    digits.reserve(text.size());
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] {
        while (i < n && isSkipped(text[i]))
            ++i;
    };
    auto takeDigits = [&] {
        bool any = false;
        for (skip(); i < n && text[i].isDigit() && text[i].unicode() < 128; skip()) {
            digits.append(char(text[i].unicode()));
            ++i;
            any = true;
        }
        return any;
    };

    skip();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        digits.append(char(text[i].unicode()));
        ++i;
    }
    bool mantissa = takeDigits();
    skip();
    if (i < n && text[i] == u'.') {
        digits.append('.');
        ++i;
        mantissa = takeDigits() || mantissa;
    }
    if (!mantissa)
        return 0.0;

    // An exponent counts only when digits follow it; "12e" is just 12.
    skip();
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        const qsizetype mark = i;
        const qsizetype kept = digits.size();
        digits.append('e');
        ++i;
        skip();
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            digits.append(char(text[i].unicode()));
            ++i;
        }
        if (!takeDigits()) {
            digits.truncate(kept);
            i = mark;
        }
    }

    bool ok = false;
    const double value = QLocale::c().toDouble(QLatin1StringView(digits), &ok);
    if (ok && std::isfinite(value))
        return value;
    return 0.0;
}

QString numberToText(double value) {
    if (!std::isfinite(value) || value == 0.0)
        return QStringLiteral("0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

double roundCurrency(double value) {
    return std::round(value * 10000.0) / 10000.0;
}

} // namespace gainbook
