#include "capture/cell_values.h"

#include "platform/date_text.h"

namespace gainbook {

namespace {

// Digits with at most one point, and at least one digit: "12", "12.", "1.5",
// ".5". Checked by hand: a pattern with nested repeats would backtrack over
// a long run of digits.
bool isPlainNumber(QStringView s) {
    bool digit = false;
    bool point = false;
    for (const QChar c : s) {
        if (c >= u'0' && c <= u'9') {
            digit = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit && (s.front() != u'.' || s.size() > 1);
}

} // namespace

std::optional<double> numberFromCell(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace() && c != u',')
            s.append(c);
    }

    // Peel signs, currency marks and parentheses from both ends, in any order
    // a page may print them. The ends move inward, so a long run of marks
    // costs no more than its length.
    qsizetype first = 0;
    qsizetype last = s.size();
    bool negative = false;
    bool open = false;
    for (bool peeled = true; peeled && first < last;) {
        peeled = true;
        const QChar front = s[first];
        const QChar back = s[last - 1];
        if (front == u'$' || front == u'+') {
            ++first;
        } else if (front == u'-') {
            negative = !negative;
            ++first;
        } else if (front == u'(' && !open) {
            open = true;
            ++first;
        } else if (back == u')' && open) {
            open = false;
            negative = !negative;
            --last;
        } else if (back == u'-') {
            negative = !negative;
            --last;
        } else if (back == u'$') {
            --last;
        } else {
            peeled = false;
        }
    }
    if (open)
        return std::nullopt;

    const QStringView digits = QStringView(s).mid(first, last - first);
    if (digits.isEmpty() || !isPlainNumber(digits))
        return std::nullopt;
    const double value = digits.toDouble();
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
