#pragma once

#include <QSet>
#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// Tax records written before wash sales were detected name no sell
// (SellId 0), so detection cannot write them again: a loss kept in full
// there while detection added it to a replacement lot would count twice.
//
// The upgrade step that ties them: a sell of the trades (a Sold row with
// links of its own account) that has none of the records with its ID yet
// takes the old records of its account, symbol and date sold when it is
// the only such sell of that day and those one or two records (two when
// split by term) add up to its quantity. Where old records lie on that day
// but cannot be told apart, the day's sells are kept in UntiedSell instead,
// and detection leaves them out. Records typed in or imported (no sell with
// links on their day) stay as they are. It runs inside the upgrade's
// transaction. Throws StoreError.
void tieOldTaxRecords(const QSqlDatabase& db);

// The sells left out of wash-sale detection, until their account is
// processed or recalculated: both begin by deleteTaxRecsOfAccount, which
// lets the account's sells go. Throws StoreError.
QSet<qint64> selectUntiedSells(const QSqlDatabase& db);
void clearUntiedSells(const QSqlDatabase& db, const QString& account);

} // namespace gainbook
