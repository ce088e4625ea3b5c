#include "matching/moved_open_lots.h"

#include "matching/corporate_actions.h"
#include "platform/date_text.h"
#include "store/links_table.h"
#include "store/records.h"
#include "store/transfer_link_table.h"

namespace gainbook {

QVector<OpenLot> movedOpenLots(const QSqlDatabase& db, const QString& account, const QDate& on,
                               const CorporateActions& actions) {
    QVector<MovedLotRow> rows = selectMovedLots(db, account);
    if (rows.isEmpty())
        return {};
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
    QVector<OpenLot> lots;
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
        if (!row.open.isPositive())
            continue;
        const QDate bought = dateFromStored(row.storedAcquired);
        const LotView view = actions.lotAt(row.symbol, bought, on);
        OpenLot lot;
        lot.buyId = row.buyId;
        lot.account = account;
        lot.symbol = view.symbol.isEmpty() ? row.symbol : view.symbol;
        lot.shares = row.open.times(view.factor);
        lot.cost = row.openCost;
        lot.costUnknown = row.costUnknown;
        // A transfer between one's own accounts is no sale: the lot keeps
        // the day it was bought, unless that day was never known.
        lot.acquired = row.costUnknown ? QDate() : bought;
        lot.longTermOn = longTermFrom(lot.acquired);
        lots.append(lot);
    }
    return lots;
}

} // namespace gainbook
