#pragma once

#include "app/tax_year.h"
#include "main_window/record_view.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

class Prompter;
class SheetModel;

// Writes every row that carries the changed mark, insert or update by its
// ID cell. A row that fails is left red and marked and the others are still
// written. Returns the status-line text of the last failure, or an empty
// text when every row was saved.
QString saveChangedRows(SheetModel& grid, RecordView view, const QSqlDatabase& db,
                        const QString& account, Prompter& prompter);

// Puts a new row on top, prefilled for the view. In the transaction view
// the month is the last row's, or emptyGridMonth when the grid is empty.
// New rows are dated in the tax year.
void addNewRecord(SheetModel& grid, RecordView view, const QString& emptyGridMonth,
                  TaxYear year = {});

// The month a new transaction row takes on an empty grid: the selected
// month item, or "All" when an account is selected.
QString monthForNewRecord(const OutlineSelection& selection);

struct RowDeleteResult {
    bool removed = false;
    QString status; // a failure for the status line
};

// The Delete key on a grid row: a row never stored goes at once; a stored
// record is deleted after the user confirms.
RowDeleteResult deleteGridRow(SheetModel& grid, RecordView view, int row, const QSqlDatabase& db,
                              Prompter& prompter);

// The ID cell's column in the view.
int idColumn(RecordView view);

} // namespace gainbook
