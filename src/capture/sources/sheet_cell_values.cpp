#include "capture/sources/sheet_cell_values.h"

#include "platform/number_text.h"

#include <QFileInfo>

namespace gainbook {

SheetCell numberCell(double value) {
    return SheetCell{numberToText(value), value};
}

SheetCell dateCell(const QDate& date, double dayFraction) {
    // Built by hand: QDate::toString with a format goes through the locale
    // machinery, which shows in a sheet of many thousand dates.
    QString text;
    text.reserve(10);
    text += QString::number(date.month());
    text += u'/';
    text += QString::number(date.day());
    text += u'/';
    text += QString::number(date.year());
    return SheetCell{std::move(text), serialFromDate(date) + dayFraction};
}

SheetCell booleanCell(bool value) {
    return SheetCell{value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"), value ? 1.0 : 0.0};
}

double serialFromDate(const QDate& date) {
    if (!date.isValid())
        return 0.0;
    if (date < QDate(1900, 3, 1))
        return double(QDate(1899, 12, 31).daysTo(date) + 1);
    return double(QDate(1899, 12, 30).daysTo(date));
}

QString cannotOpenMessage(const QString& path, const QString& reason) {
    if (!QFileInfo::exists(path))
        return QStringLiteral("File not found: %1").arg(path);
    if (reason.isEmpty())
        return QStringLiteral("Cannot read the spreadsheet %1").arg(path);
    return QStringLiteral("Cannot read the spreadsheet %1: %2").arg(path, reason);
}

} // namespace gainbook
