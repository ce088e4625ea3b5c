#pragma once

#include "buy_selection/buy_selection.h"
#include "platform/record_columns.h"

namespace gainbook {

// A row of the buy selection grid: the buy offered and, as the row's state,
// whether it was entered here with "New Buy" and is not stored yet (isNew).
using BuyTableRow = RecordRow<BuyRow>;

// How the buy selection grid shows a buy and reads typed cells back. The
// box is always the user's; a listed buy takes the applied quantity and
// cost, a buy entered here its date, symbol, quantity and cost instead.
// Numbers are read as typed ("1,250.00", "(12.50)", "$1,250"); a text that
// is not one is refused with "Not a valid number: " and the text, a date
// that is no date with "Not a valid date: " and the text.
class BuyColumns final : public RecordColumns<BuyRow> {
public:
    QVector<GridColumn> layout() const override;
    QString text(const BuyRow& row, int col) const override;
    QString parse(BuyRow& row, int col, const QString& text) const override;
    SortKey sortKey(const BuyRow& row, int col) const override;
    bool locked(const BuyTableRow& row, int col, bool columnLocked) const override;
    // The shares as bought, on the total of a buy converted by splits.
    QString cellTip(const BuyRow& row, int col) const override;
};

// The refusal of a row's first cell that cannot be read, in column order; a
// buy entered here also needs a date. Empty when the row reads well.
QString buyRowRefusal(const BuyTableRow& row);

} // namespace gainbook
