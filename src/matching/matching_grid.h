#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QVector>

#include <optional>

namespace gainbook {

class SheetModel;

// Columns of the matching grid. BuyId and SellID are hidden and carry the
// keys that "Update" and a click read back.
namespace MatchGridCol {
enum : int {
    DateSold = 1,
    Quantity,
    Symbol,
    SalePrice,
    Linked,
    BuyDate,
    BuySymbol,
    AppliedQuantity,
    AppliedCost,
    TotalQuantity,
    TotalCost,
    BuyId,
    SellID,
    Count = SellID
};
}

// The caption of the button on a sell that has no buy.
inline const QString kAddCaption = QStringLiteral("Add");

// One applied lot: the sell and the buy its link row names.
struct LotKey {
    qint64 sellId = 0;
    qint64 buyId = 0;
    friend bool operator==(const LotKey&, const LotKey&) = default;
};

// Lays the grid out empty: 13 columns with their headings, widths and
// alignments, the key columns hidden, every cell locked.
void SetupGrid(SheetModel& grid);

// Empties the grid; the layout stays.
void ClearGrid(SheetModel& grid);

// The lots whose "Linked" box the user has cleared, top to bottom.
QVector<LotKey> clearedLots(const SheetModel& grid);

// The row of a lot's check box, or 0 when the grid does not show it.
int lotRow(const SheetModel& grid, const LotKey& lot);

// Fills the matching grid of one account: each sell of the tax year that has
// links, with its buy lots on the same and the following rows, and an "Add"
// button on a sell without a buy. Sells of other years and their lots are
// left out.
class MatchingGrid {
public:
    // Throws StoreError; the grid is then laid out and holds what was read.
    void FillGrid(SheetModel& grid, const QSqlDatabase& db, const QString& account);

private:
    struct Row {
        QStringList texts;
        int linked = 0; // 0 nothing, 1 check box, 2 "Add" button
    };
    // A link row with the sell and the buy it names, when they exist in the
    // account.
    struct LinkRead {
        LinkRecord link;
        std::optional<TxnRecord> sell;
        std::optional<TxnRecord> buy;
    };

    void FillSellRec(const LinkRead& read);
    void FillBuyRec(const LinkRead& read);
    Row& rowAt(int row);

    QVector<Row> rows_;

    int GridRow = 1;       // the next row to fill
    qint64 LastSellId = 0; // the sell whose links are being read
    bool SkipSell = false; // that sell lies outside the tax year
    bool BuyShown = false; // a lot of that sell has been shown
    bool AddShown = false; // that sell has its "Add" button
};

} // namespace gainbook
