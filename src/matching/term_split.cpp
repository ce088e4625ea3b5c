#include "matching/term_split.h"

#include <algorithm>

namespace gainbook {

namespace {

// The lots of one term: their shares, cost and earliest buy.
struct TermLots {
    Quantity quantity;
    Money cost;
    QDate earliest;
    bool any = false;

    void add(const AppliedLot& lot) {
        quantity += lot.quantity;
        cost += lot.cost;
        if (!any || lot.acquired < earliest)
            earliest = lot.acquired;
        any = true;
    }
};

} // namespace

TermParts splitFigures(Quantity quantity, const QDate& dateSold, Money salePrice,
                       std::span<const AppliedLot> lots) {
    TermLots shortPart;
    TermLots longPart;
    Money undatedCost;
    for (const AppliedLot& lot : lots) {
        switch (holdingTerm(lot.acquired, dateSold)) {
        case HoldingTerm::Long:
            longPart.add(lot);
            break;
        case HoldingTerm::Short:
            shortPart.add(lot);
            break;
        case HoldingTerm::Unknown:
            undatedCost += lot.cost;
            break;
        }
    }

    TermParts out;
    if (!(shortPart.any && longPart.any && quantity.isPositive())) {
        TermFigures& whole = out.parts[0];
        whole.quantity = quantity;
        whole.salePrice = salePrice;
        whole.cost = shortPart.cost + longPart.cost + undatedCost;
        if (shortPart.any && longPart.any) // only for a sell of no shares
            whole.dateAcquired = std::min(shortPart.earliest, longPart.earliest);
        else
            whole.dateAcquired = longPart.any ? longPart.earliest : shortPart.earliest;
        out.count = 1;
        return out;
    }

    TermFigures& held = out.parts[0];
    held.quantity = longPart.quantity;
    held.cost = longPart.cost;
    held.dateAcquired = longPart.earliest;
    held.salePrice = salePrice.scaled(longPart.quantity, quantity).roundedToCents();

    TermFigures& recent = out.parts[1];
    recent.quantity = quantity - longPart.quantity;
    recent.cost = shortPart.cost + undatedCost;
    recent.dateAcquired = shortPart.earliest;
    recent.salePrice = salePrice - held.salePrice;
    out.count = 2;
    return out;
}

void setBoxes(TermParts& parts, const QDate& dateSold, BasisReporting basis, AssetKind kind) {
    for (int i = 0; i < parts.count; ++i) {
        TermFigures& part = parts.parts[i];
        part.box = boxFor(holdingTerm(part.dateAcquired, dateSold), basis, kind, dateSold);
    }
}

TaxRecord recordOf(const TaxRecord& sell, const TermFigures& part) {
    TaxRecord record = sell;
    record.quantity = part.quantity;
    record.dateAcquired = part.dateAcquired;
    record.cost = part.cost;
    record.salePrice = part.salePrice;
    record.washAdjustment = part.washAdjustment;
    record.box = part.box;
    return record;
}

} // namespace gainbook
