#pragma once

#include "platform/asset_kind.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

namespace gainbook {

// The statements that add the asset kinds to a store: the symbols set by
// hand, what each account holds (mixed for one never set, so every symbol
// decides as the well-known coins say) and the store's own settings.
QStringList assetKindStatements();

// The symbols set by hand and the accounts of one kind. Throws StoreError.
AssetKinds selectAssetKinds(const QSqlDatabase& db);

// A symbol set by hand, as typed, with its kind.
struct SymbolKindRow {
    QString symbol;
    AssetKind kind = AssetKind::Security;
};

// The symbols set by hand, by symbol. Throws StoreError.
QVector<SymbolKindRow> selectSymbolKinds(const QSqlDatabase& db);

// Keeps the kind of a symbol (by its instrument key), replacing the one it
// had. Throws StoreError.
void setSymbolKind(const QSqlDatabase& db, const QString& symbol, AssetKind kind);

// What the account holds; Mixed for one never set. Throws StoreError.
AccountAssets selectAccountAssets(const QSqlDatabase& db, const QString& account);
void setAccountAssets(const QSqlDatabase& db, const QString& account, AccountAssets assets);

// Whether the wash-sale rule is applied to digital assets too: off unless
// set, as the rule covers stock and securities only. Throws StoreError.
bool selectWashDigital(const QSqlDatabase& db);
void setWashDigital(const QSqlDatabase& db, bool on);

// Whether options on one underlying of another strike or expiry count as
// substantially identical for wash sales: off unless set, so that only the
// same contract replaces an option. Throws StoreError.
bool selectWashOptions(const QSqlDatabase& db);
void setWashOptions(const QSqlDatabase& db, bool on);

} // namespace gainbook
