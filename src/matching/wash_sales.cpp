#include "matching/wash_sales.h"

#include "matching/id_index.h"
#include "matching/matcher.h"
#include "matching/open_quantity.h"

#include <algorithm>
#include <vector>

namespace gainbook {

namespace {

// A lot's shares in shares as bought, factor sold shares to one bought.
double asBought(double sold, double factor) {
    return factor == 1 ? sold : roundQuantity(sold / factor);
}

// A run of a buy's shares that replaced a loss.
struct Mark {
    double first = 0;
    double shares = 0;
    Money addedCost;
    qint64 daysBack = 0;
    bool permanent = false;
};

// What detection keeps of a buy while it walks the sells.
struct BuyState {
    const WashBuy* buy = nullptr;
    WashSettings settings;
    double sold = 0;      // shares taken by the sells so far, from the first on
    double markedEnd = 0; // shares up to here replace a loss already
    QVector<Mark> marks;  // by first share
    QVector<Mark> previous;
};

// A buy in the list of its symbol, with its date as a day number.
struct Candidate {
    qint64 day = 0;
    qint64 id = 0;
    qsizetype at = 0; // in the input's buys
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
bool cutLot(const WashLot& lot, double factor, double from, const QVector<Mark>& marks,
            QVector<AppliedLot>* out) {
    const qsizetype first = out ? out->size() : 0;
    const double bought = asBought(lot.quantity, factor);
    const double to = from + bought;
    double plain = lot.quantity;
    Money plainCost = lot.cost;
    bool met = false;
    for (const Mark& mark : marks) {
        const double overlap =
            roundQuantity(std::min(to, mark.first + mark.shares) - std::max(from, mark.first));
        if (overlap <= 0)
            continue;
        met = true;
        if (!out || mark.permanent)
            continue;
        const Money cost = lot.cost.scaled(overlap, bought);
        const double sold = factor == 1 ? overlap : roundQuantity(overlap * factor);
        out->append({sold, cost + mark.addedCost.scaled(overlap, mark.shares),
                     lot.acquired.addDays(-mark.daysBack)});
        plain = roundQuantity(plain - sold);
        plainCost -= cost;
    }
    if (!out)
        return met;
    if (plain > 0 || out->size() == first)
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

} // namespace

TaxRecord WashSellResult::record(int part) const {
    TaxRecord sell;
    sell.accountName = account;
    sell.symbol = symbol;
    sell.dateSold = dateSold;
    sell.sellId = sellId;
    return recordOf(sell, parts.parts[part]);
}

WashResult detectWashSales(const WashInput& input) {
    WashResult result;

    // Buys by ID, and by symbol in date order for the windows.
    QVector<BuyState> buys(input.buys.size());
    const IdIndex byId(input.buys.size(), [&](qsizetype i) { return input.buys[i].id; });
    // Each window is searched by day in a list of its own symbol's buys
    // laid side by side, not through the buys themselves.
    QHash<QString, QVector<Candidate>> bySymbol;
    AccountLookup accounts(input);
    QString lastSymbol;
    QVector<Candidate>* symbolBuys = nullptr;
    for (qsizetype i = 0; i < input.buys.size(); ++i) {
        BuyState& state = buys[i];
        state.buy = &input.buys[i];
        state.settings = accounts.settings(state.buy->account);
        // Buys come symbol by symbol: the list of the last one is at hand.
        if (!symbolBuys || state.buy->symbol != lastSymbol) {
            lastSymbol = state.buy->symbol;
            symbolBuys = &bySymbol[symbolPrefix(lastSymbol)];
        }
        symbolBuys->append({state.buy->date.toJulianDay(), state.buy->id, i});
    }
    // By date, then ID, as the day number orders dates.
    const auto byDate = [](const Candidate& a, const Candidate& b) {
        return a.day != b.day ? a.day < b.day : a.id < b.id;
    };
    for (QVector<Candidate>& list : bySymbol) {
        // A processed account gives its buys in this order already.
        if (!std::is_sorted(list.cbegin(), list.cend(), byDate))
            std::sort(list.begin(), list.end(), byDate);
    }
    for (const LotAdjustRecord& adj : input.previous) {
        if (const qsizetype at = byId.find(adj.buyId); at >= 0)
            buys[at].previous.append(
                {adj.firstShare, adj.shares, adj.addedCost, adj.daysBack, adj.permanent});
    }

    // Sorted on keys side by side: a sort through pointers would read a
    // sell from a random place at every step. The day number orders dates
    // as QDate does, an invalid date first.
    struct SellOrder {
        qint64 day = 0;
        qint64 id = 0;
        const WashSell* sell = nullptr;
    };
    std::vector<SellOrder> order;
    order.reserve(size_t(input.sells.size()));
    for (const WashSell& sell : input.sells)
        order.push_back({sell.dateSold.toJulianDay(), sell.id, &sell});
    std::sort(order.begin(), order.end(), [](const SellOrder& a, const SellOrder& b) {
        return a.day != b.day ? a.day < b.day : a.id < b.id;
    });

    QVector<AppliedLot> lots;
    result.sells.reserve(qsizetype(order.size()));
    result.sellAt.resize(qsizetype(order.size()));
    for (const SellOrder& entry : order) {
        const WashSell* sell = entry.sell;
        result.sellAt[sell - input.sells.constData()] = result.sells.size();
        WashSellResult& out = result.sells.emplace_back();
        out.sellId = sell->id;
        out.account = sell->account;
        out.symbol = sell->symbol;
        out.dateSold = sell->dateSold;

        // The sell takes its shares of each buy first, so they are never
        // its own replacements.
        lots.clear();
        for (const WashLot& lot : sell->lots) {
            const qsizetype at = lot.buyId > 0 ? byId.find(lot.buyId) : -1;
            if (at < 0 || !lot.acquired.isValid() || lot.quantity <= 0) {
                lots.append({lot.quantity, lot.cost, lot.acquired});
                continue;
            }
            BuyState& buy = buys[at];
            // The link holds the sell's shares, as the matching converted
            // them; the buy counts its own.
            const double factor =
                input.actions.isEmpty()
                    ? 1
                    : input.actions.lotAt(buy.buy->symbol, buy.buy->date, sell->dateSold).factor;
            out.involved |= cutLot(lot, factor, buy.sold, buy.marks, &lots);
            out.wasInvolved |= cutLot(lot, factor, buy.sold, buy.previous, nullptr);
            buy.sold = roundQuantity(buy.sold + asBought(lot.quantity, factor));
        }

        out.parts = splitFigures(sell->quantity, sell->dateSold, sell->salePrice,
                                 {lots.constData(), size_t(lots.size())});
        setBoxes(out.parts, sell->dateSold, accounts.basis(sell->account));

        const WashSettings own = accounts.settings(sell->account);
        if (own.detect && !own.taxAdvantaged) {
            const auto found = bySymbol.constFind(symbolPrefix(sell->symbol));
            const Candidate* const begin = found == bySymbol.cend() ? nullptr : found->constData();
            const Candidate* const end =
                found == bySymbol.cend() ? nullptr : found->constData() + found->size();
            const qint64 to = sell->dateSold.addDays(kWashWindowDays).toJulianDay();
            const Candidate* first = nullptr; // found at the first loss
            for (int part = 0; part < out.parts.count; ++part) {
                TermFigures& record = out.parts.parts[part];
                const Money loss = record.cost - record.salePrice;
                if (loss <= Money() || record.quantity <= 0)
                    continue;
                if (!first) {
                    const qint64 from = sell->dateSold.addDays(-kWashWindowDays).toJulianDay();
                    first =
                        std::lower_bound(begin, end, from, [](const Candidate& buy, qint64 day) {
                            return buy.day < day;
                        });
                }
                const qint64 daysBack =
                    record.dateAcquired.isValid()
                        ? std::max<qint64>(0, record.dateAcquired.daysTo(sell->dateSold))
                        : 0;
                double replaced = 0;
                Money given;
                for (const Candidate* it = first; it != end && replaced < record.quantity; ++it) {
                    if (it->day > to)
                        break;
                    BuyState& buy = buys[it->at];
                    if (!buy.settings.detect ||
                        (!own.otherAccounts && buy.buy->account != sell->account))
                        continue;
                    const double start = std::max(buy.sold, buy.markedEnd);
                    // Sold and replacement shares counted alike across a
                    // split between the two dates.
                    const double perSold =
                        boughtPerSold(input, *buy.buy, sell->symbol, sell->dateSold);
                    const double sold = roundQuantity(std::min(
                        (buy.buy->quantity - start) / perSold, record.quantity - replaced));
                    if (sold <= 0)
                        continue;
                    const double shares = perSold == 1 ? sold : roundQuantity(sold * perSold);
                    replaced = roundQuantity(replaced + sold);
                    // Each run's part is the difference of the running
                    // totals, so the parts add up to the disallowed loss.
                    const Money upTo = loss.scaled(replaced, record.quantity);
                    const Money added = upTo - given;
                    given = upTo;
                    const bool permanent = buy.settings.taxAdvantaged;
                    buy.marks.append({start, shares, added, daysBack, permanent});
                    buy.markedEnd = roundQuantity(start + shares);
                    result.adjustments.append({buy.buy->id, start, shares, added, daysBack,
                                               sell->id, sell->account, permanent});
                }
                record.washAdjustment = given;
                out.involved |= !given.isZero();
            }
        }
    }
    return result;
}

} // namespace gainbook
