#pragma once

#include "platform/form8949_box.h"
#include "platform/holding_term.h"
#include "store/records.h"

#include <QDate>

#include <span>

namespace gainbook {

// One buy lot applied to a sell, as its tax record counts it. An invalid
// date marks a lot whose buy is unknown (the empty link, a missing buy).
struct AppliedLot {
    Quantity quantity;
    Money cost;
    QDate acquired;
};

// The figures of one tax record of a sell: what its lots decide and what
// differs between the two records of a sell held both terms. The account,
// symbol, date sold and memo are the sell's.
struct TermFigures {
    Quantity quantity;
    QDate dateAcquired;
    Money cost;
    Money salePrice;
    Money washAdjustment;
    Form8949Box box = Form8949Box::None;
};

// The figures of a sell's one or two tax records, for a run that holds a
// million sells and need not hold a full record of each.
struct TermParts {
    TermFigures parts[2];
    int count = 0;
};

// The figures of the tax records of a sell of quantity shares sold on
// dateSold for salePrice, from its applied lots. When the dated lots fall in
// both terms the sell becomes two records, long term first, each with its
// own lots' quantity, cost and earliest date; the proceeds are shared by
// quantity, the long part rounded to cents and the short part the rest, so
// they add up to the sell's amount. Lots of unknown buys and any quantity no
// lot covered stay with the short part: nothing shows them held a year. Lots
// all in one term give one record; no dated lot at all leaves the date
// acquired empty. Box and wash adjustment are left empty.
TermParts splitFigures(Quantity quantity, const QDate& dateSold, Money salePrice,
                       std::span<const AppliedLot> lots);

// Gives each record the box of its own term under the account's setting,
// a digital asset's of its sale year.
void setBoxes(TermParts& parts, const QDate& dateSold, BasisReporting basis,
              AssetKind kind = AssetKind::Security);

// The tax record of one part: sell's account, symbol, date sold, memo and
// sell ID with the part's figures.
TaxRecord recordOf(const TaxRecord& sell, const TermFigures& part);

} // namespace gainbook
