#include "capture/column_mapping.h"

#include "capture/export_values.h"
#include "capture/other_layout.h"
#include "platform/settings_store.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace gainbook {

namespace {

constexpr int kLastColumn = 16384;
constexpr int kLastRow = 1048576;

const QString kSection = QStringLiteral("Capture");
const QString kKey = QStringLiteral("ColumnMappings");

struct RoleKey {
    const char* key;
    int SheetColumns::*column;
    bool required;
};

const RoleKey kRoles[] = {
    {"date", &SheetColumns::date, true},     {"type", &SheetColumns::type, true},
    {"symbol", &SheetColumns::symbol, true}, {"quantity", &SheetColumns::quantity, true},
    {"amount", &SheetColumns::amount, true}, {"account", &SheetColumns::account, false},
};

// 3 or "C" (or "c"); 0 when the value names no column.
int columnOf(const QJsonValue& value) {
    if (value.isDouble()) {
        const double n = value.toDouble();
        return n >= 1 && n <= kLastColumn && n == int(n) ? int(n) : 0;
    }
    const QString letters = value.toString().trimmed().toUpper();
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int col = 0;
    for (const QChar c : letters) {
        if (c < u'A' || c > u'Z')
            return 0;
        col = col * 26 + (c.unicode() - u'A' + 1);
    }
    return col <= kLastColumn ? col : 0;
}

bool anyMappedCell(const SheetDocument& sheet, int row, const SheetColumns& c) {
    for (const int col : {c.date, c.type, c.symbol, c.quantity, c.amount})
        if (!sheet.text(row, col).trimmed().isEmpty())
            return true;
    return false;
}

QStringList texts(const SheetDocument& sheet, int first, int last, int col) {
    QStringList out;
    for (int row = first; row <= last; ++row)
        out << sheet.text(row, col);
    return out;
}

} // namespace

QJsonObject mappingToJson(const ColumnMapping& mapping) {
    QJsonObject json{{"name", mapping.name}, {"firstRow", mapping.firstRow}};
    for (const RoleKey& role : kRoles)
        if (const int col = mapping.columns.*role.column)
            json.insert(QLatin1String(role.key), col);
    return json;
}

std::optional<ColumnMapping> mappingFromJson(const QJsonObject& json, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    ColumnMapping mapping;
    mapping.name = json.value(QLatin1String("name")).toString().trimmed();
    if (mapping.name.isEmpty())
        return fail(QStringLiteral("it has no name"));
    const QJsonValue first = json.value(QLatin1String("firstRow"));
    if (!first.isUndefined()) {
        const double row = first.toDouble(-1);
        if (row < 1 || row > kLastRow || row != int(row))
            return fail(QStringLiteral("firstRow is not a row number"));
        mapping.firstRow = int(row);
    }
    QVector<int> used;
    for (const RoleKey& role : kRoles) {
        const QJsonValue value = json.value(QLatin1String(role.key));
        if (value.isUndefined() || value.isNull()) {
            if (role.required)
                return fail(QStringLiteral("it names no %1 column").arg(role.key));
            continue;
        }
        const int col = columnOf(value);
        if (!col)
            return fail(QStringLiteral("%1 is not a column").arg(role.key));
        if (used.contains(col))
            return fail(QStringLiteral("%1 shares its column with another role").arg(role.key));
        used << col;
        mapping.columns.*role.column = col;
    }
    return mapping;
}

std::optional<ColumnMapping> mappingFromFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parsed);
    if (parsed.error != QJsonParseError::NoError || !document.isObject()) {
        if (error)
            *error = parsed.error != QJsonParseError::NoError ? parsed.errorString()
                                                              : QStringLiteral("not an object");
        return std::nullopt;
    }
    return mappingFromJson(document.object(), error);
}

ParseResult parseWithMapping(const ColumnMapping& mapping, const PageDocument& document,
                             const CaptureSettings& settings) {
    ParseResult result(settings);
    if (!document.isSheet())
        return result.refuse(openSheetMessage());
    const SheetDocument& sheet = *document.sheet;
    OtherLayout layout;
    layout.columns = mapping.columns;
    layout.firstRow = mapping.firstRow;
    layout.lastRow = mapping.firstRow - 1;
    while (layout.lastRow < sheet.rowCount() &&
           anyMappedCell(sheet, layout.lastRow + 1, layout.columns))
        ++layout.lastRow;
    layout.quantityComma =
        usesDecimalComma(texts(sheet, layout.firstRow, layout.lastRow, layout.columns.quantity));
    layout.amountComma =
        usesDecimalComma(texts(sheet, layout.firstRow, layout.lastRow, layout.columns.amount));
    readOtherRows(sheet, layout, settings, result);
    return result;
}

QVector<ColumnMapping> savedMappings(const SettingsStore& settings) {
    QVector<ColumnMapping> out;
    const QJsonArray all =
        QJsonDocument::fromJson(settings.value(kSection, kKey, QString()).toUtf8()).array();
    for (const QJsonValue& value : all)
        if (auto mapping = mappingFromJson(value.toObject(), nullptr))
            out << *mapping;
    return out;
}

std::optional<ColumnMapping> savedMapping(const SettingsStore& settings, const QString& name) {
    for (const ColumnMapping& mapping : savedMappings(settings))
        if (mapping.name == name)
            return mapping;
    return std::nullopt;
}

void saveMapping(SettingsStore& settings, const ColumnMapping& mapping) {
    QJsonArray all;
    bool replaced = false;
    for (const ColumnMapping& saved : savedMappings(settings)) {
        const bool same = saved.name == mapping.name;
        all.append(mappingToJson(same ? mapping : saved));
        replaced = replaced || same;
    }
    if (!replaced)
        all.append(mappingToJson(mapping));
    settings.setValue(kSection, kKey,
                      QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)));
}

} // namespace gainbook
