#pragma once

#include "app/tax_year.h"
#include "store/records.h"

#include <QSqlDatabase>
#include <QStringList>

namespace gainbook {

class SheetModel;

// Columns of the tax view.
namespace TaxGridCol {
enum : int {
    Symbol = 1,
    Quantity,
    DateBought,
    DateSold,
    Cost,
    Proceed,
    Gain,
    Comment,
    ID,
    Count = ID
};
}

// The three totals below the tax view.
struct TaxTotals {
    int records = 0;
    Money proceeds; // sale prices above zero
    Money gain;     // sale price minus cost, losses included

    QString recordsText() const;  // "Total Records 2"
    QString proceedsText() const; // "Total Proceed 1,500.00"
    QString gainText() const;     // "Total Gain/Loss 250.00"
};

// Sets the nine columns of the tax view and empties the grid.
void SetupTaxGrid(SheetModel& grid);

// The cells of one tax record as the grid shows them.
QStringList taxRowTexts(const TaxRecord& record);

// Fills the grid with the account's tax records sold in the tax year, sorted
// by symbol (ties by date sold), and returns their totals. Throws StoreError.
TaxTotals FillGrid(SheetModel& grid, const QSqlDatabase& db, const QString& account,
                   TaxYear year = {});

} // namespace gainbook
