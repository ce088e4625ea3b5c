#pragma once

#include "capture/page_document.h"

#include <QString>

#include <optional>

namespace gainbook {

// Reads the first worksheet of a binary workbook (.xls, BIFF 2 to 8).
std::optional<SheetDocument> readXlsFile(const QString& path, QString* error);

} // namespace gainbook
