#pragma once

#include "capture/page_document.h"

#include <QDate>
#include <QString>

// Cell values shared by the spreadsheet readers, so that a number or a date
// reads the same whichever file format it came from.
namespace gainbook {

// A number cell shows its value in the sheet's general form: 100, 12.5.
SheetCell numberCell(double value);

// A date cell shows "m/d/yyyy" and holds its day serial; a time of day, when
// the cell has one, stays in the fraction of the serial.
SheetCell dateCell(const QDate& date, double dayFraction = 0.0);

// A true/false cell shows "TRUE" or "FALSE" and holds 1 or 0.
SheetCell booleanCell(bool value);

// The day serial of a date, counted as spreadsheets count (serial 1 is
// 01/01/1900 and 02/29/1900 is counted although it never was).
double serialFromDate(const QDate& date);

// The error text for a file that cannot be opened, naming why when the file
// system says so.
QString cannotOpenMessage(const QString& path, const QString& reason = {});

} // namespace gainbook
