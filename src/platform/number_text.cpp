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

std::optional<double> typedNumber(QStringView text) {
    QStringView t = text.trimmed();
    if (t.isEmpty())
        return 0.0;
    bool negative = false;
    if (t.startsWith(u'(') && t.endsWith(u')')) {
        negative = true;
        t = t.sliced(1, t.size() - 2).trimmed();
    }
    if (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) {
        negative = negative != (t.front() == u'-');
        t = t.sliced(1).trimmed();
    }
    // A currency code or sign may stand before the digits (and a sign after
    // the currency sign: "$-5").
    if (t.size() > 3 && t[0].isLetter() && t[1].isLetter() && t[2].isLetter() && t[3] == u' ')
        t = t.sliced(4).trimmed();
    if (!t.isEmpty() && (t.front() == u'$' || t.front() == u'\u20ac' || t.front() == u'\u00a3'))
        t = t.sliced(1).trimmed();
    if (!t.isEmpty() && t.front() == u'-' && !negative) {
        negative = true;
        t = t.sliced(1);
    }
    if (t.isEmpty())
        return std::nullopt;

    // Digits with optional groups of three after commas, then the fraction.
    QByteArray digits;
    digits.reserve(t.size());
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto isDigit = [&](qsizetype k) { return k < n && t[k] >= u'0' && t[k] <= u'9'; };
    qsizetype group = 0;
    bool grouped = false;
    while (i < n && (isDigit(i) || t[i] == u',')) {
        if (t[i] == u',') {
            if (digits.isEmpty() || (grouped && group != 3) || (!grouped && group > 3))
                return std::nullopt;
            grouped = true;
            group = 0;
        } else {
            digits.append(char(t[i].unicode()));
            ++group;
        }
        ++i;
    }
    if (grouped && group != 3)
        return std::nullopt;
    bool any = !digits.isEmpty();
    if (i < n && t[i] == u'.') {
        digits.append('.');
        ++i;
        while (isDigit(i)) {
            digits.append(char(t[i].unicode()));
            ++i;
            any = true;
        }
    }
    if (!any)
        return std::nullopt;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        digits.append('e');
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            digits.append(char(t[i++].unicode()));
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            digits.append(char(t[i++].unicode()));
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(QLatin1StringView(digits), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
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
