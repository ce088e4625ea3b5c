#include "matching/open_lots.h"

#include "matching/corporate_actions.h"
#include "matching/moved_open_lots.h"
#include "matching/open_quantity.h"
#include "matching/open_runs.h"
#include "matching/wash_sales.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/holding_term.h"
#include "platform/instrument_name.h"
#include "platform/lot_method.h"
#include "platform/number_text.h"
#include "platform/option_symbol.h"
#include "store/asset_kind_table.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/lot_adjust_table.h"
#include "store/lot_method_table.h"
#include "store/records.h"
#include "store/sql.h"
#include "store/transfer_link_table.h"
#include "store/txn_table.h"
#include "store/unknown_cost_table.h"

#include <algorithm>

namespace gainbook {

QDate longTermFrom(const QDate& acquired) {
    if (!acquired.isValid())
        return {};
    // addYears keeps Feb 29 on Feb 28, the day the rule counts the year to.
    return acquired.addYears(1).addDays(1);
}

QDate buyBackFrom(const QDate& sold) {
    return sold.isValid() ? sold.addDays(31) : QDate();
}

namespace {

// What a loss sale of a symbol would be washed by, as detection finds it:
// its own instrument, the class of an option when options wash by class,
// and the underlying's key of a stock (its calls bought and puts written).
struct OpenLotWashTarget {
    QString symbol;
    std::optional<QString> optionClass;
    QString stockKey; // empty for an option
};

struct OpenLotWashFind {
    QDate date;
    OpenLot::WashBy by = OpenLot::WashBy::Buy;
};

// The latest acquisition, in any account from 30 days before `on` to `on`,
// that would replace a loss of the target: read once for every lot at a
// loss, as a store may hold many. Shares transferred in of no cost typed
// are no one's replacement, as detection leaves them out.
class OpenLotWashWindow {
public:
    OpenLotWashWindow(const QSqlDatabase& db, const QDate& on, const QSet<qint64>& unknownCost) {
        QSqlQuery query =
            runQuery(db,
                     QStringLiteral("SELECT ID, Symbol, TxnDate, Type = 'Sold' FROM Txn "
                                    "WHERE (Type = 'Bought' OR (Type = 'Sold' AND "
                                    "OpenClose = 'Open')) AND TxnDate BETWEEN ? AND ?"),
                     {isoDate(on.addDays(-kWashWindowDays)), isoDate(on)});
        while (query.next()) {
            if (unknownCost.contains(query.value(0).toLongLong()))
                continue;
            const QDate date = dateFromStored(query.value(2).toString());
            if (date.isValid())
                rows_.append({query.value(1).toString(), date, query.value(3).toInt() != 0});
        }
    }

    std::optional<OpenLotWashFind> latest(const OpenLotWashTarget& target) const {
        std::optional<OpenLotWashFind> found;
        for (const Row& row : rows_) {
            const auto by = replaces(row, target);
            if (by && (!found || row.date > found->date))
                found = OpenLotWashFind{row.date, *by};
        }
        return found;
    }

private:
    struct Row {
        QString symbol;
        QDate date;
        bool written = false; // a put or call sold to open
    };

    static std::optional<OpenLot::WashBy> replaces(const Row& row,
                                                   const OpenLotWashTarget& target) {
        if (!row.written && sameInstrument(row.symbol, target.symbol))
            return OpenLot::WashBy::Buy;
        if (target.optionClass) {
            const auto option = row.written ? std::nullopt : optionOf(row.symbol);
            if (option && washOptionClass(*option) == *target.optionClass)
                return OpenLot::WashBy::Buy;
            return std::nullopt;
        }
        const auto option = optionToAcquire(row.symbol, row.written);
        if (target.stockKey.isEmpty() || !option ||
            instrumentKey(option->underlying) != target.stockKey)
            return std::nullopt;
        return row.written ? OpenLot::WashBy::PutWritten : OpenLot::WashBy::CallBought;
    }

