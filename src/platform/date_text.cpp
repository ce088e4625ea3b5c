#include "platform/date_text.h"

#include <QRegularExpression>

#include <array>
#include <cmath>
#include <optional>

namespace gainbook {

namespace {

int expandYear(int year, qsizetype digits) {
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

int monthFromName(QStringView name) {
    static constexpr std::array<const char*, 12> names = {"jan", "feb", "mar", "apr", "may", "jun",
                                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    if (name.size() < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        const QLatin1StringView full(names[m]);
        if (name.left(3).compare(full, Qt::CaseInsensitive) == 0)
            return m + 1;
    }
    return 0;
}

QDate make(int year, qsizetype yearDigits, int month, int day) {
    if (yearDigits != 2 && yearDigits != 4)
        return {};
    return QDate(expandYear(year, yearDigits), month, day);
}

char16_t codeUnit(QChar c) {
    return c.unicode();
}

// A byte as the Latin-1 character it reads as (a UTF-8 lead byte never
// passes for an ASCII digit or slash).
char16_t codeUnit(char c) {
    return char16_t(static_cast<unsigned char>(c));
}

// m/d/yy and m/d/yyyy in ASCII digits, over UTF-16 text or bytes alike.
template <typename Text> std::optional<QDate> slashedDateOf(Text text) {
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (const auto c : text) {
        const char16_t unit = codeUnit(c);
        if (unit == u'/') {
            if (++part > 2)
                return std::nullopt;
        } else if (unit >= u'0' && unit <= u'9' && digits[part] < 4) {
            parts[part] = parts[part] * 10 + (unit - u'0');
            ++digits[part];
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 ||
        (digits[2] != 2 && digits[2] != 4))
        return std::nullopt;
    return make(parts[2], digits[2], parts[0], parts[1]);
}

} // namespace

std::optional<QDate> slashedDate(QStringView text) {
    return slashedDateOf(text);
}

std::optional<QDate> slashedDate(QByteArrayView text) {
    return slashedDateOf(text);
}

QDate dateFromText(QStringView input) {
    const QStringView trimmed = input.trimmed();
    if (const std::optional<QDate> quick = slashedDate(trimmed))
        return *quick;
    const QString text = trimmed.toString();
    if (text.isEmpty())
        return {};

    // m/d/yy, m/d/yyyy, m-d-yyyy
    static const QRegularExpression mdy(QStringLiteral(R"(^(\d{1,2})([/-])(\d{1,2})\2(\d+)$)"));
    if (auto m = mdy.match(text); m.hasMatch())
        return make(m.captured(4).toInt(), m.capturedLength(4), m.captured(1).toInt(),
                    m.captured(3).toInt());

    // yyyy-mm-dd, optionally followed by a time as stored by other tools
    static const QRegularExpression iso(
        QStringLiteral(R"(^(\d{4})-(\d{1,2})-(\d{1,2})(?:[T ][0-9:.]*)?$)"));
    if (auto m = iso.match(text); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());

    // Mar 5, 2000 / March 5 2000
    static const QRegularExpression named(
        QStringLiteral(R"(^([A-Za-z]{3,9})\.?\s+(\d{1,2}),?\s+(\d+)$)"));
    if (auto m = named.match(text); m.hasMatch()) {
        const int month = monthFromName(m.captured(1));
        if (month == 0)
            return {};
        return make(m.captured(3).toInt(), m.capturedLength(3), month, m.captured(2).toInt());
    }

    // 05-Mar-00 / 5-Mar-2000
    static const QRegularExpression dayFirst(
        QStringLiteral(R"(^(\d{1,2})[- ]([A-Za-z]{3,9})[- ](\d+)$)"));
    if (auto m = dayFirst.match(text); m.hasMatch()) {
        const int month = monthFromName(m.captured(2));
        if (month == 0)
            return {};
        return make(m.captured(3).toInt(), m.capturedLength(3), month, m.captured(1).toInt());
    }

    // A spreadsheet day serial: a plain number, the time of day ignored.
    static const QRegularExpression serial(QStringLiteral(R"(^\d+(\.\d*)?$)"));
    if (serial.match(text).hasMatch())
        return dateFromSerial(text.toDouble());

    return {};
}

QDate dateFromSerial(double serial) {
    if (!std::isfinite(serial) || serial < 1.0 || serial >= 2958466.0)
        return {};
    const auto day = static_cast<qint64>(std::floor(serial));
    // Serials before 03/01/1900 count from 12/31/1899; later ones from
    // 12/30/1899 because of the leap day 1900 never had.
    if (day < 60)
        return QDate(1899, 12, 31).addDays(day - 1);
    if (day == 60)
        return QDate(1900, 2, 28);
    return QDate(1899, 12, 30).addDays(day);
}

namespace {

// Dates are formatted by hand: grids format one per row and every stored row
// has one, and QDate's format parser dominates both. Years outside four
// digits fall back to QDate.
QString fixedDate(const QDate& date, bool iso) {
    if (!date.isValid())
        return QString();
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (y < 0 || y > 9999)
        return iso ? date.toString(Qt::ISODate) : date.toString(QStringLiteral("MM/dd/yyyy"));
    QString text(10, Qt::Uninitialized);
    QChar* out = text.data();
    auto put = [&out](int value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            out[i] = QChar(u'0' + value % 10);
            value /= 10;
        }
        out += digits;
    };
    auto separator = [&out](char16_t c) { *out++ = QChar(c); };
    if (iso) {
        put(y, 4);
        separator(u'-');
        put(m, 2);
        separator(u'-');
        put(d, 2);
    } else {
        put(m, 2);
        separator(u'/');
        put(d, 2);
        separator(u'/');
        put(y, 4);
    }
    return text;
}

} // namespace

QString formatDate(const QDate& date) {
    return fixedDate(date, false);
}

QString isoDate(const QDate& date) {
    return fixedDate(date, true);
}

QDate dateFromStored(QStringView stored) {
    // The form the store writes, read by hand: a read of many rows has one
    // or two in every row.
    if (stored.size() == 10 && stored[4] == u'-' && stored[7] == u'-') {
        int value = 0;
        bool digits = true;
        for (const qsizetype at : {0, 1, 2, 3, 5, 6, 8, 9}) {
            const char16_t c = stored[at].unicode();
            digits = digits && c >= u'0' && c <= u'9';
            value = value * 10 + (c - u'0');
        }
        if (digits)
            return QDate(value / 10000, value / 100 % 100, value % 100);
    }
    if (stored.size() == 10 && stored[4] == u'-') {
        const QDate d = QDate::fromString(stored, Qt::ISODate);
        if (d.isValid())
            return d;
    }
    return dateFromText(stored);
}

} // namespace gainbook
