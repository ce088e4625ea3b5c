#pragma once

#include <QSqlDatabase>

namespace gainbook {

// The upgrade step that brings the Form 8949 box: TaxRec gains the column
// Box, filled for the rows already there from their term as an account of
// the default setting gets it (A short, D long, empty when the date
// acquired is unknown), and the table of account settings is made. It runs
// inside the upgrade's transaction. Throws StoreError.
void addFormBoxes(const QSqlDatabase& db);

} // namespace gainbook
