#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QStringList>

#include <optional>

namespace gainbook {

class SheetModel;

// Columns of the transaction view.
namespace TxnGridCol {
enum : int { Month = 1, Symbol, Quantity, TxnType, TxnDate, TxnAmount, Comment, ID, Count = ID };
}

// Sets the eight columns of the transaction view and empties the grid.
void SetupTxnGrid(SheetModel& grid);

// The cells of one transaction as the grid shows them.
QStringList txnRowTexts(const TxnRecord& record);

// Fills the grid with the transactions of an account, or of one of its
// months, by date (ties by symbol, then as captured). Throws StoreError.
void FillGrid1(SheetModel& grid, const QSqlDatabase& db, const QString& account,
               const std::optional<QString>& month);

} // namespace gainbook
