#pragma once

#include "matching/match_row.h"
#include "matching/wash_sale_refresh.h"
#include "platform/progress.h"

#include <QSqlDatabase>

namespace gainbook {

// Detaches one lot from its sell: the buy gets the lot's shares back (it is
// open again for other sells) and the link becomes the sell's empty link, or
// goes when the sell has an empty link already. The tax record is left for
// "Save/Recalculate". False when the sell has no such lot. Throws
// StoreError; the caller holds the transaction.
bool detachLot(const QSqlDatabase& db, const LotKey& lot);

// Detaches every lot of an account: each buy gets its shares back, whatever
// account it belongs to, and the account's links go. Throws StoreError; the
// caller holds the transaction.
void detachAllLots(const QSqlDatabase& db, const QString& account);

// The same, except for the links kept (by sell and buy), which stay as they
// are and keep their buys' shares. Throws StoreError.
void detachLotsExcept(const QSqlDatabase& db, const QString& account,
                      const QVector<LinkRecord>& kept);

enum class RecalcStatus { Done, NoLinks, SellMissing };

struct RecalcResult {
    RecalcStatus status = RecalcStatus::Done;
    FreshRecords records;   // Done: the account's sells, lots and memos
    LinkRecord missingSell; // SellMissing: the first link of the sell that is gone
};

// Rebuilds the tax records of an account from its links: per sell, the sum
// of its lot costs and the earliest date of its buys, split by term as the
// run does (splitByTerm). Every tax record of the account is deleted,
// hand-entered ones included; the new ones are left to the wash-sale
// refresh (refreshWashSales with the result's records), which writes them
// once with their adjustments. Throws
// StoreError; the caller holds the transaction and rolls it back unless the
// result is Done. SellMissing: a link names no sell of the account (a
// missing row, a buy, another account's row). Steps the progress link by
// link; its watcher's stop throws RunCancelled.
RecalcResult recalculateTaxRecords(const QSqlDatabase& db, const QString& account,
                                   Progress& progress = unwatchedProgress());

} // namespace gainbook
