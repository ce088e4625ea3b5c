#pragma once

#include "main_window/record_view.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

class Prompter;
class SheetModel;

// Each writer stores one grid row and marks it: saved (changed mark and red
// colour cleared) or faulty (red, mark kept). The result is the text for the
// status line, empty when the row was saved.

// New rows: the record goes under the given account; the row's ID cell then
// holds the new record's ID, so a later Save updates instead of inserting
// again.
QString InsertTaxRec(SheetModel& grid, int row, const QSqlDatabase& db, const QString& account);
QString InsertTxnRec(SheetModel& grid, int row, const QSqlDatabase& db, const QString& account);

// Stored rows: a record that has gone from the file is reported through the
// prompter ("Trying to update invalid record") and the row stays marked.
QString UpdateTaxRec(SheetModel& grid, int row, const QSqlDatabase& db, Prompter& prompter);
QString UpdateTxnRec(SheetModel& grid, int row, const QSqlDatabase& db, Prompter& prompter);

// What an edit of a cell does: marks the row changed and rewrites a date
// cell as mm/dd/yyyy. A text that is no date stays as typed; the row turns
// red and the result is "Not a valid date".
QString recordCellChanged(SheetModel& grid, RecordView view, int col, int row);

} // namespace gainbook
