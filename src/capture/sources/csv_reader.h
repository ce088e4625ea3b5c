#pragma once

#include "capture/page_document.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace gainbook {

// Comma-separated text as a sheet: one row per record, fields in columns from
// 1. Quoted fields may hold commas, doubled quotes and line breaks; line ends
// may be CRLF, LF or CR. A field that reads wholly as a number (blanks around
// it allowed) holds that number too; every other field is text only. Lenient
// where files are sloppy: a quote inside an unquoted field is kept as it
// stands, and a quoted field left open runs to the end of the text. A field
// beyond the last row or column of a sheet, or too many cells, give no sheet
// and "The file is too large or damaged: ..." in *error (when given).
std::optional<SheetDocument> parseCsv(QStringView text, QString* error = nullptr);

// Reads a .csv file (UTF-8, with or without byte order mark; a file that is
// not valid UTF-8 is read as Latin-1, as older exports are), of at most
// kMaxSheetBytes.
std::optional<SheetDocument> readCsvFile(const QString& path, QString* error);

} // namespace gainbook
