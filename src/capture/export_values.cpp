#include "capture/export_values.h"

#include "capture/cell_values.h"
#include "platform/number_text.h"

#include <QRegularExpression>

#include <algorithm>

namespace gainbook {

namespace {

// "mm/dd/yyyy" for the forms sheetDate does not read, so that the later
// pull back of a future date works on one form.
QString slashed(int year, int month, int day) {
    const QDate date(year, month, day);
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1/%2/%3")
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(year, 4, 10, QLatin1Char('0'));
}

QString withoutCurrencyCode(QString t) {
    t = t.trimmed();
    const auto isCode = [](QStringView s) {
        return s.size() == 3 && s[0].isUpper() && s[1].isUpper() && s[2].isUpper();
    };
    if (t.size() > 4 && t[t.size() - 4] == u' ' && isCode(QStringView(t).last(3)))
        t.chop(4);
    return t.trimmed();
}

} // namespace

QDate exportDate(const QString& text, const QDate& today) {
    QString t = text.trimmed();
    // Most cells are a plain m/d/yyyy; the patterns below run only on texts
    // that may hold another form, as a capture reads one date a row.
    if (t.contains(u' ')) {
        const qsizetype asOf = t.indexOf(QLatin1String(" as of "), 0, Qt::CaseInsensitive);
        if (asOf > 0)
            t = t.left(asOf).trimmed();
        // A time of day after the date: "03/15/2024 09:30:00", "3/15/2024 9:30 AM".
        static const QRegularExpression timed(
            QStringLiteral(R"(^(\S+)\s+\d{1,2}:\d{2}(:\d{2}(\.\d+)?)?(\s*[AaPp][Mm])?$)"));
        if (t.contains(u':')) {
            if (const auto m = timed.match(t); m.hasMatch())
                t = m.captured(1);
        }
    }
    if (t.size() >= 8 && t.size() <= 10 && (t.size() == 8 || t[4] == u'/')) {
        static const QRegularExpression compact(
            QStringLiteral(R"(^((?:19|20)\d{2})(\d{2})(\d{2})$)"));
        static const QRegularExpression yearFirst(
            QStringLiteral(R"(^(\d{4})/(\d{1,2})/(\d{1,2})$)"));
        QRegularExpressionMatch m = compact.match(t);
        if (!m.hasMatch())
            m = yearFirst.match(t);
        if (m.hasMatch()) {
            t = slashed(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
            if (t.isEmpty())
                return {};
        }
    }
    return sheetDate(t, today);
}

bool usesDecimalComma(const QStringList& values) {
    static const QRegularExpression comma(
        QStringLiteral(R"(^[(+-]?\s*(?:[A-Z]{3}\s)?\s*[$\x{20ac}\x{a3}]?\s*-?)"
                       R"((?:\d+|(?:\d{1,3}(?:\.\d{3})+|\d+),\d+)\)?(?:\s[A-Z]{3})?$)"));
    bool plain = false;
    int filled = 0;
    for (const QString& value : values) {
        const QString t = value.trimmed();
        if (t.isEmpty())
            continue;
        ++filled;
        // Whole numbers read alike either way: the common case needs no pattern.
        if (std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            continue;
        if (!comma.match(t).hasMatch())
            return false;
        if (!typedNumber(withoutCurrencyCode(t)))
            plain = true;
    }
    return filled > 0 && plain;
}

std::optional<double> exportNumber(const SheetCell& cell, bool decimalComma) {
    if (cell.number)
        return cell.number;
    QString t = withoutCurrencyCode(cell.text);
    if (t.isEmpty())
        return std::nullopt;
    if (decimalComma) {
        for (QChar& c : t) {
            if (c == u'.')
                c = u',';
            else if (c == u',')
                c = u'.';
        }
    }
    if (const auto typed = typedNumber(t))
        return typed;
    // Older sheets also write the sign inside or after the number
    // ("$(2,000.00)", "100-"); those are read as before, but only when
    // the digits themselves are a well-formed number.
    QString digits;
    for (const QChar c : t)
        if (c != u'$' && c != u'(' && c != u')' && c != u'+' && c != u'-' && !c.isSpace())
            digits.append(c);
    if (!typedNumber(digits))
        return std::nullopt;
    return numberFromCell(t);
}

} // namespace gainbook
