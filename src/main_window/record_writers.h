#pragma once

#include "main_window/tax_view.h"
#include "main_window/txn_view.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

class Prompter;
class TradeChanges;

// Each writer stores the record of one grid row and marks the row's state:
// saved (no longer new or changed, refusal cleared) or refused (the reason
// kept, still changed, drawn red). The result is the text for the status
// line, empty when the row was saved. `rowNumber` names the row in a
// failure of the store ("Row 3 was not saved: ...").
//
// A row is refused, with nothing written, when its symbol is empty ("Check
// Highlighted row for Error") or a cell of it holds a text that could not
// be read ("Not a valid number: abc", "Not a valid date").

// A transaction written is told to `changes` (the stored row before it is
// overwritten), which the caller settles before it commits.

// New rows: the record goes under the given account and takes the new ID,
// so a later Save updates it instead of inserting it again.
QString InsertTaxRec(TaxRow& row, int rowNumber, const QSqlDatabase& db, const QString& account);
QString InsertTxnRec(TxnRow& row, int rowNumber, const QSqlDatabase& db, const QString& account,
                     TradeChanges& changes);

// Stored rows: a record that has gone from the file is reported through the
// prompter ("Trying to update invalid record") and the row stays marked.
QString UpdateTaxRec(TaxRow& row, int rowNumber, const QSqlDatabase& db, Prompter& prompter);
QString UpdateTxnRec(TxnRow& row, int rowNumber, const QSqlDatabase& db, Prompter& prompter,
                     TradeChanges& changes);

} // namespace gainbook
