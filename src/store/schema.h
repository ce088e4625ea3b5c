#pragma once

#include <QSqlDatabase>
#include <QStringList>

namespace gainbook {

// Column positions of a select of all columns; reads take values by these.
namespace TxnCol {
enum : int { ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, Memo, OpenClose };
}
namespace TaxCol {
enum : int {
    ID,
    AccountName,
    Symbol,
    Quantity,
    DateAcquired,
    DateSold,
    Cost,
    SalePrice,
    Memo,
    Box,
    WashAdj,
    SellId
};
}
namespace LinkCol {
enum : int {
    AccountName,
    SellId,
    BuyId,
    BuyQuantity,
    BuyPrice,
    Memo,
    SellDate,
    SellSymbol,
    ByHand
};
}

// The tables in column order: the three of the records and the accounts'
// settings. IDs are 64-bit and never reused, since
// SellLinks names transactions by ID without a declared relation.
QStringList schemaTables();

// Indexes for the per-account searches. Older files get them when they
// are opened (see schema_upgrade.h).
QStringList schemaIndexes();

// Drops the indexes older versions made that no statement uses any more.
// No version step: a file without them still suits those versions.
void dropRetiredIndexes(const QSqlDatabase& db); // throws StoreError
bool hasRetiredIndexes(const QSqlDatabase& db);  // throws StoreError

// Whether the store holds the index of that name (a user may have dropped
// one by hand, which must not stop a query that names it).
bool hasIndex(const QSqlDatabase& db, const QString& name); // throws StoreError

// Creates the tables and indexes of the newest version in an empty database
// and stamps that version. Throws StoreError.
void createSchema(const QSqlDatabase& db);

// The table of per-account settings, as the upgrade that brought it made it.
QString accountSettingsTable();

// The table of lot adjustments of wash sales (see lot_adjust_table.h).
QString lotAdjustTable();

// The sells left out of wash-sale detection (see untied_sell_table.h).
QString untiedSellTable();

// The corporate actions and the accounts whose matching they made stale
// (see corp_action_table.h).
QStringList corpActionTables();

// What narrows an account's mark to process again to the symbols that a
// corporate action touched.
QStringList rematchScopeStatements();

// The tables a Gainbook database must hold (older files get the others when
// they are upgraded).
QStringList requiredTables();

} // namespace gainbook
