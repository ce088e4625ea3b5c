#include "matching/wash_sales.h"

#include "matching/id_index.h"
#include "platform/instrument_name.h"
#include "platform/option_symbol.h"

#include <QMap>
#include <QSet>

#include <algorithm>
#include <tuple>
#include <vector>

namespace gainbook {

namespace {

// A run of a buy's shares that replaced a loss.
struct Mark {
    Quantity first;
    Quantity shares;
    Money addedCost;
    qint64 daysBack = 0;
    bool permanent = false;
};

// Shares of a buy that an exercise or assignment will bring in: until that
// day they are the contracts of the option (a buy, or a put written).
struct ExerciseTie {
    qsizetype option = 0; // its state
    Quantity contracts;
    int sharesPerContract = 100;
};

// What detection keeps of a buy while it walks the sells.
struct BuyState {
    const WashBuy* buy = nullptr;
    WashSettings settings;
    bool digital = false;
    bool option = false;
    QVector<ExerciseTie> ties;
    Quantity sold;       // shares taken by the sells so far, from the first on
    Quantity markedEnd;  // shares up to here replace a loss already
    QVector<Mark> marks; // by first share
    QVector<Mark> previous;
};

// Shares of a buy, from first on, held from `from` because a short sale
// was open against them.
struct HoldingReset {
    Quantity first;
    Quantity shares;
    QDate from;
};

// Whether a trade is of a digital asset, each symbol's facts looked up once.
class WashKindLookup {
public:
    explicit WashKindLookup(const AssetKinds& kinds) : kinds_(kinds) {}

    bool digital(const QString& account, const QString& symbol) {
        auto at = facts_.constFind(symbol);
        if (at == facts_.cend())
            at = facts_.insert(symbol, kinds_.factsOf(symbol));
        return kinds_.of(account, *at) == AssetKind::Digital;
    }

private:
    const AssetKinds& kinds_;
    QHash<QString, AssetKinds::SymbolFacts> facts_;
};

// A buy in the list of its symbol, with its date as a day number.
struct Candidate {
    qint64 day = 0;
    qint64 id = 0;
    qsizetype at = 0; // in the input's buys
    // The shares sold one unit of the buy replaces: a call's contract
    // stands for its shares of the stock.
    int sharesPerUnit = 1;
};

WashSettings settingsOf(const WashInput& input, const QString& account) {
    return input.settings.value(account, WashSettings{});
}

// The settings and basis reporting of the account of the row at hand: rows
// come account by account, so the last account's are kept at hand.
class AccountLookup {
public:
    explicit AccountLookup(const WashInput& input) : input_(input) {}

    const WashSettings& settings(const QString& account) {
        see(account);
        return settings_;
    }
    BasisReporting basis(const QString& account) {
        see(account);
        return basis_;
    }

private:
    void see(const QString& account) {
        if (known_ && account == account_)
            return;
        known_ = true;
        account_ = account;
        settings_ = settingsOf(input_, account);
        basis_ = input_.basis.value(account, BasisReporting::Reported);
    }

