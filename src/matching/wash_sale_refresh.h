#pragma once

#include "platform/outcome.h"
#include "store/account_settings_table.h"

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

// The sells of an account just matched whose tax records are still to be
// written, each with the memo of its record, in the order matched.
struct FreshSell {
    qint64 sellId = 0;
    QString memo;
};
struct FreshRecords {
    QString account;
    QVector<FreshSell> sells;
};

// Works out the wash sales of the whole store from scratch (the rule is the
// taxpayer's, not an account's) and brings the stored results in line: the
// replacement lots' adjustments (LotAdjust) are replaced, and the tax
// records of each processed sell that is a wash sale, sells replacement
// shares, or did either before, are written again with their adjusted cost,
// date acquired, box and disallowed loss. Other tax records (typed in,
// imported, or of sells untouched by any wash sale) are left as they are.
// With fresh, the account's records are not stored yet: they are written
// here, in the order given, whatever detection finds. Throws StoreError; the
// caller holds the transaction.
WashRefresh refreshWashSales(const QSqlDatabase& db, const FreshRecords* fresh = nullptr);

// Keeps an account's wash-sale settings and brings the wash sales of the
// store in line with them, in one transaction. The count is the number of
// sells whose tax records were written again.
Outcome changeWashSettings(const QSqlDatabase& db, const QString& account,
                           const WashSettings& settings);

} // namespace gainbook
