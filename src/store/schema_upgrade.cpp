#include "store/schema_upgrade.h"

#include "store/asset_kind_table.h"
#include "store/box_upgrade.h"
#include "store/lot_method_table.h"
#include "store/schema.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/transfer_link_table.h"
#include "store/unknown_cost_table.h"
#include "store/untied_sell_table.h"

namespace gainbook {

SchemaStep schemaStatements(QStringList statements) {
    return [statements = std::move(statements)](const QSqlDatabase& db) {
        for (const QString& sql : statements)
            runQuery(db, sql);
    };
}

const QVector<SchemaStep>& schemaSteps() {
    static const QVector<SchemaStep> steps{
        // 1: the tables as they were, stamped; older files may lack indexes.
        schemaStatements(schemaIndexes()),
        // 2: the Form 8949 box of every tax record, and the account settings.
        addFormBoxes,
        // 3: each link names its sell's date and symbol, so a link whose
        // sell was deleted can still say which sell it was.
        schemaStatements({
            QStringLiteral("ALTER TABLE SellLinks ADD COLUMN SellDate TEXT"),
            QStringLiteral("ALTER TABLE SellLinks ADD COLUMN SellSymbol TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("UPDATE SellLinks SET "
                           "SellDate = (SELECT TxnDate FROM Txn WHERE Txn.ID = SellLinks.SellId), "
                           "SellSymbol = COALESCE((SELECT Symbol FROM Txn "
                           "WHERE Txn.ID = SellLinks.SellId), '')"),
        }),
        // 4: the loss a wash sale disallows, kept beside the record's gain.
        schemaStatements({
            QStringLiteral("ALTER TABLE TaxRec ADD COLUMN WashAdj REAL NOT NULL DEFAULT 0"),
        }),
        // 5: wash-sale detection: the replacement lots' adjustments, each
        // record's sell (records written before have none and are left as
        // they are until their account is processed or recalculated again)
        // and the accounts' wash-sale settings.
        schemaStatements(QStringList{
            QStringLiteral("ALTER TABLE TaxRec ADD COLUMN SellId INTEGER NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE AccountSettings ADD COLUMN WashSales INTEGER NOT "
                           "NULL DEFAULT 1"),
            QStringLiteral("ALTER TABLE AccountSettings ADD COLUMN WashOtherAccounts INTEGER "
                           "NOT NULL DEFAULT 1"),
            QStringLiteral("ALTER TABLE AccountSettings ADD COLUMN TaxAdvantaged INTEGER NOT "
                           "NULL DEFAULT 0"),
            lotAdjustTable(),
        }),
        // 6: corporate actions (splits, symbol changes) and the accounts
        // whose links an action changed since they were processed.
        schemaStatements(corpActionTables()),
        // 7: the tax records written before step 5 take their sell's ID
        // where it is beyond doubt; the other sells with such records stay
        // out of wash-sale detection until processed again.
        tieOldTaxRecords,
        // 8: links the user picked by hand are told from the run's, so that
        // processing again keeps them; a corporate action marks only the
        // symbols it touched. Links written before are taken as the run's.
        [](const QSqlDatabase& db) {
            runQuery(db, QStringLiteral(
                             "ALTER TABLE SellLinks ADD COLUMN ByHand INTEGER NOT NULL DEFAULT 0"));
            for (const QString& sql : rematchScopeStatements())
                runQuery(db, sql);
        },
        // 9: the buys whose cost is not known yet (shares transferred in);
        // files before it have none.
        schemaStatements(unknownCostTable()),
        // 10: the lot method of each account and of the instruments that
        // differ from it; none kept is oldest first, as before.
        schemaStatements({lotMethodTable()}),
        // 11: digital assets: the symbols set by hand, what each account
        // holds and the store's own settings; none kept lets the well-known
        // coins alone be digital.
        schemaStatements(assetKindStatements()),
        // 12: whether a trade opens or closes a position ("Open", "Close"),
        // as the broker's words said; a trade without them is a plain buy
        // or sell, as before.
        schemaStatements({
            QStringLiteral("ALTER TABLE Txn ADD COLUMN OpenClose TEXT NOT NULL DEFAULT ''"),
        }),
        // 13: sends linked to the receives they became in another account,
        // which move lots without a sale; files before it have none.
        schemaStatements(transferLinkTable()),
        // 14: the part of a stock trade's amount that an assigned or
        // exercised option carried into it, so that processing again takes
        // it out before carrying it anew; 0 is the broker's amount, as
        // before.
        schemaStatements({
            QStringLiteral("ALTER TABLE Txn ADD COLUMN Premium REAL NOT NULL DEFAULT 0"),
        }),
        // 15: the lots each receive brought into its account, as its run
        // left them, and the day from which an account waits for a
        // receive; files before it have none, and their receiving accounts
        // list their moved lots once processed again.
        schemaStatements(movedLotStatements()),
    };
    return steps;
}

int currentSchemaVersion() {
    return int(schemaSteps().size());
}

int schemaVersion(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, QStringLiteral("PRAGMA user_version"));
    return query.next() ? query.value(0).toInt() : 0;
}

void setSchemaVersion(const QSqlDatabase& db, int version) {
    // A pragma takes no bound parameter; the value is a number of ours.
    runQuery(db, QStringLiteral("PRAGMA user_version = %1").arg(version));
}

SchemaUpgrade upgradeSchema(const QSqlDatabase& db, const QVector<SchemaStep>& steps,
                            const BeforeUpgrade& before) {
    const auto settled = [&](int version) {
        return version > steps.size() ? SchemaUpgrade::Newer : SchemaUpgrade::Current;
    };
    if (const int version = schemaVersion(db); version >= steps.size())
        return settled(version);
    Transaction transaction(db);
    // Read again under the write lock: another program may have brought the
    // file up while this one waited for it.
    const int from = schemaVersion(db);
    if (from >= steps.size())
        return settled(from);
    if (before)
        before(from);
    for (qsizetype step = from; step < steps.size(); ++step)
        steps[step](db);
    setSchemaVersion(db, int(steps.size()));
    transaction.commit();
    return SchemaUpgrade::Upgraded;
}

} // namespace gainbook
