#include "platform/cell_readers.h"

#include "platform/date_text.h"
#include "platform/number_range.h"
#include "platform/number_text.h"

#include <cmath>

namespace gainbook {

namespace {

QString notANumber(const QString& text) {
    return QStringLiteral("Not a valid number: ") + text.trimmed();
}

} // namespace

QString readNumberCell(const QString& text, double& value) {
    const std::optional<double> number = typedNumber(text);
    if (!number || !std::isfinite(*number))
        return notANumber(text);
    value = *number;
    return {};
}

QString readQuantityCell(const QString& text, Quantity& value) {
    const std::optional<double> number = typedNumber(text);
    if (!number || !std::isfinite(*number))
        return notANumber(text);
    if (!isBrokerageNumber(*number) || !Quantity::isRepresentable(*number))
        return outOfRangeText(QStringLiteral("quantity"), *number);
    value = Quantity::fromDouble(*number);
    return {};
}

QString readMoneyCell(const QString& text, Money& value) {
    const std::optional<double> number = typedNumber(text);
    if (!number || !Money::isRepresentable(*number))
        return notANumber(text);
    value = Money::fromDouble(*number);
    return {};
}

QString readDateCell(const QString& text, QDate& value, bool emptyAllowed) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() && emptyAllowed) {
        value = QDate();
        return {};
    }
    const QDate date = dateFromText(trimmed);
    if (!date.isValid())
        return QStringLiteral("Not a valid date");
    value = date;
    return {};
}

} // namespace gainbook
