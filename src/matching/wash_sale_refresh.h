#pragma once

#include "matching/wash_sales.h"
#include "platform/outcome.h"
#include "store/account_settings_table.h"
#include "store/database.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

// What a refresh of the wash sales found and changed.
struct WashRefresh {
    qint64 washSales = 0;        // tax records with a disallowed loss
    qint64 recordsRewritten = 0; // sells whose tax records it wrote again
    qint64 recordsWritten = 0;   // tax records written for the fresh sells
};

// An account just matched or recalculated whose tax records are still to be
// written: its sells with their lots (as its links hold them) and the memo
// of each record, in the order written, and its buys when buysGiven (else
// the refresh reads them).
struct FreshMemo {
    qint64 sellId = 0;
    QString memo;
};
struct FreshRecords {
    QString account;
    QVector<FreshMemo> memos;
    QVector<WashSell> sells;
    QVector<WashBuy> buys;
    bool buysGiven = false;
};

// Works out the wash sales of the whole store from scratch (the rule is the
// taxpayer's, not an account's) and brings the stored results in line: the
// replacement lots' adjustments (LotAdjust) are replaced, and the tax
// records of each processed sell that is a wash sale, sells replacement
// shares, or did either before, are written again with their adjusted cost,
// date acquired, box and disallowed loss. Other tax records (typed in,
// imported, or of sells untouched by any wash sale) are left as they are.
// Throws StoreError; the caller holds the transaction.
WashRefresh refreshWashSales(const QSqlDatabase& db);

// The refresh after a processing run or a recalculation: the fresh
// account's trades are taken as given rather than read back, and its tax
// records, not stored yet, are written here in the order given, whatever
// detection finds.
WashRefresh refreshWashSales(const QSqlDatabase& db, FreshRecords fresh);

// What detection works from, as the store holds it now: the settings, asset
// kinds, corporate actions, the adjustments kept, and every trade, each
// processed sell with the lots its links hold. For a what-if that matches
// some accounts anew and lays their trades in place of theirs. Throws
// StoreError.
WashInput readWashInput(const QSqlDatabase& db);

// After an open that brought the file up to this version: the wash sales
// worked through with what the upgrade learnt (old tax records tied to
// their sells), in one transaction, so that an old loss is never counted
// twice, and every processed sell's records in line with the asset kinds
// (boxes G to L). Nothing for any other open. Empty when done, else why not.
QString settleUpgrade(const QSqlDatabase& db, const OpenResult& opened);

// Keeps an account's wash-sale settings and brings the wash sales of the
// store in line with them, in one transaction. The count is the number of
// sells whose tax records were written again.
Outcome changeWashSettings(const QSqlDatabase& db, const QString& account,
                           const WashSettings& settings);

// Keep a symbol's asset kind, what an account holds, or whether digital
// assets are washed, and bring the tax records of every processed sell in
// line (boxes and wash sales), in one transaction. The count is the number
// of sells whose tax records were written again.
Outcome changeSymbolKind(const QSqlDatabase& db, const QString& symbol, AssetKind kind);
Outcome changeAccountAssets(const QSqlDatabase& db, const QString& account, AccountAssets assets);
Outcome changeWashDigital(const QSqlDatabase& db, bool on);

// Keeps whether options of another strike or expiry on one underlying
// replace each other and brings the store's wash sales in line, in one
// transaction. The count is the number of sells whose records changed.
Outcome changeWashOptions(const QSqlDatabase& db, bool on);

} // namespace gainbook
