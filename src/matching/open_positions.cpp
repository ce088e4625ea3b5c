#include "matching/open_positions.h"

#include "matching/open_lots.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/option_symbol.h"
#include "store/links_table.h"
#include "store/records.h"
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
        }
    }
    std::stable_sort(positions.begin(), positions.end(),
                     [](const OpenPosition& a, const OpenPosition& b) {
                         return std::tie(a.symbol, a.opened) < std::tie(b.symbol, b.opened);
                     });
    return positions;
}

QStringList openPositionHeading() {
    return {QStringLiteral("Position"), QStringLiteral("Symbol"),      QStringLiteral("Quantity"),
            QStringLiteral("Amount"),   QStringLiteral("Date Opened"), QStringLiteral("Expires")};
}

QStringList openPositionFields(const OpenPosition& position) {
    return {position.kind,
            position.symbol,
            position.quantity.text(),
            formatPlain(position.amount),
            formatDate(position.opened),
            position.expires.isValid() ? formatDate(position.expires) : QString()};
}

} // namespace gainbook
