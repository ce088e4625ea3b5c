#pragma once

#include "main_window/record_view.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "platform/tax_year.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

class Prompter;

// Writes every row that carries the changed mark: a new row is inserted
// under the account, a stored one updated. A row that fails is left
// refused (red) and marked and the others are still written. Returns the
// status-line text of the last failure, else "N records saved" (empty when
// no row was marked).
QString saveChangedRows(QVector<TxnRow>& rows, const QSqlDatabase& db, const QString& account,
                        Prompter& prompter);
QString saveChangedRows(QVector<TaxRow>& rows, const QSqlDatabase& db, const QString& account,
                        Prompter& prompter);

// The records New Record puts on top of the grid, dated in the tax year.
// A new transaction takes the month of the grid's last row; on an empty
// grid the selected month item's, or "All" when an account is selected.
TxnRecord newTxnRecord(const QVector<TxnRow>& rows, const OutlineSelection& filledFor,
                       TaxYear year = {});
TaxRecord newTaxRecord(TaxYear year = {});

struct RowDeleteResult {
    bool removed = false;
    QString status; // a failure for the status line
};

// The Delete key on grid row `rowNumber`: a row never stored goes at once;
// a stored record is deleted after the user confirms.
RowDeleteResult deleteGridRow(const TxnRow& row, int rowNumber, const QSqlDatabase& db,
                              Prompter& prompter);
RowDeleteResult deleteGridRow(const TaxRow& row, int rowNumber, const QSqlDatabase& db,
                              Prompter& prompter);

} // namespace gainbook
