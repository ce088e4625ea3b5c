#pragma once

#include "platform/form8949_box.h"
#include "platform/holding_term.h"
#include "platform/money.h"

#include <QDate>
#include <QString>
#include <QVector>

#include <optional>

namespace gainbook {

class SheetDocument;

// One lot of a broker's realized gain/loss file (the detail of Form 1099-B).
struct RealizedLot {
    int row = 0;    // the sheet row it came from
    QString symbol; // the symbol, or the description where the file has none
    Quantity quantity;
    QDate dateAcquired; // invalid for "Various" or an empty cell
    QDate dateSold;
    Money proceeds;
    Money cost;
    std::optional<Money> washAdjustment; // nothing when the file has no such column
    HoldingTerm term = HoldingTerm::Unknown;
    Form8949Box box = Form8949Box::None; // None when the file names none
};

// The lots of a sheet and the rows that could not be read.
struct RealizedLots {
    QVector<RealizedLot> lots;
    int unreadable = 0; // a quantity, date sold, proceeds or cost that is no value
    bool found = false; // the sheet has the heading row of such a file
    QString readAs;     // "Read as a Fidelity realized gain/loss download." for a broker's layout
};

// Finds the heading row of a broker's own layout, the way a trade history's
// is found; else, in the first 30 rows, one of a description or symbol, a
// quantity, the date sold, proceeds and cost; date acquired, wash sale
// adjustment, term and box when present) and reads the lots under it up
// to the first empty row. Totals lines are passed over.
RealizedLots readRealizedLots(const SheetDocument& sheet, const QDate& today);

} // namespace gainbook
