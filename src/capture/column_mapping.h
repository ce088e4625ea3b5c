#pragma once

#include "capture/parse_result.h"
#include "capture/sheet_rows.h"

#include <QByteArray>
#include <QJsonObject>
#include <QVector>

#include <optional>

namespace gainbook {

class SettingsStore;

// A layout named by the user for a sheet whose headings "Other" cannot
// find: the column of each role (1 for column A, 0 for none) and the first
// data row. The rows end at the first row whose mapped cells are all empty.
struct ColumnMapping {
    QString name;
    int firstRow = 2;
    SheetColumns columns;
};

// The JSON form, as saved and as "capture --map" reads it:
// {"name": "...", "firstRow": 2, "date": 1, "type": "B", "symbol": 3,
//  "quantity": 4, "amount": 5, "account": 6}
// Columns by number or letter; "account" may be left out.
QJsonObject mappingToJson(const ColumnMapping& mapping);
// Nothing, with the reason in *error, for a mapping without a name, without
// one of the five columns, with two roles in one column, or with a column
// or row out of the sheet.
std::optional<ColumnMapping> mappingFromJson(const QJsonObject& json, QString* error);
std::optional<ColumnMapping> mappingFromFile(const QString& path, QString* error);

// The rows a sheet gives under the mapping, read as "Other" reads its rows.
ParseResult parseWithMapping(const ColumnMapping& mapping, const PageDocument& document,
                             const CaptureSettings& settings);

// The mappings saved in the settings, in the order they were first saved.
QVector<ColumnMapping> savedMappings(const SettingsStore& settings);
std::optional<ColumnMapping> savedMapping(const SettingsStore& settings, const QString& name);
// Saves the mapping, in place of one of the same name.
void saveMapping(SettingsStore& settings, const ColumnMapping& mapping);

} // namespace gainbook
