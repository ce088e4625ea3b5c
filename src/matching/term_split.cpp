#include "matching/term_split.h"

#include "matching/open_quantity.h"

#include <algorithm>

namespace gainbook {

namespace {

// The lots of one term: their shares, cost and earliest buy.
struct TermPart {
    double quantity = 0;
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

TermRecords splitByTerm(const TaxRecord& sell, std::span<const AppliedLot> lots) {
    TermPart shortPart;
    TermPart longPart;
    Money undatedCost;
    for (const AppliedLot& lot : lots) {
        switch (holdingTerm(lot.acquired, sell.dateSold)) {
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

    TermRecords out;
    if (!(shortPart.any && longPart.any && sell.quantity > 0)) {
        TaxRecord& whole = out.records[0] = sell;
        whole.cost = shortPart.cost + longPart.cost + undatedCost;
        if (shortPart.any && longPart.any) // only for a sell of no shares
            whole.dateAcquired = std::min(shortPart.earliest, longPart.earliest);
        else
            whole.dateAcquired = longPart.any ? longPart.earliest : shortPart.earliest;
        out.count = 1;
        return out;
    }

    TaxRecord& held = out.records[0] = sell;
    held.quantity = longPart.quantity;
    held.cost = longPart.cost;
    held.dateAcquired = longPart.earliest;
    held.salePrice = sell.salePrice.scaled(longPart.quantity, sell.quantity).roundedToCents();

    TaxRecord& recent = out.records[1] = sell;
    recent.quantity = roundQuantity(sell.quantity - longPart.quantity);
    recent.cost = shortPart.cost + undatedCost;
    recent.dateAcquired = shortPart.earliest;
    recent.salePrice = sell.salePrice - held.salePrice;
    out.count = 2;
    return out;
}

void setBoxes(TermRecords& parts, BasisReporting basis) {
    for (int i = 0; i < parts.count; ++i) {
        TaxRecord& record = parts.records[i];
        record.box = boxFor(holdingTerm(record.dateAcquired, record.dateSold), basis);
    }
}

} // namespace gainbook
