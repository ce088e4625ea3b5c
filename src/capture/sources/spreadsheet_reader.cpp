#include "capture/sources/spreadsheet_reader.h"

#include "capture/sources/csv_reader.h"
#include "capture/sources/xls_reader.h"
#include "capture/sources/xlsx_reader.h"

#include <QFileInfo>

namespace gainbook {

bool isSpreadsheetFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"csv" || suffix == u"xls" || suffix == u"xlsx";
}

std::optional<SheetDocument> readSpreadsheet(const QString& path, QString* error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv")
        return readCsvFile(path, error);
    if (suffix == u"xls")
        return readXlsFile(path, error);
    if (suffix == u"xlsx")
        return readXlsxFile(path, error);
    if (error)
        *error = QStringLiteral("Not a spreadsheet file: %1").arg(path);
    return std::nullopt;
}

} // namespace gainbook