    QVector<Row> rows_;
};

// Leaves out the adjustments whose loss sale is dated after `on`.
void dropLaterLossAdjustments(const QSqlDatabase& db,
                              QHash<qint64, QVector<LotAdjustRecord>>& adjustments,
                              const QDate& on) {
    QHash<qint64, QDate> lossDates;
    for (const QVector<LotAdjustRecord>& rows : std::as_const(adjustments)) {
        for (const LotAdjustRecord& row : rows)
            lossDates.insert(row.lossSellId, QDate());
    }
    if (lossDates.isEmpty())
        return;
    for (auto it = lossDates.begin(); it != lossDates.end(); ++it) {
        QSqlQuery query =
            runQuery(db, QStringLiteral("SELECT TxnDate FROM Txn WHERE ID = ?"), {it.key()});
        if (query.next())
            it.value() = dateFromStored(query.value(0).toString());
    }
    for (QVector<LotAdjustRecord>& rows : adjustments) {
        rows.removeIf([&](const LotAdjustRecord& row) {
            const QDate sold = lossDates.value(row.lossSellId);
            return sold.isValid() && sold > on;
        });
    }
}

} // namespace

QVector<OpenLot> openLots(const QSqlDatabase& db, const QString& account, const QDate& on,
                          const QHash<QString, Money>& prices) {
    const CorporateActions actions(selectCorpActions(db));
    const AccountLotMethods methods = selectLotMethods(db, account);
    const QVector<TxnRecord> txns = selectTxns(db, account);
    QHash<qint64, QDate> txnDates;
    for (const TxnRecord& txn : txns)
        txnDates.insert(txn.id, txn.txnDate);
    // Processing leaves each buy's open shares as they are after every sell;
    // the lots of a past day get back what sells after it took.
    QHash<qint64, Quantity> takenLater;
    // What the account's sells by then took of each buy's cost, for the
    // average.
    QHash<qint64, Money> linkedCost;
    for (const LinkRecord& link : selectLinksOfAccount(db, account)) {
        const QDate sold = txnDates.value(link.sellId, link.sellDate);
        if (sold.isValid() && sold > on)
            takenLater[link.buyId] += link.buyQuantity;
        else
            linkedCost[link.buyId] += link.buyPrice;
    }
    // Lots moved in carry the adjustments of their buy in the account that
    // sent them.
    const QVector<MovedLotRow> movedRows = selectMovedLots(db, account);
    QSet<qint64> movedBuys;
    for (const MovedLotRow& row : movedRows)
        movedBuys.insert(row.buyId);
    QHash<qint64, QVector<LotAdjustRecord>> adjustments;
    for (LotAdjustRecord& row : selectLotAdjustments(db)) {
        if (!row.permanent && (txnDates.contains(row.buyId) || movedBuys.contains(row.buyId)))
            adjustments[row.buyId].append(std::move(row));
    }
    // A wash sale's loss moves onto its replacement on the day of the loss
    // sale: a replacement bought before a past day but washing a loss sold
    // after it still had its own cost that day.
    dropLaterLossAdjustments(db, adjustments, on);

    QVector<OpenLot> lots;
    // Per instrument at its average cost: what is left of its buys' cost,
    // and the lots that share it.
    struct Pool {
        Money left;
        QVector<qsizetype> lots;
        Quantity shares;
    };
    QHash<QString, Pool> pools;
    const QSet<qint64> unknownCost = selectUnknownCostBuys(db);
    for (const TxnRecord& buy : txns) {
        if (buy.type != kBought || !buy.txnDate.isValid() || buy.txnDate > on ||
            !buy.quantity.isPositive())
            continue;
        // Sells are matched by date, so a later sell took the shares just
        // before those open now: the open run of a past day stays one run
        // at the buy's end, and the adjustments' runs cut it as they did.
        const Quantity open =
            min(openQuantityOf(buy.memo) + takenLater.value(buy.id), buy.quantity);
        const LotView view = actions.lotAt(buy.symbol, buy.txnDate, on);
        const bool average = methods.of(instrumentKey(buy.symbol)) == LotMethod::Average;
        if (average) {
            Pool& pool = pools[instrumentKey(view.symbol)];
            pool.left += buy.amount.abs() - linkedCost.value(buy.id);
        }
        if (!open.isPositive())
            continue;
        // The shares sold go first: the open ones are the last of the buy,
        // and each adjustment covers its own run of them; the runs' ends cut
        // the open shares into lots of one cost a share and one date.
        const Quantity firstOpen = buy.quantity - open;
        for (const OpenPiece& piece :
             cutOpenRun(firstOpen, buy.quantity, adjustments.value(buy.id))) {
            OpenLot lot;
            lot.buyId = buy.id;
            lot.account = account;
            lot.costUnknown = unknownCost.contains(buy.id);
            lot.symbol = view.symbol.isEmpty() ? buy.symbol : view.symbol;
            lot.shares = (piece.to - piece.from).times(view.factor);
            lot.cost =
                buy.amount.abs().scaled(piece.to - piece.from, buy.quantity) + piece.addedCost;
            lot.acquired = piece.daysBack ? buy.txnDate.addDays(-*piece.daysBack) : buy.txnDate;
            // The day of the transfer is not the day the shares were bought.
            if (lot.costUnknown)
                lot.acquired = QDate();
            lot.longTermOn = longTermFrom(lot.acquired);
            if (average) {
                Pool& pool = pools[instrumentKey(lot.symbol)];
                pool.lots.append(lots.size());
                pool.shares += lot.shares;
            }
            lots.append(lot);
        }
    }
    // A lot moved in is held like one bought here: at an average-cost
    // instrument it shares the average, what it came with in the pool less
    // what the account's sells and sends took of it (taken once for a buy
    // sent away and back).
    MovedOpenLots moved = movedOpenLots(db, account, on, actions, movedRows, adjustments);
    QSet<qint64> pooledBuys;
    for (const MovedOpenLots::Arrival& arrival : std::as_const(moved.arrivals)) {
        if (methods.of(arrival.key) != LotMethod::Average)
            continue;
        Pool& pool = pools[arrival.key];
        pool.left += arrival.cost;
        if (!txnDates.contains(arrival.buyId) && !pooledBuys.contains(arrival.buyId))
            pool.left -= linkedCost.value(arrival.buyId);
        pooledBuys.insert(arrival.buyId);
    }
    for (OpenLot& lot : moved.lots) {
        const QString key = instrumentKey(lot.symbol);
        if (methods.of(key) == LotMethod::Average) {
            Pool& pool = pools[key];
            pool.lots.append(lots.size());
            pool.shares += lot.shares;
        }
        lots.append(std::move(lot));
    }
    // Every open share of an average-cost instrument costs the average of
    // what its buys have left.
    for (const Pool& pool : std::as_const(pools)) {
        Quantity spread;
        Money given;
        for (const qsizetype index : pool.lots) {
            spread += lots[index].shares;
            const Money upTo = pool.left.scaled(spread, pool.shares);
            lots[index].cost = upTo - given;
            given = upTo;
        }
    }
    QHash<QString, std::optional<OpenLotWashFind>> washBuys;
    const AssetKinds kinds = selectAssetKinds(db);
    const bool washDigital = selectWashDigital(db);
    const bool washOptions = selectWashOptions(db);
    std::optional<OpenLotWashWindow> window;
    for (OpenLot& lot : lots) {
        const auto price = prices.constFind(instrumentKey(lot.symbol));
        if (price == prices.cend())
            continue;
        lot.price = *price;
        if (!lot.atLoss())
            continue;
        if (!washDigital && kinds.isDigital(account, lot.symbol)) {
            lot.washExempt = true;
            continue;
        }
        const QString key = instrumentKey(lot.symbol);
        if (!washBuys.contains(key)) {
            if (!window)
                window.emplace(db, on, unknownCost);
            OpenLotWashTarget target{lot.symbol, std::nullopt, QString()};
            if (const auto option = optionOf(lot.symbol)) {
                if (washOptions)
                    target.optionClass = washOptionClass(*option);
            } else {
                target.stockKey = key;
            }
            washBuys.insert(key, window->latest(target));
        }
        if (const auto found = washBuys.value(key)) {
            lot.washBuy = found->date;
            lot.washBy = found->by;
        }
        lot.buyBackFrom = buyBackFrom(on);
    }
    std::stable_sort(lots.begin(), lots.end(), [](const OpenLot& a, const OpenLot& b) {
        return std::tie(a.symbol, a.acquired) < std::tie(b.symbol, b.acquired);
    });
    return lots;
}

QVector<OpenLot> openLots(const QSqlDatabase& db, const QStringList& accounts, const QDate& on,
                          const QHash<QString, Money>& prices) {
    QVector<OpenLot> lots;
    for (const QString& account : accounts)
        lots += openLots(db, account, on, prices);
    return lots;
}

UnrealizedTotals unrealizedTotals(const QVector<OpenLot>& lots, const QDate& on) {
    UnrealizedTotals totals;
    for (const OpenLot& lot : lots) {
        if (!lot.price || lot.costUnknown)
            continue;
        (holdingTerm(lot.acquired, on) == HoldingTerm::Long ? totals.longTerm : totals.shortTerm) +=
            lot.unrealized();
    }
    return totals;
}

QString unrealizedTotalsText(const QVector<OpenLot>& lots, const QDate& on) {
    if (std::none_of(lots.begin(), lots.end(), [](const OpenLot& l) { return l.price; }))
        return QStringLiteral("No prices typed yet");
    const UnrealizedTotals totals = unrealizedTotals(lots, on);
    return QStringLiteral("Unrealized short term %1, long term %2")
        .arg(formatMoney(totals.shortTerm), formatMoney(totals.longTerm));
}

QVector<MonthValue> longTermCalendar(const QVector<OpenLot>& lots, const QDate& on) {
    QVector<MonthValue> months;
    const QDate first(on.year(), on.month(), 1);
    for (int i = 0; i < 12; ++i)
        months.append({first.addMonths(i), Money()});
    for (const OpenLot& lot : lots) {
        if (!lot.longTermOn.isValid() || lot.longTermOn <= on)
            continue;
        const int index =
            (lot.longTermOn.year() - first.year()) * 12 + lot.longTermOn.month() - first.month();
        if (index < 12)
            months[index].value += lot.price && !lot.costUnknown ? lot.value() : lot.cost;
    }
    return months;
}

QHash<QString, Money> pricesFromCsv(const QString& text, QStringList& bad) {
    QHash<QString, Money> prices;
    bool first = true;
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        const QStringList fields = trimmed.split(u',');
        const QString symbol = fields.value(0).trimmed().remove(u'"');
        const std::optional<double> price =
            typedNumber(QString(fields.value(1)).trimmed().remove(u'"').remove(u'$'));
        const bool heading = first && !price;
        first = false;
        if (heading)
            continue;
        if (symbol.isEmpty() || !price || !Money::isRepresentable(*price)) {
            bad << trimmed;
            continue;
        }
        prices.insert(instrumentKey(symbol), Money::fromDouble(*price));
    }
    return prices;
}

