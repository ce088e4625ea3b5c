#include "store/asset_kind_table.h"

#include "platform/instrument_name.h"
#include "store/sql.h"

namespace gainbook {

namespace {

const QString kWashDigitalName = QStringLiteral("WashDigital");
const QString kWashOptionsName = QStringLiteral("WashOptions");

bool storeSettingOn(const QSqlDatabase& db, const QString& name) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT Value FROM StoreSetting WHERE Name = ?"), {name});
    return query.next() && query.value(0).toString() == QLatin1String("on");
}

void setStoreSetting(const QSqlDatabase& db, const QString& name, bool on) {
    runQuery(db,
             QStringLiteral("INSERT INTO StoreSetting (Name, Value) VALUES (?, ?) "
                            "ON CONFLICT (Name) DO UPDATE SET Value = excluded.Value"),
             {name, on ? QStringLiteral("on") : QStringLiteral("off")});
}

} // namespace

QStringList assetKindStatements() {
    return {
        QStringLiteral("CREATE TABLE AssetKind ("
                       "Symbol TEXT NOT NULL PRIMARY KEY, "
                       "Kind TEXT NOT NULL DEFAULT 'security')"),
        QStringLiteral("ALTER TABLE AccountSettings ADD COLUMN Assets TEXT NOT NULL "
                       "DEFAULT 'mixed'"),
        QStringLiteral("CREATE TABLE StoreSetting ("
                       "Name TEXT NOT NULL PRIMARY KEY, "
                       "Value TEXT NOT NULL DEFAULT '')"),
    };
}

QVector<SymbolKindRow> selectSymbolKinds(const QSqlDatabase& db) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT Symbol, Kind FROM AssetKind ORDER BY Symbol"));
    QVector<SymbolKindRow> rows;
    while (query.next()) {
        // A word a later version stored is left out rather than guessed at.
        if (const std::optional<AssetKind> kind = assetKindFromWord(query.value(1).toString()))
            rows.append({query.value(0).toString(), *kind});
    }
    return rows;
}

AssetKinds selectAssetKinds(const QSqlDatabase& db) {
    AssetKinds kinds;
    for (const SymbolKindRow& row : selectSymbolKinds(db))
        kinds.bySymbol.insert(instrumentKey(row.symbol), row.kind);
    QSqlQuery query = runQuery(
        db, QStringLiteral("SELECT AccountName, Assets FROM AccountSettings WHERE Assets <> ?"),
        {accountAssetsWord(AccountAssets::Mixed)});
    while (query.next()) {
        if (const std::optional<AccountAssets> assets =
                accountAssetsFromWord(query.value(1).toString()))
            kinds.byAccount.insert(query.value(0).toString(), *assets);
    }
    return kinds;
}

void setSymbolKind(const QSqlDatabase& db, const QString& symbol, AssetKind kind) {
    runQuery(db,
             QStringLiteral("INSERT INTO AssetKind (Symbol, Kind) VALUES (?, ?) "
                            "ON CONFLICT (Symbol) DO UPDATE SET Kind = excluded.Kind"),
             {textValue(instrumentKey(symbol)), assetKindWord(kind)});
}

AccountAssets selectAccountAssets(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT Assets FROM AccountSettings WHERE AccountName = ?"),
                 {textValue(account)});
    if (!query.next())
        return AccountAssets::Mixed;
    return accountAssetsFromWord(query.value(0).toString()).value_or(AccountAssets::Mixed);
}

void setAccountAssets(const QSqlDatabase& db, const QString& account, AccountAssets assets) {
    runQuery(db,
             QStringLiteral("INSERT INTO AccountSettings (AccountName, Assets) VALUES (?, ?) "
                            "ON CONFLICT (AccountName) DO UPDATE SET Assets = excluded.Assets"),
             {textValue(account), accountAssetsWord(assets)});
}

bool selectWashDigital(const QSqlDatabase& db) {
    return storeSettingOn(db, kWashDigitalName);
}

void setWashDigital(const QSqlDatabase& db, bool on) {
    setStoreSetting(db, kWashDigitalName, on);
}

bool selectWashOptions(const QSqlDatabase& db) {
    return storeSettingOn(db, kWashOptionsName);
}

void setWashOptions(const QSqlDatabase& db, bool on) {
    setStoreSetting(db, kWashOptionsName, on);
}

} // namespace gainbook
