#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

namespace gainbook {

class Prompter;
class SheetModel;

// Columns of the buy selection grid. Column 8 carries the buy's ID, or
// kNewBuyMarker for a buy entered here and not stored yet.
namespace BuyGridCol {
enum : int {
    Linked = 1,
    Date,
    Symbol,
    Applied,
    AppliedCost,
    Total,
    TotalCost,
    Comments,
    Count = Comments
};
}

// No stored ID can take this text, so a new row is never mistaken for a buy.
inline const QString kNewBuyMarker = QStringLiteral("new");

// The four entries of the buy filter, in list order.
enum class BuyFilter {
    NotAccountedSameAccount,
    AllSameAccount,
    NotAccountedAllAccounts,
    AllAllAccounts
};
QStringList buyFilterEntries();

// What filling the grid came to.
enum class BuyFill {
    Filled, // rows listed (the grid may still be empty after a No)
    NoBuys  // the account has no buy at all: the screen closes
};

// The buy selection of one sell: reads the sell, lists the buys of the
// chosen filter, and links the marked ones to the sell. Owns no widgets; the
// screen and the headless tool drive it over a SheetModel.
class BuySelection {
public:
    BuySelection(QSqlDatabase db, qint64 sellId, QString account);

    // Reads the sell; false when it is not in the account. Throws StoreError.
    bool FillSellRec();
    const std::optional<TxnRecord>& sell() const { return sell_; }

    // "Select buy records for 100 IBM Sell of 03/05/2000", or an empty text
    // while the sell is unknown.
    QString heading() const;

    // Lays the grid out and lists the buys of the filter. When there are
    // none, asks whether to show every buy of the account. Throws StoreError.
    BuyFill FillGrid(SheetModel& grid, BuyFilter filter, Prompter& prompter);

    // Adds a marked new buy row on top, prefilled from the sell.
    void cmdNew(SheetModel& grid);

    // Rewrites a Date cell in "mm/dd/yyyy"; false (text kept) when it is no date.
    static bool normalizeDateCell(SheetModel& grid, int row);

    // Links every marked row to the sell, in one transaction: new buys are
    // stored first, each buy's open quantity is lowered, the sell's empty
    // link is removed. Applied rows are unmarked and carry their stored ID,
    // so a second Apply writes only rows marked since. On failure nothing is
    // written, the marks stay and the message is returned.
    std::optional<QString> Apply(SheetModel& grid);

    // Whether any row is marked and not yet applied.
    static bool hasMarks(const SheetModel& grid);

private:
    struct Lot {
        double quantity;
        double cost;
    };
    Lot appliedLot(const SheetModel& grid, int row) const;
    qint64 InsertNewTxn(const SheetModel& grid, int row);

    QSqlDatabase db_;
    qint64 sellId_;
    QString account_;
    std::optional<TxnRecord> sell_;
};

} // namespace gainbook