QStringList openLotHeading() {
    return {QStringLiteral("Symbol"),          QStringLiteral("Shares"),
            QStringLiteral("Cost/Share"),      QStringLiteral("Cost"),
            QStringLiteral("Date Acquired"),   QStringLiteral("Long Term On"),
            QStringLiteral("Price"),           QStringLiteral("Unrealized Short"),
            QStringLiteral("Unrealized Long"), QStringLiteral("Loss Sale")};
}

QStringList openLotFields(const OpenLot& lot, const QDate& on) {
    const bool isLong = holdingTerm(lot.acquired, on) == HoldingTerm::Long;
    QString harvest;
    if (lot.atLoss() && lot.washExempt) {
        harvest = QStringLiteral("no wash sale: a digital asset");
    } else if (lot.atLoss()) {
        const auto how = [&lot] {
            switch (lot.washBy) {
            case OpenLot::WashBy::CallBought:
                return QStringLiteral("call bought");
            case OpenLot::WashBy::PutWritten:
                return QStringLiteral("put written");
            case OpenLot::WashBy::Buy:
                break;
            }
            return QStringLiteral("bought");
        };
        harvest = lot.washBuy
                      ? QStringLiteral("wash sale now (%1 %2)").arg(how(), formatDate(*lot.washBuy))
                      : QStringLiteral("no wash sale now");
        harvest += QStringLiteral("; buy back not before %1").arg(formatDate(lot.buyBackFrom));
    }
    const Money perShare =
        lot.shares.isPositive() ? lot.cost.scaled(Quantity::whole(1), lot.shares) : Money();
    // A transfer in of no cost typed yet shows no cost of 0 nor a gain made of it.
    const QString unknown = QStringLiteral("unknown");
    const bool gain = lot.price && !lot.costUnknown;
    return {lot.symbol,
            lot.shares.text(),
            lot.costUnknown ? unknown : formatPlain(perShare),
            lot.costUnknown ? unknown : formatPlain(lot.cost),
            formatDate(lot.acquired),
            formatDate(lot.longTermOn),
            lot.price ? formatPlain(*lot.price) : QString(),
            gain && !isLong ? formatPlain(lot.unrealized()) : QString(),
            gain && isLong ? formatPlain(lot.unrealized()) : QString(),
            harvest};
}

} // namespace gainbook
