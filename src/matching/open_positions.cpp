#include "matching/open_positions.h"

#include "matching/open_lots.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/option_symbol.h"
#include "store/links_table.h"
#include "store/lot_adjust_table.h"
#include "store/records.h"
#include "store/sql.h"
#include "store/txn_table.h"

#include <QHash>

#include <algorithm>
#include <tuple>

namespace gainbook {

namespace {

// "long" or "short" for shares; for an option its kind and side.
QString positionKind(const QString& symbol, bool held, QDate& expires) {
    const auto option = optionOf(symbol);
    if (!option)
        return held ? QStringLiteral("long") : QStringLiteral("short");
    expires = option->expiry;
    return QStringLiteral("%1 %2").arg(option->call ? QStringLiteral("call")
                                                    : QStringLiteral("put"),
                                       held ? QStringLiteral("bought") : QStringLiteral("written"));
}

// What wash sales of losses sold by `on` moved onto the contracts of a put
// written that were still open then. Its covers take its contracts first
// to last, so the open ones are the last `open`; a permanent row (a
// replacement in a tax-advantaged account) is lost, not waiting.
Money openPutWashAdjustment(const QSqlDatabase& db, const TxnRecord& put, const Quantity& open,
                            const QDate& on) {
    const Quantity firstOpen = put.quantity - open;
    Money added;
    for (const LotAdjustRecord& row : selectLotAdjustmentsOfBuy(db, put.id)) {
        if (row.permanent || !row.shares.isPositive())
            continue;
        const Quantity overlap =
            min(row.firstShare + row.shares, put.quantity) - max(row.firstShare, firstOpen);
        if (!overlap.isPositive())
            continue;
        QSqlQuery loss =
            runQuery(db, QStringLiteral("SELECT TxnDate FROM Txn WHERE ID = ?"), {row.lossSellId});
        const QDate sold = loss.next() ? dateFromStored(loss.value(0).toString()) : QDate();
        if (sold.isValid() && sold > on)
            continue;
        added += row.addedCost.scaled(overlap, row.shares);
    }
    return added;
}

} // namespace

QVector<OpenPosition> openPositions(const QSqlDatabase& db, const QString& account,
                                    const QDate& on) {
    QVector<OpenPosition> positions;
    for (const OpenLot& lot : openLots(db, account, on)) {
        OpenPosition& held = positions.emplace_back();
        held.kind = positionKind(lot.symbol, true, held.expires);
        held.symbol = lot.symbol;
        held.quantity = lot.shares;
        held.amount = lot.cost;
        held.opened = lot.acquired;
    }
    // A short is open for the shares no buy dated by then covered.
    QHash<qint64, QDate> dates;
    QVector<TxnRecord> shorts;
    for (TxnRecord& txn : selectTxns(db, account)) {
        dates.insert(txn.id, txn.txnDate);
        if (txn.type == kSold && txn.openClose == kOpens && txn.txnDate.isValid() &&
            txn.txnDate <= on)
            shorts.append(std::move(txn));
    }
    if (!shorts.isEmpty()) {
        QHash<qint64, Quantity> covered;
        for (const LinkRecord& link : selectLinksOfAccount(db, account)) {
            const QDate bought = dates.value(link.buyId);
            if (link.buyId > 0 && bought.isValid() && bought <= on)
                covered[link.sellId] += link.buyQuantity;
        }
        for (const TxnRecord& sell : std::as_const(shorts)) {
            const Quantity open = sell.quantity - covered.value(sell.id);
            if (!open.isPositive())
                continue;
            OpenPosition& position = positions.emplace_back();
            position.kind = positionKind(sell.symbol, false, position.expires);
            position.symbol = sell.symbol;
            position.quantity = open;
            position.amount = sell.amount.abs().scaled(open, sell.quantity);
            position.opened = sell.txnDate;
            if (const auto option = optionOf(sell.symbol); option && !option->call)
                position.washAdjustment = openPutWashAdjustment(db, sell, open, on);
        }
    }
    std::stable_sort(positions.begin(), positions.end(),
                     [](const OpenPosition& a, const OpenPosition& b) {
                         return std::tie(a.symbol, a.opened) < std::tie(b.symbol, b.opened);
                     });
    return positions;
}

QStringList openPositionHeading() {
    return {QStringLiteral("Position"),       QStringLiteral("Symbol"),
            QStringLiteral("Quantity"),       QStringLiteral("Amount"),
            QStringLiteral("Date Opened"),    QStringLiteral("Expires"),
            QStringLiteral("Wash Adjustment")};
}

QStringList openPositionFields(const OpenPosition& position) {
    return {position.kind,
            position.symbol,
            position.quantity.text(),
            formatPlain(position.amount),
            formatDate(position.opened),
            position.expires.isValid() ? formatDate(position.expires) : QString(),
            position.washAdjustment.isZero() ? QString() : formatPlain(position.washAdjustment)};
}

} // namespace gainbook