    const WashInput& input_;
    bool known_ = false;
    QString account_;
    WashSettings settings_;
    BasisReporting basis_ = BasisReporting::Reported;
};

// The shares [from, from + count) of a buy (shares as bought) cut into the
// runs of its marks: each AppliedLot carries its share of the lot's cost
// plus the marks' added cost, and the date moved back by the marks. The
// lot's own quantity is in the sell's shares, factor of them to a share as
// bought (a split between the buy and the sale). Returns whether any mark
// was met.
bool cutLot(const WashLot& lot, double factor, Quantity from, const QVector<Mark>& marks,
            QVector<AppliedLot>* out, bool moveDate = true) {
    const qsizetype first = out ? out->size() : 0;
    const Quantity bought = lot.quantity.dividedBy(factor);
    const Quantity to = from + bought;
    Quantity plain = lot.quantity;
    Money plainCost = lot.cost;
    bool met = false;
    for (const Mark& mark : marks) {
        const Quantity overlap = min(to, mark.first + mark.shares) - max(from, mark.first);
        if (!overlap.isPositive())
            continue;
        met = true;
        if (!out || mark.permanent)
            continue;
        const Money cost = lot.cost.scaled(overlap, bought);
        const Quantity sold = overlap.times(factor);
        out->append({sold, cost + mark.addedCost.scaled(overlap, mark.shares),
                     lot.acquired.addDays(moveDate ? -mark.daysBack : 0)});
        plain -= sold;
        plainCost -= cost;
    }
    if (!out)
        return met;
    if (plain.isPositive() || out->size() == first)
        out->append({plain, plainCost, lot.acquired});
    else
        out->back().cost += plainCost; // what the cuts' rounding left over
    return met;
}

// How many shares of a buy made on `bought` one share sold on `sold` is:
// the splits between the two dates, either way round.
double boughtPerSold(const WashInput& input, const WashBuy& buy, const QString& symbol,
                     const QDate& sold) {
    if (input.actions.isEmpty())
        return 1;
    if (buy.date <= sold)
        return 1 / input.actions.lotAt(buy.symbol, buy.date, sold).factor;
    return input.actions.lotAt(symbol, sold, buy.date).factor;
}

// A lot of a sell sold at a loss: its shares and loss, the record (term
// part) it counts in, and how long and since when it was held; then how
// much of it replacement shares have met, and the loss they took.
struct LossLot {
    int part = 0;
    Quantity quantity;
    Money loss;
    qint64 daysBack = 0;
    QDate acquired;
    Quantity replaced;
    Money given;
};

// The sell's lots sold at a loss, in the order they were acquired (a lot of
// unknown date last). A lot's proceeds are its share by quantity of its
// record's proceeds. A loss lot stands on its own: the gain of another lot
// of the same sale does not make it smaller.
void lossLots(const TermParts& parts, const QDate& dateSold, const QVector<AppliedLot>& lots,
              QVector<LossLot>& out) {
    out.clear();
    // Running shares and proceeds of each record, so that its lots'
    // proceeds add up to the record's.
    Quantity shares[2];
    Money proceedsSoFar[2];
    for (const AppliedLot& lot : lots) {
        if (!lot.quantity.isPositive())
            continue;
        const int part =
            parts.count == 2 && holdingTerm(lot.acquired, dateSold) != HoldingTerm::Long ? 1 : 0;
        const TermFigures& record = parts.parts[part];
        if (!record.quantity.isPositive())
            continue;
        shares[part] += lot.quantity;
        const Money upTo = record.salePrice.scaled(shares[part], record.quantity);
        const Money loss = lot.cost - (upTo - proceedsSoFar[part]);
        proceedsSoFar[part] = upTo;
        if (loss <= Money())
            continue;
        const qint64 held =
            lot.acquired.isValid() ? std::max<qint64>(0, lot.acquired.daysTo(dateSold)) : 0;
        out.append({part, lot.quantity, loss, held, lot.acquired, Quantity(), Money()});
    }
    std::stable_sort(out.begin(), out.end(), [](const LossLot& a, const LossLot& b) {
        if (a.acquired.isValid() != b.acquired.isValid())
            return a.acquired.isValid();
        return a.acquired < b.acquired;
    });
}

} // namespace

TaxRecord WashSellResult::record(int part) const {
    TaxRecord sell;
    sell.accountName = account;
    sell.symbol = symbol;
    sell.dateSold = dateSold;
    sell.sellId = sellId;
    return recordOf(sell, parts.parts[part]);
}

qsizetype appendSale(QVector<WashSell>& out, WashSell sell) {
    if (sell.carried)
        return 0;
    if (!sell.shortSale) {
        out.append(std::move(sell));
        return 1;
    }
    // By day of the cover; a lot without a date stays on the day of the sale.
    QMap<QDate, QVector<WashLot>> byDay;
    for (const WashLot& lot : std::as_const(sell.lots)) {
        if (lot.buyId > 0 && lot.quantity.isPositive() && !lot.carried)
            byDay[lot.acquired.isValid() ? lot.acquired : sell.dateSold].append(lot);
    }
    Quantity covered;
    Money given;
    for (auto day = byDay.cbegin(); day != byDay.cend(); ++day) {
        WashSell piece;
        piece.id = sell.id;
        piece.account = sell.account;
        piece.symbol = sell.symbol;
        piece.dateSold = day.key();
        piece.untied = sell.untied;
        piece.shortSale = true;
        piece.shortOpened = sell.dateSold;
        piece.lots = day.value();
        for (const WashLot& lot : std::as_const(piece.lots))
            piece.quantity += lot.quantity;
        // Running shares, so that the days' proceeds add up to the sale's.
        covered += piece.quantity;
        const Money upTo = sell.salePrice.scaled(covered, sell.quantity);
        piece.salePrice = upTo - given;
        given = upTo;
        out.append(std::move(piece));
    }
    return byDay.size();
}

std::optional<OptionContract> optionToAcquire(const QString& symbol, bool written) {
    auto option = optionOf(symbol);
    if (option && option->call == written)
        option.reset();
    return option;
}

QString washOptionClass(const OptionContract& option) {
    return instrumentKey(option.underlying) +
           (option.call ? QStringLiteral("|C") : QStringLiteral("|P"));
}

WashResult detectWashSales(const WashInput& input) {
    WashResult result;

    // Buys by ID, and by symbol in date order for the windows; the puts
    // written after them.
    const qsizetype bought = input.buys.size();
    QVector<BuyState> buys(bought + input.writtenPuts.size());
    const IdIndex byId(input.buys.size(), [&](qsizetype i) { return input.buys[i].id; });
    // Each window is searched by day in a list of its own symbol's buys
    // laid side by side, not through the buys themselves.
    QHash<QString, QVector<Candidate>> bySymbol; // by instrument key
    InstrumentKeys keys;
    AccountLookup accounts(input);
    WashKindLookup kinds(input.kinds);
    // The calls bought and puts written on each underlying (by its key),
    // and with washOptions the options of each class, for the windows of
    // their stock's or their class's losses.
    QHash<QString, QVector<Candidate>> callsOn;
    QHash<QString, QVector<Candidate>> optionClasses;
    QString lastSymbol;
    QVector<Candidate>* symbolBuys = nullptr;
    QVector<Candidate>* callBuys = nullptr;
    QVector<Candidate>* classBuys = nullptr;
    int contractShares = 1;
    bool isOption = false;
    for (qsizetype i = 0; i < bought; ++i) {
        BuyState& state = buys[i];
        state.buy = &input.buys[i];
        state.settings = accounts.settings(state.buy->account);
        state.digital = kinds.digital(state.buy->account, state.buy->symbol);
        // Buys come symbol by symbol: the list of the last one is at hand.
        if (!symbolBuys || state.buy->symbol != lastSymbol) {
            lastSymbol = state.buy->symbol;
            const QString key = instrumentKey(lastSymbol);
            symbolBuys = &bySymbol[key];
            keys.add(key);
            const auto option = optionOf(lastSymbol);
            const auto acquires = optionToAcquire(lastSymbol, false);
            callBuys = acquires ? &callsOn[instrumentKey(acquires->underlying)] : nullptr;
            classBuys =
                option && input.washOptions ? &optionClasses[washOptionClass(*option)] : nullptr;
            contractShares = option ? option->sharesPerContract : 1;
            isOption = option.has_value();
        }
        state.option = isOption;
        const qint64 day = state.buy->date.toJulianDay();
        symbolBuys->append({day, state.buy->id, i});
        if (callBuys)
            callBuys->append({day, state.buy->id, i, contractShares});
        if (classBuys)
            classBuys->append({day, state.buy->id, i});
    }
    // A put written is no replacement for a put bought (the other side of
    // the contract), only for its stock.
    QHash<qint64, qsizetype> writtenAt;
    for (qsizetype i = bought; i < buys.size(); ++i) {
        BuyState& state = buys[i];
        state.buy = &input.writtenPuts[i - bought];
        state.settings = accounts.settings(state.buy->account);
        state.digital = kinds.digital(state.buy->account, state.buy->symbol);
        state.option = true;
        writtenAt.insert(state.buy->id, i);
        if (const auto option = optionToAcquire(state.buy->symbol, true))
            callsOn[instrumentKey(option->underlying)].append(
                {state.buy->date.toJulianDay(), state.buy->id, i, option->sharesPerContract});
    }
    const auto stateOf = [&](qint64 id) -> qsizetype {
        const auto written = writtenAt.constFind(id);
        return written != writtenAt.cend() ? *written : byId.find(id);
    };
    // By date, then ID, as the day number orders dates.
    const auto byDate = [](const Candidate& a, const Candidate& b) {
        return a.day != b.day ? a.day < b.day : a.id < b.id;
    };
    for (auto* lists : {&bySymbol, &callsOn, &optionClasses}) {
        for (QVector<Candidate>& list : *lists) {
            // A processed account gives its buys in this order already.
            if (!std::is_sorted(list.cbegin(), list.cend(), byDate))
                std::sort(list.begin(), list.end(), byDate);
        }
    }
    // A name cut short and its long forms replace each other: their lists
    // are joined, once, for the sells of such a name.
    QHash<QString, QVector<Candidate>> joined;
    const auto candidatesOf = [&](const QString& symbol) -> const QVector<Candidate>* {
        const QString key = instrumentKey(symbol);
        const QStringList relatives = keys.relatives(key);
        const auto own = bySymbol.constFind(key);
        // A stock's calls replace it; with washOptions an option's whole
        // class (itself among them) replaces it.
        const QVector<Candidate>* more = nullptr;
        bool ownInMore = false;
        if (const auto option = optionOf(symbol)) {
            if (input.washOptions) {
                const auto found = optionClasses.constFind(washOptionClass(*option));
                more = found == optionClasses.cend() ? nullptr : &*found;
                ownInMore = true;
            }
        } else if (!callsOn.isEmpty()) {
            const auto found = callsOn.constFind(key);
            more = found == callsOn.cend() ? nullptr : &*found;
        }
        if (relatives.isEmpty() && !more)
            return own == bySymbol.cend() ? nullptr : &*own;
        if (const auto made = joined.constFind(key); made != joined.cend())
            return &*made;
        QVector<Candidate> all = ownInMore ? QVector<Candidate>() : bySymbol.value(key);
        if (more)
            all += *more;
        for (const QString& relative : relatives)
            all += bySymbol.value(relative);
        std::sort(all.begin(), all.end(), byDate);
        return &*joined.insert(key, all);
    };
    for (const LotAdjustRecord& adj : input.previous) {
        if (const qsizetype at = stateOf(adj.buyId); at >= 0)
            buys[at].previous.append(
                {adj.firstShare, adj.shares, adj.addedCost, adj.daysBack, adj.permanent});
    }

    // Sorted on keys side by side: a sort through pointers would read a
    // sell from a random place at every step. The day number orders dates
    // as QDate does, an invalid date first. An exercise or assignment comes
    // before the sells of its day, so that the shares it brings in are sold
    // with what it handed on.
    struct SellOrder {
        qint64 day = 0;
        bool sale = true;
        qint64 id = 0;
        const WashSell* sell = nullptr;
        const WashCarry* carry = nullptr;
    };
    std::vector<SellOrder> order;
    order.reserve(size_t(input.sells.size() + input.carries.size()));
    for (const WashSell& sell : input.sells)
        order.push_back({sell.dateSold.toJulianDay(), true, sell.id, &sell, nullptr});
    for (const WashCarry& carry : input.carries)
        order.push_back({carry.date.toJulianDay(), false, carry.id, nullptr, &carry});
    std::sort(order.begin(), order.end(), [](const SellOrder& a, const SellOrder& b) {
        return std::tie(a.day, a.sale, a.id) < std::tie(b.day, b.sale, b.id);
    });

    // The stored rows of each option's marks, which an exercise or
    // assignment moves to the shares it brings in.
    QHash<qint64, QVector<qsizetype>> optionRows;
    // Until the day they come in, those shares are the option's contracts.
    for (const WashCarry& carry : input.carries) {
        const qsizetype stock = carry.stockBuy > 0 ? byId.find(carry.stockBuy) : -1;
        for (const WashLot& lot : carry.lots) {
            if (const qsizetype option = stateOf(lot.buyId); stock >= 0 && option >= 0)
                buys[stock].ties.append({option, lot.quantity, carry.sharesPerContract});
        }
    }
    const auto handOn = [&](const WashCarry& carry) {
        const qsizetype stockAt = carry.stockBuy > 0 ? byId.find(carry.stockBuy) : -1;
        BuyState* const stock = stockAt >= 0 ? &buys[stockAt] : nullptr;
        // The parts of the option's rows the contracts closed hold: their
        // first contract, shares as bought, cost and row to take from.
        struct Part {
            Quantity first;
            Quantity shares;
            Money cost;
            qsizetype row = 0;
        };
        QVector<Part> parts;
        for (const WashLot& lot : carry.lots) {
            const qsizetype at = stateOf(lot.buyId);
            if (at < 0 || !lot.quantity.isPositive())
                continue;
            BuyState& option = buys[at];
            const Quantity from = option.sold;
            const Quantity to = from + lot.quantity;
            option.sold = to;
            if (!stock)
                continue;
            QVector<qsizetype>& rows = optionRows[option.buy->id];
            for (qsizetype r = 0, n = rows.size(); r < n; ++r) {
                const LotAdjustRecord row = result.adjustments[rows[r]];
                const Quantity end = row.firstShare + row.shares;
                const Quantity o0 = max(from, row.firstShare);
                const Quantity o1 = min(to, end);
                if (row.permanent || !(o0 < o1))
                    continue;
                // Running parts of the row's cost, so that the three add up.
                const Money before = row.addedCost.scaled(o0 - row.firstShare, row.shares);
                const Money through = row.addedCost.scaled(o1 - row.firstShare, row.shares);
                parts.append({o0, o1 - o0, through - before, rows[r]});
                // The row keeps what lies either side of the contracts.
                LotAdjustRecord& kept = result.adjustments[rows[r]];
                if (row.firstShare < o0) {
                    kept.shares = o0 - row.firstShare;
                    kept.addedCost = before;
                } else {
                    kept.firstShare = o1;
                    kept.shares = end - o1;
                    kept.addedCost = row.addedCost - through;
                }
                if (row.firstShare < o0 && o1 < end) {
                    LotAdjustRecord right = row;
                    right.firstShare = o1;
                    right.shares = end - o1;
                    right.addedCost = row.addedCost - through;
                    rows.append(result.adjustments.size());
                    result.adjustments.append(right);
                }
            }
        }
        if (!stock)
            return;
        stock->ties.clear();
        std::stable_sort(parts.begin(), parts.end(),
                         [](const Part& a, const Part& b) { return a.first < b.first; });
        // The shares take the parts from their first share on, as many as
        // they hold.
        Quantity next;
        for (const Part& part : std::as_const(parts)) {
            const LotAdjustRecord& from = result.adjustments[part.row];
            const Quantity shares =
                min(part.shares.times(carry.sharesPerContract), stock->buy->quantity - next);
            if (!shares.isPositive()) {
                // No share left to take it: the option keeps its part.
                LotAdjustRecord kept = from;
                kept.firstShare = part.first;
                kept.shares = part.shares;
                kept.addedCost = part.cost;
                result.adjustments.append(kept);
                continue;
            }
            stock->marks.append({next, shares, part.cost, from.daysBack, false});
            result.adjustments.append({stock->buy->id, next, shares, part.cost, from.daysBack,
                                       from.lossSellId, from.lossAccount, false});
            next += shares;
        }
        stock->markedEnd = max(stock->markedEnd, next);
    };

    // Shares each buy had given to sales by a day, for the short sales'
    // question of what the account still held when it sold short; built only
    // when there is a short sale to ask it.
    QHash<qint64, QVector<std::pair<qint64, Quantity>>> soldFromBuy;
    const bool anyShort = std::any_of(input.sells.cbegin(), input.sells.cend(),
                                      [](const WashSell& sell) { return sell.shortSale; });
    if (anyShort) {
        for (const WashSell& sell : input.sells) {
            for (const WashLot& lot : sell.lots) {
                if (lot.buyId > 0 && lot.quantity.isPositive())
                    soldFromBuy[lot.buyId].append({sell.dateSold.toJulianDay(), lot.quantity});
            }
        }
    }
    // Shares of a buy sold on or before a day, taken from its first on.
    const auto soldBy = [&](qint64 buyId, qint64 day) {
        Quantity sold;
        for (const auto& [when, shares] : soldFromBuy.value(buyId)) {
            if (when <= day)
                sold += shares;
        }
        return sold;
    };
    // An instrument's key followed by those of its names cut short or long.
    const auto namesOf = [&](const QString& symbol) {
        const QString key = instrumentKey(symbol);
        QStringList names = keys.relatives(key);
        names.prepend(key);
        return names;
    };
    // Brokers report per account, and one account's long shares are what
    // its short sale is "against"; the instrument is the sell's by its whole
    // name (a name cut short and its long forms alike).
    const auto heldLongOn = [&](const QString& account, const QString& symbol, const QDate& day) {
        const qint64 until = day.toJulianDay();
        for (const QString& name : namesOf(symbol)) {
            const auto found = bySymbol.constFind(name);
            if (found == bySymbol.cend())
                continue;
            for (const Candidate& c : *found) {
                const WashBuy& buy = input.buys[c.at];
                if (c.day <= until && buy.account == account &&
                    holdingTerm(buy.date, day) == HoldingTerm::Long &&
                    (buy.quantity - soldBy(buy.id, until)).isPositive())
                    return true;
            }
        }
        return false;
    };
    // Shares held a year or less when the account sold short, and shares
    // bought while the short was open, are held from the day it is closed
    // (or the day they are sold, if earlier), oldest first and no more of
    // them than the short covered (26 CFR 1.1233-1(c)(2)): a short sale
    // cannot carry a position into long term.
    QHash<qint64, QVector<HoldingReset>> resets;
    if (anyShort) {
        struct ShortSale {
            const WashSell* sale = nullptr;
            QDate closed;
            Quantity covered;
        };
        QHash<qint64, ShortSale> byShort;
        QSet<qint64> covers;
        for (const WashSell& sell : input.sells) {
            if (!sell.shortSale || !sell.shortOpened.isValid())
                continue;
            for (const WashLot& lot : sell.lots)
                covers.insert(lot.buyId);
            ShortSale& one = byShort[sell.id];
            if (!one.sale)
                one.sale = &sell;
            one.closed = std::max(one.closed, sell.dateSold);
            one.covered += sell.quantity;
        }
        QVector<ShortSale> shorts = byShort.values();
        std::sort(shorts.begin(), shorts.end(), [](const ShortSale& a, const ShortSale& b) {
            return std::tie(a.sale->shortOpened, a.sale->id) <
                   std::tie(b.sale->shortOpened, b.sale->id);
        });
        QHash<qint64, Quantity> claimed; // shares of a buy reset by an earlier short
        for (const ShortSale& one : std::as_const(shorts)) {
            const WashSell& sale = *one.sale;
            const qint64 opened = sale.shortOpened.toJulianDay();
            const qint64 closed = one.closed.toJulianDay();
            Quantity need = one.covered;
            for (const QString& name : namesOf(sale.symbol)) {
                const auto found = bySymbol.constFind(name);
                if (found == bySymbol.cend())
                    continue;
                for (const Candidate& c : *found) {
                    const WashBuy& buy = input.buys[c.at];
                    if (!need.isPositive() || c.day > closed || buy.account != sale.account ||
                        covers.contains(buy.id))
                        continue;
                    Quantity first = claimed.value(buy.id);
                    if (c.day <= opened) {
                        if (holdingTerm(buy.date, sale.shortOpened) == HoldingTerm::Long)
                            continue;
                        first = max(first, soldBy(buy.id, opened));
                    }
                    const Quantity take = min(need, buy.quantity - first);
                    if (!take.isPositive())
                        continue;
                    resets[buy.id].append({first, take, one.closed});
                    claimed[buy.id] = first + take;
                    need -= take;
                    // Kept with the lot adjustments, so that the open lots
                    // show the day the shares are held from.
                    if (const qint64 days = buy.date.daysTo(one.closed); days > 0)
                        result.adjustments.append(
                            {buy.id, first, take, Money(), -days, sale.id, sale.account, false});
                }
            }
        }
    }
    // A lot cut as cutLot does, its shares that a short sale reset held from
    // that day; the sale of shares before the short closed holds them from
    // the day of the sale.
    const auto cutHeld = [&](const WashLot& lot, double factor, Quantity from,
                             const QVector<Mark>& marks, QVector<AppliedLot>& into,
                             const QDate& dateSold) {
        const auto found = resets.constFind(lot.buyId);
        if (found == resets.cend())
            return cutLot(lot, factor, from, marks, &into);
        const Quantity bought = lot.quantity.dividedBy(factor);
        const Quantity to = from + bought;
        QVector<Quantity> ends{from, to};
        for (const HoldingReset& reset : *found) {
            for (const Quantity end : {reset.first, reset.first + reset.shares}) {
                if (from < end && end < to)
                    ends.append(end);
            }
        }
        std::sort(ends.begin(), ends.end());
        ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
        bool met = false;
        Money given;
        for (qsizetype i = 0; i + 1 < ends.size(); ++i) {
            WashLot piece = lot;
            piece.quantity = (ends[i + 1] - ends[i]).times(factor);
            piece.cost = i + 2 == ends.size() ? lot.cost - given
                                              : lot.cost.scaled(ends[i + 1] - ends[i], bought);
            given += piece.cost;
            const qsizetype start = into.size();
            met |= cutLot(piece, factor, ends[i], marks, &into);
            for (const HoldingReset& reset : *found) {
                if (!(reset.first <= ends[i] && ends[i + 1] <= reset.first + reset.shares))
                    continue;
                const QDate held = std::min(reset.from, dateSold);
                for (qsizetype k = start; k < into.size(); ++k) {
                    if (into[k].acquired.isValid() && into[k].acquired < held)
                        into[k].acquired = held;
                }
            }
        }
        return met;
    };

    QVector<AppliedLot> lots;
    QVector<LossLot> losses;
    result.sells.reserve(input.sells.size());
    result.sellAt.resize(input.sells.size());
    for (const SellOrder& entry : order) {
        if (entry.carry) {
            handOn(*entry.carry);
            continue;
        }
        const WashSell* sell = entry.sell;
        result.sellAt[sell - input.sells.constData()] = result.sells.size();
        WashSellResult& out = result.sells.emplace_back();
        out.sellId = sell->id;
        out.account = sell->account;
        out.symbol = sell->symbol;
        out.dateSold = sell->dateSold;
        out.shortSale = sell->shortSale;

        // The sell takes its shares of each buy first, so they are never
        // its own replacements.
        lots.clear();
        // A put written closes with the adjustment it took itself, in the
        // order of its contracts.
        const auto writtenPut = sell->shortSale ? writtenAt.constFind(sell->id) : writtenAt.cend();
        BuyState* const put = writtenPut != writtenAt.cend() ? &buys[*writtenPut] : nullptr;
        for (const WashLot& lot : sell->lots) {
            const qsizetype at = lot.buyId > 0 ? byId.find(lot.buyId) : -1;
            if (at < 0 || !lot.acquired.isValid() || !lot.quantity.isPositive()) {
                lots.append({lot.quantity, lot.cost, lot.acquired});
                if (put)
                    put->sold += max(lot.quantity, Quantity());
                continue;
            }
            BuyState& buy = buys[at];
            // The link holds the sell's shares, as the matching converted
            // them; the buy counts its own.
            const double factor =
                input.actions.isEmpty()
                    ? 1
                    : input.actions.lotAt(buy.buy->symbol, buy.buy->date, sell->dateSold).factor;
            if (put) {
                // The cost, not the days: a writer's gain or loss is short
                // term however long the washed shares were held.
                out.involved |= cutLot(lot, 1, put->sold, put->marks, &lots, false);
                out.wasInvolved |= cutLot(lot, 1, put->sold, put->previous, nullptr);
                put->sold += lot.quantity;
            } else {
                out.involved |= cutHeld(lot, factor, buy.sold, buy.marks, lots, sell->dateSold);
                out.wasInvolved |= cutLot(lot, factor, buy.sold, buy.previous, nullptr);
            }
            buy.sold += lot.quantity.dividedBy(factor);
        }

        out.parts = splitFigures(sell->quantity, sell->dateSold, sell->salePrice,
                                 {lots.constData(), size_t(lots.size())});
        const bool digital = kinds.digital(sell->account, sell->symbol);
        setBoxes(out.parts, sell->dateSold, accounts.basis(sell->account),
                 digital ? AssetKind::Digital : AssetKind::Security);
        // A short sale made while the account held the instrument more than a
        // year loses long term, however briefly the covering shares were held
        // (26 CFR 1.1233-1(c)(3)); its gain stays short term.
        if (sell->shortSale && sell->shortOpened.isValid() &&
            heldLongOn(sell->account, sell->symbol, sell->shortOpened)) {
            for (int i = 0; i < out.parts.count; ++i) {
                TermFigures& part = out.parts.parts[i];
                if (part.salePrice < part.cost)
                    part.box =
                        boxFor(HoldingTerm::Long, accounts.basis(sell->account),
                               digital ? AssetKind::Digital : AssetKind::Security, sell->dateSold);
            }
        }

        const WashSettings own = accounts.settings(sell->account);
        // A buy is no replacement for a short's loss: what would wash it is
        // another short sale or a sale within the window (26 CFR
        // 1.1091-1(g)), which detection does not look for yet, so the loss
        // is kept whole rather than washed by the wrong trade.
        if (own.detect && !own.taxAdvantaged && !sell->untied && !sell->shortSale &&
            (!digital || input.washDigital)) {
            lossLots(out.parts, sell->dateSold, lots, losses);
            if (losses.isEmpty())
                continue;
            const QVector<Candidate>* found = candidatesOf(sell->symbol);
            const Candidate* const begin = found ? found->constData() : nullptr;
            const Candidate* const end = found ? found->constData() + found->size() : nullptr;
            const qint64 from = sell->dateSold.addDays(-kWashWindowDays).toJulianDay();
            const qint64 to = sell->dateSold.addDays(kWashWindowDays).toJulianDay();
            // Replacement shares meet the loss shares in the order those
            // were acquired, each run of them taking the loss, the days held
            // and the cost of the shares it meets.
            qsizetype next = 0; // the first loss lot not wholly replaced
            for (const Candidate *it = std::lower_bound(
                     begin, end, from,
                     [](const Candidate&buy, qint64 day) { return buy.day < day; });
                 it != end && it->day <= to && next < losses.size(); ++it) {
                BuyState& buy = buys[it->at];
                if (!buy.settings.detect || buy.digital != digital ||
                    (!own.otherAccounts && buy.buy->account != sell->account))
                    continue;
                Quantity start = max(buy.sold, buy.markedEnd);
                // Shares an option will bring in are taken as far as its
                // contracts replaced a loss already. The option is met first
                // in any window that holds both, being the older.
                Quantity tied;
                for (const ExerciseTie& tie : std::as_const(buy.ties)) {
                    const BuyState& option = buys[tie.option];
                    const Quantity used =
                        min(max(option.markedEnd - option.sold, Quantity()), tie.contracts);
                    tied += used.times(tie.sharesPerContract);
                }
                start = max(start, tied);
                // Sold and replacement shares counted alike across a split
                // between the two dates.
                const double perSold =
                    boughtPerSold(input, *buy.buy, sell->symbol, sell->dateSold) /
                    it->sharesPerUnit;
                Quantity free = (buy.buy->quantity - start).dividedBy(perSold);
                const bool permanent = buy.settings.taxAdvantaged;
                while (free.isPositive() && next < losses.size()) {
                    LossLot& loss = losses[next];
                    const Quantity sold = min(free, loss.quantity - loss.replaced);
                    if (sold.isPositive()) {
                        const Quantity shares = sold.times(perSold);
                        loss.replaced += sold;
                        // Each run's part is the difference of the running
                        // totals, so the parts add up to the lot's loss.
                        const Money upTo = loss.loss.scaled(loss.replaced, loss.quantity);
                        const Money added = upTo - loss.given;
                        loss.given = upTo;
                        buy.marks.append({start, shares, added, loss.daysBack, permanent});
                        if (buy.option)
                            optionRows[buy.buy->id].append(result.adjustments.size());
                        result.adjustments.append({buy.buy->id, start, shares, added, loss.daysBack,
                                                   sell->id, sell->account, permanent});
                        start += shares;
                        buy.markedEnd = start;
                        free -= sold;
                    }
                    if (!(loss.replaced < loss.quantity) || !sold.isPositive())
                        ++next;
                }
            }
            for (const LossLot& loss : std::as_const(losses)) {
                out.parts.parts[loss.part].washAdjustment += loss.given;
                out.involved |= !loss.given.isZero();
            }
        }
    }
    // Rows an exercise or assignment moved on whole.
    result.adjustments.removeIf(
        [](const LotAdjustRecord& row) { return !row.shares.isPositive(); });
    return result;
}

} // namespace gainbook
