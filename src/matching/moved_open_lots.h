#pragma once

#include "matching/open_lots.h"
#include "store/lot_adjust_table.h"
#include "store/transfer_link_table.h"

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

class CorporateActions;

// The lots linked receives brought into the account that are still open,
// as its last run left them: each with the date and cost it had where it
// was bought, its shares as they stand on the day after splits, and the
// wash-sale adjustments of its shares as the lot would carry them had it
// stayed. A lot that arrived after the day is not there yet.
struct MovedOpenLots {
    QVector<OpenLot> lots;
    // What arrived by the day, open or not, at the cost it came with, by the
    // moved buy, and the instrument it stands as then (instrumentKey): an
    // instrument held at its average cost pools it with the account's buys.
    struct Arrival {
        qint64 buyId = 0;
        QString key;
        Money cost;
    };
    QVector<Arrival> arrivals;
};

// `rows` are the account's (selectMovedLots), `adjustments` the wash-sale
// adjustments standing on the day, by buy. Throws StoreError.
MovedOpenLots movedOpenLots(const QSqlDatabase& db, const QString& account, const QDate& on,
                            const CorporateActions& actions, QVector<MovedLotRow> rows,
                            const QHash<qint64, QVector<LotAdjustRecord>>& adjustments);

} // namespace gainbook
