#pragma once

#include "store/records.h"
#include "support/test_database.h"
#include "support/test_files.h"

#include <QStringList>
#include <QVector>

namespace gainbook::test {

// Transactions written as "B|IBM|100|2000-01-03|-1000" (B bought, S sold:
// symbol, quantity, date, amount), added to one account in that order. Two
// letters add the open/close word (SO sold to open, BC bought to close);
// E, A and X are an option expired, assigned or exercised.
QVector<qint64> addRows(TestDatabase& db, const QString& account, const QStringList& rows);

// The account's links as "sell>buy qty cost", sells and buys named by their
// position in the rows ("-" for BuyId 0), in the order they were written.
QStringList describeLinks(TestDatabase& db, const QString& account, const QVector<qint64>& ids);

// The Memo of each row, in order.
QStringList memos(TestDatabase& db, const QVector<qint64>& ids);

// The account's tax records in the order written.
QVector<TaxRecord> taxRecsOf(TestDatabase& db, const QString& account);

// The account's tax records in the order written, as
// "symbol|qty|acquired|sold|cost|salePrice|memo".
QStringList describeTaxRecs(TestDatabase& db, const QString& account);

// Checks what every run and edit must keep: the open quantity of a buy plus
// all its applied quantities is its quantity; no lot is applied twice; the
// tax records of each sell (one, or two split by term) add up to its
// quantity, its amount and the sum of its lots (within the rounding of the
// lots when fromRun). Returns an empty text when they hold.
QString checkInvariants(TestDatabase& db, const QString& account, bool fromRun);

} // namespace gainbook::test
