#include "matching/matcher.h"

#include "matching/open_quantity.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/option_symbol.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/lot_method_table.h"
#include "store/sql.h"
#include "store/transfer_link_table.h"
#include "store/unknown_cost_table.h"

#include <algorithm>

namespace gainbook {

Matcher::Matcher(QSqlDatabase db, QString account, std::optional<LotMethod> method)
    : db_(std::move(db)), account_(std::move(account)), actions_(selectCorpActions(db_)),
      unknownCost_(selectUnknownCostBuys(db_)),
      methods_(method ? AccountLotMethods{*method, {}} : selectLotMethods(db_, account_)),
      rows_(std::make_unique<TradeRows>(db_)), links_(std::make_unique<LinkWriter>(db_)) {}

Matcher::Matcher(const AccountTrades& trades, LotMethod method)
    : account_(trades.account), actions_(trades.actions),
      unknownCost_(trades.unknownCost), methods_{method, {}}, trades_(&trades) {}

Matcher::~Matcher() = default;

void Matcher::MoveQuantity(const QVector<LinkRecord>& kept) {
    openBuys_.clear();
    keys_ = {};
    buys_.clear();
    memoChanges_.clear();
    fresh_.buysGiven = true;

    // Shares of this account's buys that other accounts' sells hold by hand,
    // in the sells' shares and dates, by buy.
    QHash<qint64, QVector<LinkRecord>> heldByOthers;
    const QVector<LinkRecord> others =
        trades_ ? trades_->heldByOthers : selectLinksHeldByOthers(db_, account_);
    for (const LinkRecord& link : others)
        heldByOthers[link.buyId].append(link);
    for (const LinkRecord& link : kept) {
        if (link.buyId > 0)
            heldByOthers[link.buyId].append(link);
    }

    QVector<SymbolBuys> spellings; // one a symbol as the store spells it
    const QSet<qint64> replaced = addMovedLots(spellings, heldByOthers);
    // Buys repeat a few lot sizes: each size's Memo text is made once.
    Quantity lastQuantity;
    QString reopened = openQuantityText(lastQuantity);
    const QString usedUpText = reopened;
    const auto openBuy = [&](const AccountBuy& row, QStringView storedMemo) {
        const QString& stored = row.storedDate;
        const QDate bought = dateFromStored(stored);
        Quantity open = row.quantity;
        if (const auto held = heldByOthers.constFind(row.id); held != heldByOthers.cend()) {
            for (const LinkRecord& link : *held) {
                const double factor =
                    actions_.isEmpty() ? 1
                                       : actions_.lotAt(row.symbol, bought, link.sellDate).factor;
                open -= link.buyQuantity.dividedBy(factor);
            }
            open = max(open, Quantity());
        }
        if (open != lastQuantity) {
            lastQuantity = open;
            reopened = openQuantityText(open);
        }
        // A receive whose lots came with it is used up: the lots stand in
        // its place.
        const QString& memo = replaced.contains(row.id) ? usedUpText : reopened;
        // Trades in memory write no Memo: none is changed.
        const bool changed = !trades_ && storedMemo != memo;
        // Shares transferred in were bought some other time: the transfer
        // is no purchase that could replace a loss.
        const bool costUnknown = unknownCost_.contains(row.id);
        if (bought.isValid() && !costUnknown)
            fresh_.buys.append({row.id, account_, row.symbol, bought, row.quantity});
        // A buy of no shares, of a negative count, held whole by others or
        // without a date is never applied; it only gets its Memo back.
        if (!isOpenMemo(memo) || stored.isNull() || replaced.contains(row.id)) {
            if (changed)
                memoChanges_.append({row.id, memo});
            return;
        }
        if (spellings.isEmpty() || row.symbol != spellings.back().symbol) {
            const QString key = instrumentKey(row.symbol);
            spellings.append(SymbolBuys{row.symbol, key, buys_.size(), buys_.size()});
        }
        const Money amount = row.amount;
        buys_.append(
            OpenBuy{row.id, row.quantity, open, stored, bought, amount, changed, costUnknown,
                    open == row.quantity ? amount.abs() : amount.abs().scaled(open, row.quantity),
                    row.opensLong, row.carries});
        spellings.back().end = buys_.size();
    };
    if (trades_) {
        for (const AccountBuy& row : trades_->buys)
            openBuy(row, {});
    } else {
        rows_->selectBuys(account_);
        AccountBuy row;
        while (rows_->nextBuy(row, texts_))
            openBuy(row, rows_->buyMemo());
    }
    bool spellingsShareKeys = !replaced.isEmpty();
    for (const SymbolBuys& spelling : std::as_const(spellings)) {
        spellingsShareKeys |= openBuys_.contains(spelling.key);
        openBuys_.insert(spelling.key, spelling);
        keys_.add(spelling.key);
    }
    if (spellingsShareKeys)
        mergeSpellings(spellings);
}

QSet<qint64> Matcher::addMovedLots(QVector<SymbolBuys>& spellings,
                                   QHash<qint64, QVector<LinkRecord>>& held) {
    QSet<qint64> replaced;
    moved_.clear();
    QVector<LinkedReceive> receives =
        trades_ ? trades_->receives : selectReceivedLots(db_, account_);
    for (LinkedReceive& receive : receives) {
        if (receive.lots.isEmpty()) {
            ++warnings_.waitingReceives;
            if (warnings_.firstWaiting.isNull() ||
                receive.storedReceiveDate < warnings_.firstWaiting)
                warnings_.firstWaiting = receive.storedReceiveDate;
            continue;
        }
        replaced.insert(receive.receiveId);
        const QString symbol = texts_.of(receive.symbol);
        const QString arrived = texts_.of(receive.storedReceiveDate);
        spellings.append(SymbolBuys{symbol, instrumentKey(symbol), buys_.size(), buys_.size()});
        // A network fee paid in the coin makes the receive smaller than the
        // send: each lot arrives short by its share of the fee and keeps
        // its whole cost, the fee being part of what the coins cost; the
        // last lot takes what the shares leave, so they add up exactly.
        Quantity given;
        for (qsizetype i = 0; i < receive.lots.size(); ++i) {
            const MovedLot& lot = receive.lots[i];
            Quantity shares = lot.quantity;
            if (receive.received != receive.sent && receive.sent.isPositive()) {
                shares = i + 1 == receive.lots.size()
                             ? receive.received - given
                             : Quantity::fromDouble(lot.quantity.toDouble() *
                                                    receive.received.toDouble() /
                                                    receive.sent.toDouble());
            }
            given += shares;
            const QString stored = texts_.of(lot.storedDate);
            const QDate bought = dateFromStored(stored);
            // The send counted the lot in shares of its day: a split before
            // it is taken back, so that the lot, seen from the day it was
            // bought, splits once like any other.
            if (!actions_.isEmpty()) {
                const double factor = actions_.lotAt(symbol, bought, receive.sendDate).factor;
                if (factor > 0 && factor != 1)
                    shares = shares.dividedBy(factor);
            }
            OpenBuy buy{lot.buyId, shares, shares,          stored,   bought,
                        -lot.cost, false,  lot.costUnknown, lot.cost, false};
            buy.moved = true;
            buy.movedRow = int(moved_.size());
            buys_.append(buy);
            moved_.append({receive.receiveId, lot.buyId, account_, symbol, stored, arrived,
                           lot.quantity, lot.cost, lot.costUnknown, shares, shares, lot.cost});
        }
        spellings.back().end = buys_.size();
    }
    // Lots the run keeps (picked by hand here) hold their moved shares.
    for (qsizetype i = 0; i < buys_.size(); ++i) {
        OpenBuy& buy = buys_[i];
        const auto kept = held.find(buy.id);
        if (kept == held.end())
            continue;
        for (const LinkRecord& link : std::as_const(*kept))
            buy.open -= link.buyQuantity;
        buy.open = max(buy.open, Quantity());
        buy.openCost = buy.open == buy.quantity ? buy.amount.abs()
                                                : buy.amount.abs().scaled(buy.open, buy.quantity);
        held.erase(kept);
    }
    return replaced;
}

void Matcher::sendOut() {
    // The shares sent are those held on the day, oldest first or by the
    // account's lot method; a send of more than is held sends what there is.
    sellKey_ = instrumentKey(sell_.symbol);
    method_ = methods_.of(sellKey_);
    state_ = MatchingState{sell_.quantity, sell_.quantity, Money(), false, kAllBuysFound};
    lots_.clear();
    keptBuys_.clear();
    boughtAfterSell_ = false;
    costUnknownLot_ = false;
    newLots_ = 0;
    if (state_.remainingQty.isPositive())
        LookForBuy(BuySearch::OnOrBefore);
    writeSellLinks();
}

// " acme" and "ACME" are one instrument whose buys the store sorts apart:
// they are laid side by side in date order, so that the oldest goes first.
void Matcher::mergeSpellings(const QVector<SymbolBuys>& spellings) {
    QVector<OpenBuy> merged;
    merged.reserve(buys_.size());
    openBuys_.clear();
    QHash<QString, QVector<const SymbolBuys*>> byKey;
    QStringList order;
    for (const SymbolBuys& spelling : spellings) {
        QVector<const SymbolBuys*>& list = byKey[spelling.key];
        if (list.isEmpty())
            order.append(spelling.key);
        list.append(&spelling);
    }
    for (const QString& key : std::as_const(order)) {
        const QVector<const SymbolBuys*>& list = byKey[key];
        SymbolBuys group{list.front()->symbol, key, merged.size(), merged.size()};
        for (const SymbolBuys* spelling : list)
            merged.append(buys_.mid(spelling->head, spelling->end - spelling->head));
        group.end = merged.size();
        std::stable_sort(merged.begin() + group.head, merged.end(),
                         [](const OpenBuy& a, const OpenBuy& b) {
                             return std::tie(a.storedDate, a.id) < std::tie(b.storedDate, b.id);
                         });
        openBuys_.insert(key, group);
    }
    buys_ = std::move(merged);
}

FreshRecords Matcher::takeRecords() {
    if (links_)
        links_->flush();
    return std::move(fresh_);
}

void Matcher::noteOpenOptions() {
    QVector<std::pair<QString, QString>> held; // stored date, name
    for (const SymbolBuys& symbol : std::as_const(openBuys_)) {
        const auto option = optionOf(symbol.symbol);
        if (!option)
            continue;
        for (qsizetype i = symbol.head; i < symbol.end; ++i) {
            const OpenBuy& buy = buys_[i];
            if (buy.open.isPositive())
                held.append({buy.storedDate, QStringLiteral("%1 %2 bought %3")
                                                 .arg(option->description(), buy.open.text(),
                                                      formatDate(buy.bought))});
        }
    }
    std::sort(held.begin(), held.end());
    warnings_.openOptions = held.size();
    warnings_.openOptionNames.clear();
    for (qsizetype i = 0; i < std::min(held.size(), RunWarnings::kNamedShorts); ++i)
        warnings_.openOptionNames.append(held[i].second);
}

void Matcher::writeOpenQuantities() {
    noteOpenOptions();
    if (!links_)
        return;
    links_->flush();
    // Most buys end used up: "0" is written far more often than any other.
    const QString usedUp = openQuantityText(Quantity());
    memoChanges_.reserve(memoChanges_.size() + buys_.size());
    for (OpenBuy& buy : buys_) {
        if (buy.moved) {
            moved_[buy.movedRow].open = buy.open;
            moved_[buy.movedRow].openCost = buy.openCost;
        }
        if (!buy.changed || buy.moved)
            continue;
        memoChanges_.append({buy.id, buy.open.isZero() ? usedUp : openQuantityText(buy.open)});
        buy.changed = false;
    }
    // In the order of the table: the buys come by symbol, which would send
    // each write to a random page, and at a million trades the page cache
    // would spend the run reading and writing pages back.
    std::sort(memoChanges_.begin(), memoChanges_.end(),
              [](const TxnMemo& a, const TxnMemo& b) { return a.id < b.id; });
    setTxnMemos(db_, memoChanges_);
    memoChanges_ = {};
    // What each moved lot has left, for the account's open lots, and what
    // its send carried, to tell when the sender's run changes it.
    replaceMovedLots(db_, account_, moved_);
}

QVector<SellRow> Matcher::sells() {
    QVector<SellRow> rows = trades_ ? trades_->sells : rows_->sells(account_, texts_);
    // Each sell the run matches notes one of each: grown a sell at a time
    // they would be copied again and again.
    fresh_.sells.reserve(fresh_.sells.size() + rows.size());
    fresh_.memos.reserve(fresh_.memos.size() + rows.size());
    return rows;
}

void Matcher::matchSell(const SellRow& sell) {
    if (sell.sends) {
        sell_ = sell;
        sendOut();
        return;
    }
    sell_ = sell;
    sellKey_ = instrumentKey(sell.symbol);
    method_ = methods_.of(sellKey_);
    state_ = MatchingState{sell.quantity, sell.quantity, Money(), false, kAllBuysFound};
    lots_.clear();
    keptBuys_.clear();
    boughtAfterSell_ = false;
    bool whole = false;
    if (const auto kept = kept_.constFind(sell.id); kept != kept_.cend()) {
        whole = kept->whole;
        for (const WashLot& lot : kept->lots) {
            lots_.append(lot);
            state_.linkWritten = true;
            if (lot.buyId <= 0)
                continue;
            keptBuys_.append(lot.buyId);
            state_.remainingQty -= lot.quantity;
            state_.runningCost += lot.cost;
            boughtAfterSell_ |= lot.acquired.isValid() && lot.acquired > sell.txnDate;
        }
        if (whole && state_.remainingQty.isPositive())
            state_.sellMemo = kAllBuyRecNotFound;
    }
    newLots_ = lots_.size();
    costUnknownLot_ = false;
    // A sell of no shares (or a negative count) has nothing to cover; it gets
    // the empty link rather than lots of zero shares.
    if (sell.opensShort) {
        // Shares not covered yet are an open position, not a fault.
        if (!whole && state_.remainingQty.isPositive())
            LookForBuy(BuySearch::After);
        if (state_.remainingQty.isPositive() && ++warnings_.openShorts <= RunWarnings::kNamedShorts)
            warnings_.openShortNames.append(
                QStringLiteral("%1 %2 sold %3")
                    .arg(sell.symbol, state_.remainingQty.text(), formatDate(sell.txnDate)));
        boughtAfterSell_ = false;
    } else if (!whole && state_.remainingQty.isPositive()) {
        LookForBuy(BuySearch::OnOrBefore);
        if (state_.remainingQty.isPositive()) {
            LookForBuy(BuySearch::After);
            if (state_.remainingQty.isPositive())
                state_.sellMemo = kAllBuyRecNotFound;
        }
    }
    // A kept empty link stands as it is; it is not a lot.
    if (!state_.linkWritten)
        SaveSellLinks(state_.runningCost, Quantity(), 0);
    writeSellLinks();
    const bool anyLot =
        std::any_of(lots_.cbegin(), lots_.cend(), [](const WashLot& lot) { return lot.buyId > 0; });
    noteSell();
    if (state_.sellMemo == kAllBuyRecNotFound)
        ++(anyLot ? warnings_.notAllFound : warnings_.noBuy);
    if (boughtAfterSell_)
        ++warnings_.buyAfterSell;
    if (costUnknownLot_)
        ++warnings_.costUnknown;
}

void Matcher::LookForBuy(BuySearch search) {
    const bool ordered = method_ != LotMethod::Fifo && search == BuySearch::OnOrBefore;
    if (ordered) {
        held_.clear();
        gathered_.clear();
    }
    const auto visit = [&](SymbolBuys& symbol, bool converted) {
        if (!ordered) {
            applyBuys(symbol, search, converted);
        } else if (!gathered_.contains(&symbol)) {
            gathered_.append(&symbol);
            gatherBuys(symbol, converted);
        }
    };
    // Lots bought under an older name come first: they were bought before
    // the change, so taking them first keeps the oldest shares going first.
    if (!actions_.isEmpty()) {
        for (const QString& origin : actions_.originsOf(sellKey_, sell_.txnDate)) {
            for (const QString& key : QStringList{origin} + keys_.relatives(origin)) {
                const auto found = openBuys_.find(key);
                if (found == openBuys_.end())
                    continue;
                if (!state_.remainingQty.isPositive())
                    return;
                visit(*found, true);
            }
        }
    }
    // The sell's own instrument, then a name cut short that stands for it
    // (or the long names a cut name stands for), in the order of their keys.
    QStringList keys{sellKey_};
    if (keys_.any()) {
        keys += keys_.relatives(sellKey_);
        std::sort(keys.begin(), keys.end());
    }
    for (const QString& key : std::as_const(keys)) {
        if (!state_.remainingQty.isPositive())
            break;
        const auto found = openBuys_.find(key);
        if (found != openBuys_.end())
            visit(*found, actions_.touches(key));
    }
    if (ordered)
        applyInMethodOrder();
}

void Matcher::gatherBuys(SymbolBuys& symbol, bool converted) {
    const OpenBuy* const buys = buys_.data();
    while (symbol.head < symbol.end && !buys[symbol.head].open.isPositive())
        ++symbol.head;
    const QString& sold = sell_.storedDate;
    for (qsizetype i = symbol.head; i < symbol.end; ++i) {
        const OpenBuy& buy = buys[i];
        if (buy.storedDate > sold)
            break;
        if (!arrivedBy(buy))
            continue;
        if (const std::optional<double> factor = offeredFactor(symbol, buy, converted))
            held_.append({i, *factor});
    }
}

std::optional<double> Matcher::offeredFactor(const SymbolBuys& symbol, const OpenBuy& buy,
                                             bool converted) const {
    if (!buy.open.isPositive())
        return std::nullopt;
    // A sell names a buy once: a buy the user picked for part of it is not
    // offered for the rest.
    if (!keptBuys_.isEmpty() && keptBuys_.contains(buy.id))
        return std::nullopt;
    if (!converted)
        return 1.0;
    const LotView lot = actions_.lotAt(symbol.symbol, buy.bought, sell_.txnDate);
    // A lot renamed away before the sale belongs to its new symbol.
    if (!sameInstrument(lot.symbol, sellKey_))
        return std::nullopt;
    return lot.factor;
}

void Matcher::applyInMethodOrder() {
    OpenBuy* const buys = buys_.data();
    const auto older = [buys](const Held& a, const Held& b) {
        return std::tie(buys[a.index].storedDate, buys[a.index].id) <
               std::tie(buys[b.index].storedDate, buys[b.index].id);
    };
    // A share's cost as it stands on the sale's date: a split halves it.
    const auto shareCost = [buys](const Held& held) {
        const OpenBuy& buy = buys[held.index];
        return buy.amount.abs().toDouble() / (buy.quantity.toDouble() * held.factor);
    };
    switch (method_) {
    case LotMethod::Lifo:
        std::sort(held_.begin(), held_.end(),
                  [&](const Held& a, const Held& b) { return older(b, a); });
        break;
    case LotMethod::Highest:
    case LotMethod::Lowest: {
        const bool highest = method_ == LotMethod::Highest;
        // Lots of one cost go oldest first, so the order never depends on
        // how the store happened to read them.
        std::sort(held_.begin(), held_.end(), [&](const Held& a, const Held& b) {
            const double costA = shareCost(a);
            const double costB = shareCost(b);
            if (costA != costB)
                return highest ? costA > costB : costA < costB;
            return older(a, b);
        });
        break;
    }
    case LotMethod::Fifo:
    case LotMethod::Average:
        std::sort(held_.begin(), held_.end(), older);
        break;
    }
    pool_ = AveragePool{};
    if (method_ == LotMethod::Average) {
        pool_.active = true;
        for (const Held& held : std::as_const(held_)) {
            pool_.cost += buys[held.index].openCost;
            pool_.shares += buys[held.index].open.times(held.factor);
        }
    }
    for (const Held& held : std::as_const(held_)) {
        if (!state_.remainingQty.isPositive())
            break;
        takeFrom(buys[held.index], held.factor, BuySearch::OnOrBefore);
    }
    if (pool_.active && pool_.shares.isPositive())
        spreadAverage();
    pool_ = AveragePool{};
}

void Matcher::spreadAverage() {
    OpenBuy* const buys = buys_.data();
    // Every share still held now carries the average, the shares sold having
    // taken theirs: spread from the first share on, so the costs add up to
    // the pool's rest to the ten-thousandth.
    const Money rest = pool_.cost - pool_.charged;
    const Quantity restShares = pool_.shares - pool_.taken;
    Quantity spread;
    Money given;
    for (const Held& held : std::as_const(held_)) {
        OpenBuy& buy = buys[held.index];
        if (!buy.open.isPositive())
            continue;
        spread += buy.open.times(held.factor);
        const Money upTo = rest.scaled(spread, restShares);
        buy.openCost = upTo - given;
        given = upTo;
    }
}

// Open quantities stay in the shares bought; a lot converted by the actions
// offers factor times as many, and the part applied is taken back to bought
// shares for its open quantity and its cost.
void Matcher::applyBuys(SymbolBuys& symbol, BuySearch search, bool converted) {
    // Taken once: the list does not grow while the run applies its buys.
    OpenBuy* const buys = buys_.data();
    while (symbol.head < symbol.end && !buys[symbol.head].open.isPositive())
        ++symbol.head;
    const QString& sold = sell_.storedDate;
    for (qsizetype i = symbol.head; i < symbol.end && state_.remainingQty.isPositive(); ++i) {
        OpenBuy& buy = buys[i];
        if (search == BuySearch::OnOrBefore) {
            if (buy.storedDate > sold)
                break;
            if (!arrivedBy(buy))
                continue;
        } else if (buy.storedDate <= sold || (sell_.opensShort && buy.opensLong)) {
            continue;
        }
        if (const std::optional<double> factor = offeredFactor(symbol, buy, converted))
            takeFrom(buy, *factor, search);
    }
}

void Matcher::takeFrom(OpenBuy& buy, double factor, BuySearch search) {
    const Quantity available = buy.open.times(factor);

    Quantity applied;
    Quantity boughtShares; // the part applied, in shares as bought
    if (available <= state_.remainingQty) {
        applied = available;
        boughtShares = buy.open;
        state_.remainingQty -= available;
    } else {
        applied = state_.remainingQty;
        boughtShares = applied.dividedBy(factor);
        state_.remainingQty = Quantity();
    }
    const Money fromOpen =
        boughtShares == buy.open ? buy.openCost : buy.openCost.scaled(boughtShares, buy.open);
    buy.openCost -= fromOpen;
    buy.open -= boughtShares;
    buy.changed = true;

    Money lotCost;
    if (pool_.active) {
        // The average of every share held, taken share by share so that the
        // lots add up to the sell's part of the pool.
        pool_.taken += applied;
        lotCost = pool_.cost.scaled(pool_.taken, pool_.shares) - pool_.charged;
        pool_.charged += lotCost;
    } else if (!buy.costUnknown) {
        // The buy's total amount shared over its shares, sign dropped.
        lotCost = buy.amount.abs().scaled(boughtShares, buy.quantity);
    }
    // A lot of unknown cost has no date either: its tax record leaves both
    // empty for the user to give, never a cost of 0.
    state_.runningCost += lotCost;
    WashLot& lot = SaveSellLinks(lotCost, applied, buy.id);
    lot.acquired = buy.costUnknown ? QDate() : buy.bought;
    lot.carried = buy.carries;
    costUnknownLot_ |= buy.costUnknown;
    if (search == BuySearch::After)
        boughtAfterSell_ = true;
}

WashLot& Matcher::SaveSellLinks(Money buyPrice, Quantity buyQuantity, qint64 buyId) {
    state_.linkWritten = true;
    // Only moved lots bring a buy twice; other sells need not look back.
    if (buyId > 0 && !moved_.isEmpty()) {
        for (qsizetype i = newLots_; i < lots_.size(); ++i) {
            if (lots_[i].buyId != buyId)
                continue;
            lots_[i].quantity += buyQuantity;
            lots_[i].cost += buyPrice;
            return lots_[i];
        }
    }
    lots_.append({buyId, buyQuantity, buyPrice, QDate()});
    return lots_.last();
}

void Matcher::writeSellLinks() {
    if (!links_)
        return;
    for (qsizetype i = newLots_; i < lots_.size(); ++i) {
        const WashLot& lot = lots_[i];
        LinkRecord link;
        link.accountName = account_;
        link.sellId = sell_.id;
        link.buyId = lot.buyId;
        link.buyQuantity = lot.quantity;
        link.buyPrice = lot.cost;
        links_->add(link, sell_.storedDate, sell_.symbol);
    }
}

void Matcher::noteSell() {
    fresh_.account = account_;
    // A list of its own, just the size of the sell's lots: a shared copy of
    // the reused list would take a list of its greatest size the next time
    // it is cleared, for every sell after.
    const qsizetype sales =
        appendSale(fresh_.sells, {sell_.id, account_, sell_.symbol, sell_.quantity, sell_.txnDate,
                                  sell_.amount, QVector<WashLot>(lots_.cbegin(), lots_.cend()),
                                  false, sell_.opensShort, sell_.carries, QDate()});
    for (qsizetype i = 0; i < sales; ++i)
        fresh_.memos.append({sell_.id, state_.sellMemo});
}

} // namespace gainbook
