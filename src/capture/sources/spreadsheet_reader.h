#pragma once

#include "capture/page_document.h"

#include <QString>

#include <optional>

namespace gainbook {

// Opens a spreadsheet file as the sheet the browser would host: ".csv",
// ".xls" or ".xlsx" (by the file name's extension, any case). The first
// worksheet is the active sheet. Cells hold the text the sheet shows and,
// for numbers, booleans and dates, their value (a date cell shows "m/d/yyyy"
// and holds its day serial, counted as from 12/31/1899).
//
// Returns no sheet and a message in *error (when given) for a file that is
// missing, unreadable, damaged or of another kind.
std::optional<SheetDocument> readSpreadsheet(const QString& path, QString* error);

// True when readSpreadsheet takes files named like this.
bool isSpreadsheetFile(const QString& path);

} // namespace gainbook
