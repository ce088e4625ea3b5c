#include "store/schema.h"

#include "store/asset_kind_table.h"
#include "store/lot_method_table.h"
#include "store/schema_upgrade.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/transfer_link_table.h"
#include "store/unknown_cost_table.h"

namespace gainbook {

QStringList schemaTables() {
    return QStringList{
               QStringLiteral("CREATE TABLE Txn ("
                              "ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "AccountName TEXT NOT NULL DEFAULT '', "
                              "TxnMonth TEXT NOT NULL DEFAULT '', "
                              "Symbol TEXT NOT NULL DEFAULT '', "
                              "Quantity REAL NOT NULL DEFAULT 0, "
                              "Type TEXT NOT NULL DEFAULT '', "
                              "TxnDate TEXT, "
                              "Amount REAL NOT NULL DEFAULT 0, "
                              "Memo TEXT NOT NULL DEFAULT '', "
                              "OpenClose TEXT NOT NULL DEFAULT '', "
                              "Premium REAL NOT NULL DEFAULT 0)"),
               QStringLiteral("CREATE TABLE TaxRec ("
                              "ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "AccountName TEXT NOT NULL DEFAULT '', "
                              "Symbol TEXT NOT NULL DEFAULT '', "
                              "Quantity REAL NOT NULL DEFAULT 0, "
                              "DateAcquired TEXT, "
                              "DateSold TEXT, "
                              "Cost REAL NOT NULL DEFAULT 0, "
                              "SalePrice REAL NOT NULL DEFAULT 0, "
                              "Memo TEXT NOT NULL DEFAULT '', "
                              "Box TEXT NOT NULL DEFAULT '', "
                              "WashAdj REAL NOT NULL DEFAULT 0, "
                              "SellId INTEGER NOT NULL DEFAULT 0)"),
               QStringLiteral("CREATE TABLE SellLinks ("
                              "AccountName TEXT NOT NULL DEFAULT '', "
                              "SellId INTEGER NOT NULL, "
                              "BuyId INTEGER NOT NULL, "
                              "BuyQuantity REAL NOT NULL DEFAULT 0, "
                              "BuyPrice REAL NOT NULL DEFAULT 0, "
                              "Memo TEXT NOT NULL DEFAULT ' ', "
                              "SellDate TEXT, "
                              "SellSymbol TEXT NOT NULL DEFAULT '', "
                              "ByHand INTEGER NOT NULL DEFAULT 0, "
                              "UNIQUE (SellId, BuyId))"),
               // The settings as the wash-sale upgrade left them.
               QStringLiteral("CREATE TABLE AccountSettings ("
                              "AccountName TEXT NOT NULL PRIMARY KEY, "
                              "BasisReported TEXT NOT NULL DEFAULT 'yes', "
                              "WashSales INTEGER NOT NULL DEFAULT 1, "
                              "WashOtherAccounts INTEGER NOT NULL DEFAULT 1, "
                              "TaxAdvantaged INTEGER NOT NULL DEFAULT 0)"),
               lotAdjustTable(),
           } +
           corpActionTables() + QStringList{untiedSellTable()} + unknownCostTable() +
           QStringList{lotMethodTable()} + rematchScopeStatements() + assetKindStatements() +
           transferLinkTable() + movedLotStatements();
}

QStringList rematchScopeStatements() {
    // Whole 0: only the sells of the symbols listed beside it are matched
    // again; a trade changed by hand makes the whole account stale.
    return {
        QStringLiteral("ALTER TABLE Rematch ADD COLUMN Whole INTEGER NOT NULL DEFAULT 1"),
        QStringLiteral("CREATE TABLE RematchSymbol (AccountName TEXT NOT NULL, "
                       "Symbol TEXT NOT NULL, PRIMARY KEY (AccountName, Symbol))"),
    };
}

QStringList corpActionTables() {
    // The ratio is REAL: a ratio read off a broker's row (shares after to
    // shares before) need not reduce to small whole numbers, and fractional
    // shares from a split are kept.
    return {
        QStringLiteral("CREATE TABLE CorpAction ("
                       "ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "Symbol TEXT NOT NULL DEFAULT '', "
                       "EffectiveDate TEXT, "
                       "Kind TEXT NOT NULL DEFAULT 'split', "
                       "RatioNew REAL NOT NULL DEFAULT 1, "
                       "RatioOld REAL NOT NULL DEFAULT 1, "
                       "NewSymbol TEXT NOT NULL DEFAULT '', "
                       "Note TEXT NOT NULL DEFAULT '')"),
        QStringLiteral("CREATE TABLE Rematch (AccountName TEXT NOT NULL PRIMARY KEY)"),
    };
}

QString lotAdjustTable() {
    return QStringLiteral("CREATE TABLE LotAdjust ("
                          "BuyId INTEGER NOT NULL, "
                          "FirstShare REAL NOT NULL DEFAULT 0, "
                          "Shares REAL NOT NULL DEFAULT 0, "
                          "AddedCost REAL NOT NULL DEFAULT 0, "
                          "DaysBack INTEGER NOT NULL DEFAULT 0, "
                          "LossSellId INTEGER NOT NULL DEFAULT 0, "
                          "LossAccount TEXT NOT NULL DEFAULT '', "
                          "Permanent INTEGER NOT NULL DEFAULT 0)");
}

QString untiedSellTable() {
    return QStringLiteral("CREATE TABLE UntiedSell ("
                          "SellId INTEGER NOT NULL PRIMARY KEY, "
                          "AccountName TEXT NOT NULL DEFAULT '')");
}

QString accountSettingsTable() {
    // An account without a row has the default of every setting.
    return QStringLiteral("CREATE TABLE AccountSettings ("
                          "AccountName TEXT NOT NULL PRIMARY KEY, "
                          "BasisReported TEXT NOT NULL DEFAULT 'yes')");
}

QStringList schemaIndexes() {
    return {
        // The views read an account in date order; a month is small enough to sort.
        QStringLiteral("CREATE INDEX IF NOT EXISTS TxnByAccountDate "
                       "ON Txn (AccountName, TxnDate, Symbol)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS TxnByAccountMonth "
                       "ON Txn (AccountName, TxnMonth)"),
        // Only open buys: a used-up buy leaves the index when its Memo becomes
        // "0", so the searches of later sells never step over it.
        QStringLiteral("CREATE INDEX IF NOT EXISTS TxnOpenBuys "
                       "ON Txn (AccountName, Symbol, TxnDate) "
                       "WHERE Type = 'Bought' AND Memo > '0'"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS TaxRecByAccount "
                       "ON TaxRec (AccountName, DateSold)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS TaxRecByDateSold ON TaxRec (DateSold)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS SellLinksByAccount "
                       "ON SellLinks (AccountName, SellId)"),
    };
}

namespace {

// The search of a sell's buys by kind and symbol prefix, from before the
// processing run matched in memory: nothing reads it any more, and it cost
// every capture and every run a fifth of their writes.
const QString kRetiredIndex = QStringLiteral("TxnByAccountTypeSymbol");

} // namespace

void dropRetiredIndexes(const QSqlDatabase& db) {
    runQuery(db, QStringLiteral("DROP INDEX IF EXISTS ") + kRetiredIndex);
}

bool hasRetiredIndexes(const QSqlDatabase& db) {
    return hasIndex(db, kRetiredIndex);
}

bool hasIndex(const QSqlDatabase& db, const QString& name) {
    return runQuery(db,
                    QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"),
                    {name})
        .next();
}

QStringList requiredTables() {
    return {QStringLiteral("Txn"), QStringLiteral("TaxRec"), QStringLiteral("SellLinks")};
}

void createSchema(const QSqlDatabase& db) {
    Transaction transaction(db);
    for (const QString& sql : schemaTables())
        runQuery(db, sql);
    for (const QString& sql : schemaIndexes())
        runQuery(db, sql);
    setSchemaVersion(db, currentSchemaVersion());
    transaction.commit();
}

} // namespace gainbook
