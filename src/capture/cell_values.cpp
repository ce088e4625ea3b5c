#include "capture/cell_values.h"

#include "platform/date_text.h"

#include <QRegularExpression>

namespace gainbook {

std::optional<double> numberFromCell(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace() && c != u',')
            s.append(c);
    }

    // Peel signs, currency marks and parentheses from both ends, in any order
    // a page may print them.
    bool negative = false;
    bool open = false;
    for (bool peeled = true; peeled && !s.isEmpty();) {
        peeled = true;
        if (s.front() == u'$' || s.front() == u'+') {
            s.remove(0, 1);
        } else if (s.front() == u'-') {
            negative = !negative;
            s.remove(0, 1);
        } else if (s.front() == u'(' && !open) {
            open = true;
            s.remove(0, 1);
        } else if (s.back() == u')' && open) {
            open = false;
            negative = !negative;
            s.chop(1);
        } else if (s.back() == u'-') {
            negative = !negative;
            s.chop(1);
        } else if (s.back() == u'$') {
            s.chop(1);
        } else {
            peeled = false;
        }
    }
    if (open)
        return std::nullopt;

    static const QRegularExpression plain(QStringLiteral(R"(^(\d+\.?\d*|\.\d+)$)"));
    if (!plain.match(s).hasMatch())
        return std::nullopt;
    const double value = s.toDouble();
    return negative ? -value : value;
}

std::optional<double> numberFromCell(const SheetCell& cell) {
    if (cell.number)
        return cell.number;
    return numberFromCell(cell.text);
}

QDate sheetDate(const QString& text, const QDate& today) {
    QDate date = dateFromText(text);
    if (date.isValid() && date > today) {
        const QString trimmed = text.trimmed();
        date = dateFromText(trimmed.left(trimmed.size() - 2) + QStringLiteral("00"));
    }
    return date;
}

} // namespace gainbook
