#include "matching/option_events.h"

#include "matching/account_trades.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "platform/money.h"
#include "platform/option_symbol.h"
#include "platform/quantity.h"
#include "store/records.h"
#include "store/sql.h"

#include <QHash>
#include <QSet>
#include <QVector>

#include <algorithm>
#include <tuple>

namespace gainbook {

namespace {

// The contracts of one option still open, oldest first, each with what is
// left of its premium; all long or all written.
struct OptionPosition {
    struct Lot {
        Quantity contracts;
        Money premium;
    };
    QVector<Lot> lots;
    bool written = false;

    bool empty() const { return lots.isEmpty(); }

    void open(const EventTrade& trade, bool asWritten) {
        if (lots.isEmpty())
            written = asWritten;
        lots.append({trade.quantity, trade.amount.abs()});
    }

    // Closes up to `contracts`, oldest first, and gives the premium of the
    // contracts closed: each lot's share of its own.
    Money close(Quantity contracts) {
        Money premium;
        while (contracts.isPositive() && !lots.isEmpty()) {
            Lot& lot = lots.front();
            if (lot.contracts <= contracts) {
                premium += lot.premium;
                contracts -= lot.contracts;
                lots.removeFirst();
                continue;
            }
            const Money part = lot.premium.scaled(contracts, lot.contracts);
            premium += part;
            lot.premium -= part;
            lot.contracts -= contracts;
            contracts = Quantity();
        }
        return premium;
    }
};

// The account's trades of the options of its events and of their
// underlyings, and every row that carries a premium from an earlier run,
// each amount without it: what settling starts from.
QVector<EventTrade> selectEventTrades(const QSqlDatabase& db, const QString& account,
                                      qsizetype& events) {
    QSqlQuery eventRows =
        runQuery(db,
                 QStringLiteral("SELECT Symbol FROM Txn WHERE AccountName = ? AND OpenClose IN "
                                "('Expired', 'Assigned', 'Exercised')"),
                 {textValue(account)});
    // The options of the events and their underlyings: the only trades read.
    QSet<QString> keys;
    while (eventRows.next()) {
        const QString symbol = eventRows.value(0).toString();
        keys.insert(instrumentKey(symbol));
        if (const auto option = optionOf(symbol))
            keys.insert(instrumentKey(option->underlying));
        ++events;
    }
    // With no event only the premiums of earlier runs are read: the
    // account's every trade is not read for nothing on each run.
    const QString select =
        QStringLiteral("SELECT ID, Symbol, Quantity, Type, TxnDate, Amount - Premium, "
                       "OpenClose, Premium <> 0 FROM Txn WHERE AccountName = ? AND ");
    QSqlQuery query =
        runQuery(db,
                 select + (events == 0 ? QStringLiteral("Premium <> 0")
                                       : QStringLiteral("((Type IN ('Bought', 'Sold') AND "
                                                        "TxnDate IS NOT NULL) OR Premium <> 0)")),
                 {textValue(account)});
    QVector<EventTrade> trades;
    while (query.next()) {
        const QString symbol = query.value(1).toString();
        const QString key = instrumentKey(symbol);
        const bool carried = query.value(7).toBool();
        if (!carried && !keys.contains(key))
            continue;
        trades.append({query.value(0).toLongLong(), symbol, key,
                       Quantity::fromDouble(query.value(2).toDouble()), query.value(3).toString(),
                       dateFromStored(query.value(4).toString()),
                       Money::fromDouble(query.value(5).toDouble()), query.value(6).toString(),
                       carried});
    }
    return trades;
}

// The broker's stock row of an assignment or exercise: the underlying's
// trade of that day on the side the event makes, of the contracts' shares
// when there is one such.
EventTrade* stockTradeOf(QVector<EventTrade>& trades, const OptionContract& option,
                         const EventTrade& event, const QString& side) {
    const QString key = instrumentKey(option.underlying);
    const Quantity shares = event.quantity.times(option.sharesPerContract);
    EventTrade* found = nullptr;
    for (EventTrade& trade : trades) {
        if (trade.used || trade.key != key || trade.date != event.date || trade.type != side ||
            isOptionEvent(trade.openClose))
            continue;
        if (trade.quantity == shares)
            return &trade;
        if (!found)
            found = &trade;
    }
    return found;
}

// "expired", "assigned" or "exercised", as the run's messages name events.
QString eventWord(const QString& openClose) {
    return openClose == kExpired    ? QStringLiteral("expired")
           : openClose == kAssigned ? QStringLiteral("assigned")
                                    : QStringLiteral("exercised");
}

} // namespace

OptionEventPlan planOptionEvents(const QSqlDatabase& db, const QString& account) {
    qsizetype events = 0;
    QVector<EventTrade> trades = selectEventTrades(db, account, events);
    return planOptionEvents(std::move(trades), events);
}

OptionEventPlan planOptionEvents(QVector<EventTrade> trades, qsizetype events) {
    OptionEventPlan plan;
    OptionEventsSettled& settled = plan.settled;
    settled.events = events;
    // A row changes as it is: what an earlier run carried comes out of it
    // first.
    const auto change = [&](const EventTrade& trade) -> OptionEventPlan::Row& {
        auto found = plan.rows.find(trade.id);
        if (found == plan.rows.end())
            found = plan.rows.insert(
                trade.id, {trade.type, trade.openClose, trade.date, trade.amount, Money()});
        return *found;
    };
    for (const EventTrade& trade : std::as_const(trades)) {
        if (trade.carried)
            change(trade);
    }
    if (settled.events == 0)
        return plan;
    // By day; on one day the trades before the events, which close what
    // the day's trades left open.
    std::stable_sort(trades.begin(), trades.end(), [](const EventTrade& a, const EventTrade& b) {
        const bool ea = isOptionEvent(a.openClose);
        const bool eb = isOptionEvent(b.openClose);
        return std::tie(a.date, ea, a.id) < std::tie(b.date, eb, b.id);
    });
    QHash<QString, OptionPosition> positions;
    for (EventTrade& trade : trades) {
        const auto option = optionOf(trade.symbol);
        if (!option)
            continue;
        OptionPosition& position = positions[trade.key];
        const bool bought = trade.type == kBought;
        if (!isOptionEvent(trade.openClose)) {
            // A trade against the position closes it unless its words say
            // it opens; whatever it does not close opens the other way.
            const bool closes =
                !position.empty() && position.written == bought && trade.openClose != kOpens;
            if (!closes) {
                // An option sold while none was held was written: a sale to
                // open, whatever words the broker used, so that its premium
                // counts in the year it lapses or is bought back.
                if (!bought && trade.openClose.isEmpty()) {
                    trade.openClose = kOpens;
                    change(trade).openClose = kOpens;
                }
                position.open(trade, !bought);
                continue;
            }
            const Quantity before = [&] {
                Quantity open;
                for (const OptionPosition::Lot& lot : std::as_const(position.lots))
                    open += lot.contracts;
                return open;
            }();
            position.close(trade.quantity);
            if (trade.quantity > before) {
                EventTrade rest = trade;
                rest.quantity = trade.quantity - before;
                rest.amount = trade.amount.scaled(rest.quantity, trade.quantity);
                position.open(rest, !bought);
            }
            continue;
        }
        if (position.empty()) {
            // Nothing held: the opening trade is most likely in a file not
            // captured. A sale at 0 with no buy would be a record the broker
            // never reported, so the row stays the sell it was captured as
            // and the run leaves it out and names it.
            if (trade.type != kSold) {
                trade.type = kSold;
                change(trade).type = kSold;
            }
            settled.unheld.insert(trade.id);
            settled.noPosition.append(QStringLiteral("%1 %2 %3")
                                          .arg(option->description(), eventWord(trade.openClose),
                                               formatDate(trade.date)));
            continue;
        }
        // A lapse happens on the contract's expiry, whenever the broker
        // posts it: a row of a later day is dated back so that the sale at 0
        // or the premium kept falls in the year it lapsed (Pub. 550,
        // Options). A row before the expiry is a close-out of that day.
        if (trade.openClose == kExpired && option->expiry.isValid() &&
            trade.date > option->expiry) {
            trade.date = option->expiry;
            change(trade).date = option->expiry;
        }
        const bool written = position.written;
        const QString type = written ? kBought : kSold;
        if (trade.type != type) {
            trade.type = type;
            change(trade).type = type;
        }
        const Money premium = position.close(trade.quantity);
        if (!carriesPremium(trade.openClose))
            continue;
        // A call brings shares in when it is exercised and takes them away
        // when it is assigned; a put the other way round.
        const QString side = option->call != written ? kBought : kSold;
        EventTrade* stock = stockTradeOf(trades, *option, trade, side);
        if (!stock) {
            settled.noStockTrade.append(QStringLiteral("%1 %2 %3")
                                            .arg(option->description(), eventWord(trade.openClose),
                                                 formatDate(trade.date)));
            continue;
        }
        stock->used = true;
        // A premium paid adds to the cost or comes off the proceeds; one
        // received does the opposite. A buy's amount is kept negative.
        const Money more = written ? -premium : premium;
        const Money delta = side == kBought ? (stock->amount.isNegative() ? -more : more) : -more;
        OptionEventPlan::Row& row = change(*stock);
        row.amount += delta;
        row.premium += delta;
    }
    return plan;
}

OptionEventsSettled settleOptionEvents(const QSqlDatabase& db, const QString& account) {
    const OptionEventPlan plan = planOptionEvents(db, account);
    for (auto row = plan.rows.cbegin(); row != plan.rows.cend(); ++row) {
        // A row of no date (a premium carried before its date was cleared)
        // keeps none.
        runQuery(db,
                 QStringLiteral("UPDATE Txn SET Type = ?, OpenClose = ?, "
                                "TxnDate = COALESCE(?, TxnDate), Amount = ?, Premium = ? "
                                "WHERE ID = ?"),
                 {row->type, row->openClose,
                  row->date.isValid() ? QVariant(isoDate(row->date)) : QVariant(),
                  row->amount.toDouble(), row->premium.toDouble(), row.key()});
    }
    return plan.settled;
}

void applyOptionEvents(AccountTrades& trades, const OptionEventPlan& plan) {
    const QSet<qint64>& unheld = plan.settled.unheld;
    if (plan.rows.isEmpty() && unheld.isEmpty())
        return;
    // Each changed row leaves the side it was read on and comes back on the
    // side it takes, as the store would give it to a run after settling.
    QVector<std::pair<qint64, Quantity>> changed;
    QHash<qint64, QString> symbols;
    const auto take = [&](auto& rows) {
        rows.removeIf([&](const auto& row) {
            if (!plan.rows.contains(row.id) && !unheld.contains(row.id))
                return false;
            if (!unheld.contains(row.id)) {
                changed.append({row.id, row.quantity});
                symbols.insert(row.id, row.symbol);
            }
            return true;
        });
    };
    take(trades.buys);
    take(trades.sells);
    for (const auto& [id, quantity] : std::as_const(changed)) {
        const OptionEventPlan::Row& row = plan.rows[id];
        const QString stored = row.date.isValid() ? isoDate(row.date) : QString();
        const bool opens = row.openClose == kOpens;
        const bool carries = carriesPremium(row.openClose);
        if (row.type == kBought)
            trades.buys.append({id, symbols[id], quantity, stored, row.amount, opens, carries});
        else if (row.type == kSold)
            trades.sells.append(
                {id, symbols[id], quantity, row.date, stored, row.amount, opens, false, carries});
    }
    // In the order the store reads them.
    std::stable_sort(
        trades.buys.begin(), trades.buys.end(), [](const AccountBuy& a, const AccountBuy& b) {
            return std::tie(a.symbol, a.storedDate, a.id) < std::tie(b.symbol, b.storedDate, b.id);
        });
    std::stable_sort(
        trades.sells.begin(), trades.sells.end(), [](const SellRow& a, const SellRow& b) {
            return std::tie(a.storedDate, a.symbol, a.id) < std::tie(b.storedDate, b.symbol, b.id);
        });
}

} // namespace gainbook
