#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace gainbook {

// Reads the date forms that brokers, spreadsheets and users write:
// m/d/yy, m/d/yyyy, m-d-yyyy, yyyy-mm-dd, "Mar 5, 2000", "05-Mar-00" and a
// spreadsheet day serial. Two-digit years 00-29 are 20xx, 30-99 are 19xx.
// Anything else gives an invalid QDate.
QDate dateFromText(QStringView text);

// m/d/yy and m/d/yyyy in ASCII digits alone, the form nearly every date
// comes in, read without dateFromText's patterns (which cost more than the
// rest of a file's record): the date, invalid for a day that does not
// exist; nothing when the text has another form, which dateFromText then
// decides. Over UTF-16 text or a file's bytes alike.
std::optional<QDate> slashedDate(QStringView text);
std::optional<QDate> slashedDate(QByteArrayView text);

// Day 1 of a spreadsheet's serial calendar is 12/31/1899 (with the fictitious
// 02/29/1900 that spreadsheets count), so serial 36526 is 01/01/2000.
QDate dateFromSerial(double serial);

// "mm/dd/yyyy", or an empty text for an invalid date.
QString formatDate(const QDate& date);

// How dates are kept in the database: ISO text, empty for none.
QString isoDate(const QDate& date);

// A stored date cell: ISO text normally, but files written by other tools may
// hold any form dateFromText reads.
QDate dateFromStored(QStringView stored);

} // namespace gainbook
