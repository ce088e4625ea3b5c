#pragma once

#include "platform/money.h"
#include "platform/quantity.h"
#include "store/lot_adjust_table.h"

#include <QVector>

#include <optional>

namespace gainbook {

// A stretch [from, to) of a buy's open shares, counted as bought, that has
// one cost a share and one date: the ends of the wash-sale adjustments'
// runs cut an open run into such pieces. A piece an adjustment covers
// takes its added cost (its share of it) and its shift of the date.
struct OpenPiece {
    Quantity from;
    Quantity to;
    Money addedCost;
    std::optional<qint64> daysBack; // unset when no adjustment covers it
};

// The pieces of the open run [first, last) of a buy, given the buy's
// adjustments.
QVector<OpenPiece> cutOpenRun(Quantity first, Quantity last,
                              const QVector<LotAdjustRecord>& adjustments);

} // namespace gainbook
