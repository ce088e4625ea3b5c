#include "matching/moved_open_lots.h"

#include "matching/corporate_actions.h"
#include "matching/open_quantity.h"
#include "matching/open_runs.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "store/links_table.h"
#include "store/records.h"
#include "store/sql.h"
#include "store/txn_table.h"

namespace gainbook {

namespace {

// Where a moved lot's open shares lie among its buy's, as bought: the wash
// sales count a buy's shares sold first, whichever account sold them, so
// the shares still held follow; of those the buy's own account holds the
// last (as its open lots count them), and the moved lots, by receive, the
// run just before. Its adjustments are those of that run.
Quantity movedRunStart(const QSqlDatabase& db, const MovedLotRow& row) {
    const std::optional<TxnRecord> buy = selectTxnById(db, row.buyId);
    if (!buy)
        return {};
    Quantity end = buy->quantity;
    if (buy->type == kBought)
        end -= openQuantityOf(buy->memo);
    QSqlQuery later = runQuery(db,
                               QStringLiteral("SELECT Open FROM MovedLot WHERE BuyId = ? AND "
                                              "ReceiveId > ?"),
                               {row.buyId, row.receiveId});
    while (later.next())
        end -= Quantity::fromDouble(later.value(0).toDouble());
    const Quantity start = end - row.open;
    return start.isPositive() ? start : Quantity();
}

} // namespace

MovedOpenLots movedOpenLots(const QSqlDatabase& db, const QString& account, const QDate& on,
                            const CorporateActions& actions, QVector<MovedLotRow> rows,
                            const QHash<qint64, QVector<LotAdjustRecord>>& adjustments) {
    MovedOpenLots moved;
    if (rows.isEmpty())
        return moved;
    // The run leaves what is open after every sell and send; a past day
    // gets back what those after it took, in shares as bought.
    QHash<qint64, const MovedLotRow*> byBuy;
    for (const MovedLotRow& row : std::as_const(rows))
        byBuy.insert(row.buyId, &row);
    QHash<qint64, Quantity> takenLater;
    for (const LinkRecord& link : selectLinksOfAccount(db, account)) {
        const MovedLotRow* row = byBuy.value(link.buyId);
        if (!row || !link.sellDate.isValid() || link.sellDate <= on)
            continue;
        const double factor =
            actions.lotAt(row->symbol, dateFromStored(row->storedAcquired), link.sellDate).factor;
        takenLater[link.buyId] += factor > 0 ? link.buyQuantity.dividedBy(factor) : Quantity();
    }
    for (MovedLotRow& row : rows) {
        const QDate arrived = dateFromStored(row.storedArrived);
        if (!arrived.isValid() || arrived > on)
            continue;
        if (Quantity& later = takenLater[row.buyId]; later.isPositive() && row.open < row.shares) {
            const Quantity back = min(later, row.shares - row.open);
            later -= back;
            row.open += back;
            row.openCost += row.cost.scaled(back, row.shares);
        }
        const QDate bought = dateFromStored(row.storedAcquired);
        const LotView view = actions.lotAt(row.symbol, bought, on);
        const QString symbol = view.symbol.isEmpty() ? row.symbol : view.symbol;
        moved.arrivals.append({row.buyId, instrumentKey(symbol), row.cost});
        if (!row.open.isPositive())
            continue;
        // The ends of the adjustments' runs cut the open run into lots of
        // one cost a share and one date, as they cut a buy that stayed.
        const QVector<LotAdjustRecord> own = adjustments.value(row.buyId);
        const Quantity first = own.isEmpty() ? Quantity() : movedRunStart(db, row);
        for (const OpenPiece& piece : cutOpenRun(first, first + row.open, own)) {
            OpenLot lot;
            lot.buyId = row.buyId;
            lot.account = account;
            lot.symbol = symbol;
            lot.shares = (piece.to - piece.from).times(view.factor);
            // Running parts of the open cost, so that the lots add up to it.
            lot.cost = row.openCost.scaled(piece.to - first, row.open) -
                       row.openCost.scaled(piece.from - first, row.open) + piece.addedCost;
            lot.costUnknown = row.costUnknown;
            // A transfer between one's own accounts is no sale: the lot keeps
            // the day it was bought, unless that day was never known.
            lot.acquired = piece.daysBack ? bought.addDays(-*piece.daysBack) : bought;
            if (lot.costUnknown)
                lot.acquired = QDate();
            lot.longTermOn = longTermFrom(lot.acquired);
            moved.lots.append(lot);
        }
    }
    return moved;
}

} // namespace gainbook
