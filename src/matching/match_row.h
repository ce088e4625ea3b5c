#pragma once

#include "store/records.h"

#include <QStringList>

#include <optional>

namespace gainbook {

// One applied lot: the sell and the buy its link row names.
struct LotKey {
    qint64 sellId = 0;
    qint64 buyId = 0;
    friend bool operator==(const LotKey&, const LotKey&) = default;
};

// One row of the matching grid. The first row of a sell carries the sell;
// a row shows either one lot (the link and the buy it names) or the "Add"
// button of a sell that has no buy. Every row carries its link, so the
// sell is known on each.
struct MatchRow {
    std::optional<TxnRecord> sell; // on the sell's first row only
    std::optional<TxnRecord> buy;  // the lot's buy; none on a row with the button
    LinkRecord link;
    bool linked = true;       // the lot's box; cleared, "Update" detaches the lot
    bool costUnknown = false; // the lot's buy is shares transferred in, their cost not entered yet
    bool hasAddButton = false;

    bool hasLot() const { return buy.has_value(); }
    LotKey lot() const { return {link.sellId, link.buyId}; }
};

// Columns of the matching grid, numbered from 1. BuyId and SellID are
// hidden on screen and printed by the command-line tool.
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

// The sells of the rows with a lot of shares transferred in whose cost is
// not entered yet: they stay to be checked until the cost is typed.
qsizetype sellsOfUnknownCost(const QVector<MatchRow>& rows);

// The caption of the button on a sell that has no buy.
inline const QString kAddCaption = QStringLiteral("Add");

// The headings of the grid's columns, in column order.
QStringList matchGridHeadings();

// The texts a row shows, one per column: dates "mm/dd/yyyy", amounts with
// two decimals and no grouping, "1"/"0" for a checked/cleared box.
QStringList matchRowTexts(const MatchRow& row);

} // namespace gainbook
