#pragma once

#include "capture/page_document.h"

#include <QString>

#include <optional>

namespace gainbook {

// Reads the first worksheet of an Office Open XML workbook (.xlsx): shared
// and inline strings, numbers, booleans, formula results, and dates (a number
// whose cell style is a date format, or an ISO date cell).
std::optional<SheetDocument> readXlsxFile(const QString& path, QString* error);

} // namespace gainbook
