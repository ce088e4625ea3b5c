#include "matching/matcher.h"

#include "matching/open_quantity.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/tax_year.h"
#include "store/account_settings_table.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/schema.h"
#include "store/sql.h"
#include "store/tax_table.h"

#include <algorithm>
#include <cmath>

namespace gainbook {

namespace {

constexpr int kSymbolPrefixLength = 12;

// Through the index by symbol every buy is a read of the table at a random
// place, which at a million trades is most of the run. The date index reads
// them in the order a capture stores them, and the engine sorts them after.
// A store whose index was dropped by hand still reads them, the slow way.
QString allBuysQuery(const QSqlDatabase& db) {
    const QString from = hasIndex(db, QStringLiteral("TxnByAccountDate"))
                             ? QStringLiteral("FROM Txn INDEXED BY TxnByAccountDate ")
                             : QStringLiteral("FROM Txn ");
    return QStringLiteral("SELECT ID, Symbol, Quantity, TxnDate, Amount, Memo ") + from +
           QStringLiteral("WHERE AccountName = ? AND Type = 'Bought' ORDER BY Symbol, TxnDate, ID");
}

} // namespace

QString symbolPrefix(const QString& symbol) {
    qsizetype units = 0;
    for (int chars = 0; units < symbol.size() && chars < kSymbolPrefixLength; ++chars) {
        const bool pair = symbol[units].isHighSurrogate() && units + 1 < symbol.size() &&
                          symbol[units + 1].isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return symbol.left(units);
}

Matcher::Matcher(QSqlDatabase db, QString account)
    : db_(std::move(db)), account_(std::move(account)), actions_(selectCorpActions(db_)),
      basis_(selectBasisReporting(db_, account_)),
      selectSells_(db_, QStringLiteral("SELECT ID, Symbol, Quantity, TxnDate, Amount "
                                       "FROM Txn WHERE AccountName = ? AND Type = "
                                       "'Sold' ORDER BY TxnDate, Symbol, ID")),
      // The literal type and open test let SQLite walk the index of open
      // buys (TxnOpenBuys), whose condition and order they repeat. A buy
      // without a date is never found by a search on dates.
      selectOpenBuys_(db_,
                      QStringLiteral("SELECT ID, Symbol, Quantity, TxnDate, Amount, Memo FROM Txn "
                                     "WHERE AccountName = ? AND Type = 'Bought' AND Memo > '0' "
                                     "AND TxnDate IS NOT NULL ORDER BY Symbol, TxnDate, ID")),
      selectAllBuys_(db_, allBuysQuery(db_)), links_(std::make_unique<LinkWriter>(db_)),
      taxRecords_(std::make_unique<TaxWriter>(db_)) {}

Matcher::~Matcher() = default;

void Matcher::MoveQuantity() {
    openBuys_.clear();
    buys_.clear();
    memoChanges_.clear();
    openBuysLoaded_ = true;
    fresh_.buysGiven = deferred_;
    selectAllBuys_.select(storedText(account_));
    QString lastSymbol;
    QVector<SymbolBuys>* prefix = nullptr;
    // Buys repeat a few lot sizes: each size's Memo text and the open
    // quantity it reads as are worked out once.
    double lastQuantity = 0;
    QString reopened = openQuantityText(lastQuantity);
    double reopenedOpen = numberFromText(reopened);
    while (selectAllBuys_.next()) {
        const qint64 id = selectAllBuys_.integer(0);
        const double quantity = selectAllBuys_.real(2);
        if (quantity != lastQuantity || std::signbit(quantity) != std::signbit(lastQuantity)) {
            lastQuantity = quantity;
            reopened = openQuantityText(quantity);
            reopenedOpen = numberFromText(reopened);
        }
        const bool changed = selectAllBuys_.textView(5) != reopened;
        const QString stored = texts_.of(selectAllBuys_.textView(3));
        const QString symbol = texts_.of(selectAllBuys_.textView(1));
        const QDate bought = dateFromStored(stored);
        if (deferred_ && bought.isValid())
            fresh_.buys.append({id, account_, symbol, bought, quantity});
        // A buy of no shares, of a negative count or without a date is
        // never applied; it only gets its Memo back.
        if (!isOpenMemo(reopened) || stored.isNull()) {
            if (changed)
                memoChanges_.append({id, reopened});
            continue;
        }
        if (prefix == nullptr || symbol != lastSymbol) {
            const QString key = symbolPrefix(symbol);
            prefix = &openBuys_[key];
            prefix->append(SymbolBuys{symbol, key, buys_.size(), buys_.size()});
            lastSymbol = symbol;
        }
        buys_.append(OpenBuy{id, quantity, reopenedOpen, stored, bought,
                             Money::fromDouble(selectAllBuys_.real(4)), changed});
        prefix->back().end = buys_.size();
    }
}

// A run that did not reopen the account's buys (a test of the searches)
// takes the open quantities as the Memos hold them.
void Matcher::loadOpenBuys() {
    openBuysLoaded_ = true;
    selectOpenBuys_.select(storedText(account_));
    QString lastSymbol;
    QVector<SymbolBuys>* prefix = nullptr;
    while (selectOpenBuys_.next()) {
        const QString memo = selectOpenBuys_.text(5);
        const double open = numberFromText(memo);
        if (!(open > 0)) // a memo such as "0.0" passes the text test but holds nothing
            continue;
        const QString symbol = texts_.of(selectOpenBuys_.textView(1));
        if (prefix == nullptr || symbol != lastSymbol) {
            const QString key = symbolPrefix(symbol);
            prefix = &openBuys_[key];
            prefix->append(SymbolBuys{symbol, key, buys_.size(), buys_.size()});
            lastSymbol = symbol;
        }
        const QString stored = texts_.of(selectOpenBuys_.textView(3));
        buys_.append(OpenBuy{selectOpenBuys_.integer(0), selectOpenBuys_.real(2), open, stored,
                             dateFromStored(stored), Money::fromDouble(selectOpenBuys_.real(4))});
        prefix->back().end = buys_.size();
    }
}

FreshRecords Matcher::takeDeferredRecords() {
    links_->flush();
    return std::move(fresh_);
}

void Matcher::writeOpenQuantities() {
    links_->flush();
    // Most buys end used up: "0" is written far more often than any other.
    const QString usedUp = openQuantityText(0);
    memoChanges_.reserve(memoChanges_.size() + buys_.size());
    for (OpenBuy& buy : buys_) {
        if (!buy.changed)
            continue;
        memoChanges_.append({buy.id, buy.open == 0 && !std::signbit(buy.open)
                                         ? usedUp
                                         : openQuantityText(buy.open)});
        buy.changed = false;
    }
    // In the order of the table: the buys come by symbol, which would send
    // each write to a random page, and at a million trades the page cache
    // would spend the run reading and writing pages back.
    std::sort(memoChanges_.begin(), memoChanges_.end(),
              [](const TxnMemo& a, const TxnMemo& b) { return a.id < b.id; });
    setTxnMemos(db_, memoChanges_);
    memoChanges_ = {};
}

QVector<SellRow> Matcher::sells() {
    selectSells_.select(storedText(account_));
    QVector<SellRow> rows;
    while (selectSells_.next()) {
        const QString stored = texts_.of(selectSells_.textView(3));
        rows.append({selectSells_.integer(0), texts_.of(selectSells_.textView(1)),
                     selectSells_.real(2), dateFromStored(stored), stored,
                     Money::fromDouble(selectSells_.real(4))});
    }
    // Each sell the run matches notes one of each: grown a sell at a time
    // they would be copied again and again.
    if (deferred_) {
        fresh_.sells.reserve(fresh_.sells.size() + rows.size());
        fresh_.memos.reserve(fresh_.memos.size() + rows.size());
    }
    return rows;
}

void Matcher::matchSell(const SellRow& sell) {
    sell_ = sell;
    sellPrefix_ = symbolPrefix(sell.symbol);
    state_ = MatchingState{sell.quantity, sell.quantity, Money(), false, kAllBuysFound};
    lots_.clear();
    washLots_.clear();
    boughtAfterSell_ = false;
    // A sell of no shares (or a negative count) has nothing to cover; it gets
    // the empty link rather than lots of zero shares.
    if (state_.remainingQty > 0) {
        LookForBuy(BuySearch::OnOrBefore);
        if (state_.remainingQty > 0) {
            LookForBuy(BuySearch::After);
            if (state_.remainingQty > 0)
                state_.sellMemo = kAllBuyRecNotFound;
        }
    }
    if (!state_.linkWritten)
        SaveSellLinks(state_.runningCost, 0, 0);
    insertTaxRecord();
    if (state_.sellMemo == kAllBuyRecNotFound)
        ++(lots_.isEmpty() ? warnings_.noBuy : warnings_.notAllFound);
    if (boughtAfterSell_)
        ++warnings_.buyAfterSell;
}

void Matcher::LookForBuy(BuySearch search) {
    if (!openBuysLoaded_)
        loadOpenBuys();
    // A symbol shorter than 12 characters is its own prefix and finds only
    // itself; a longer one finds every symbol that begins with the same 12,
    // symbol by symbol in the store's order.
    const QString& prefix = sellPrefix_;
    // Lots bought under an older name come first: they were bought before
    // the change, so taking them first keeps the oldest shares going first.
    if (!actions_.isEmpty()) {
        for (const QString& origin : actions_.originsOfPrefix(prefix, sell_.txnDate)) {
            const auto found = openBuys_.find(origin);
            if (found == openBuys_.end())
                continue;
            for (SymbolBuys& symbol : *found) {
                if (state_.remainingQty <= 0)
                    return;
                applyBuys(symbol, search, true);
            }
        }
    }
    const auto found = openBuys_.find(prefix);
    if (found == openBuys_.end())
        return;
    const bool converted = actions_.touches(prefix);
    for (SymbolBuys& symbol : *found) {
        if (state_.remainingQty <= 0)
            break;
        applyBuys(symbol, search, converted);
    }
}

// Open quantities stay in the shares bought; a lot converted by the actions
// offers factor times as many, and the part applied is taken back to bought
// shares for its open quantity and its cost.
void Matcher::applyBuys(SymbolBuys& symbol, BuySearch search, bool converted) {
    // Taken once: the list does not grow while the run applies its buys.
    OpenBuy* const buys = buys_.data();
    while (symbol.head < symbol.end && !(buys[symbol.head].open > 0))
        ++symbol.head;
    const QString& sold = sell_.storedDate;
    for (qsizetype i = symbol.head; i < symbol.end && state_.remainingQty > 0; ++i) {
        OpenBuy& buy = buys[i];
        if (search == BuySearch::OnOrBefore) {
            if (buy.storedDate > sold)
                break;
        } else if (buy.storedDate <= sold) {
            continue;
        }
        if (!(buy.open > 0))
            continue;

        double factor = 1;
        if (converted) {
            const LotView lot =
                actions_.lotAt(symbol.symbol, symbol.prefix, buy.bought, sell_.txnDate);
            // A lot renamed away before the sale belongs to its new symbol.
            if (lot.prefix != sellPrefix_)
                continue;
            factor = lot.factor;
        }
        const double available = factor == 1 ? buy.open : roundQuantity(buy.open * factor);

        double applied = 0;
        double boughtShares = 0; // the part applied, in shares as bought
        QString memo;
        if (available <= state_.remainingQty) {
            applied = available;
            boughtShares = buy.open;
            memo = QStringLiteral("0");
            state_.remainingQty = std::max(0.0, roundQuantity(state_.remainingQty - available));
        } else {
            applied = state_.remainingQty;
            boughtShares = factor == 1 ? applied : applied / factor;
            memo = openQuantityText(buy.open - boughtShares);
            state_.remainingQty = 0;
        }
        // What the memo reads as, so that the next search sees the buy as a
        // reread of the store would.
        buy.open = numberFromText(memo);
        buy.changed = true;

        // The buy's total amount shared over its shares, sign dropped.
        const Money lotCost =
            buy.quantity != 0 ? buy.amount.abs().scaled(boughtShares, buy.quantity) : Money();
        state_.runningCost += lotCost;
        SaveSellLinks(lotCost, applied, buy.id);
        lots_.append({applied, lotCost, buy.bought});
        if (deferred_)
            washLots_.last().acquired = buy.bought;
        if (search == BuySearch::After)
            boughtAfterSell_ = true;
    }
}

void Matcher::SaveSellLinks(Money buyPrice, double buyQuantity, qint64 buyId) {
    state_.linkWritten = true;
    LinkRecord link;
    link.accountName = account_;
    link.sellId = sell_.id;
    link.buyId = buyId;
    link.buyQuantity = buyQuantity;
    link.buyPrice = buyPrice;
    if (deferred_) {
        links_->add(link, sell_.storedDate, sell_.symbol);
        washLots_.append({buyId, buyQuantity, buyPrice, QDate()});
    } else {
        links_->insert(link, sell_.storedDate, sell_.symbol);
    }
}

void Matcher::insertTaxRecord() {
    if (deferred_) {
        fresh_.account = account_;
        fresh_.memos.append({sell_.id, state_.sellMemo});
        // A list of its own, just the size of the sell's lots: a shared
        // copy of the reused list would take a list of its greatest size
        // the next time it is cleared, for every sell after.
        fresh_.sells.append({sell_.id, account_, sell_.symbol, sell_.quantity, sell_.txnDate,
                             sell_.amount, QVector<WashLot>(washLots_.cbegin(), washLots_.cend())});
        return;
    }
    TaxRecord record;
    record.accountName = account_;
    record.symbol = sell_.symbol;
    record.quantity = state_.sellQty;
    record.dateSold = sell_.txnDate;
    record.salePrice = sell_.amount;
    record.memo = state_.sellMemo;
    record.sellId = sell_.id;
    TermRecords parts = splitByTerm(record, {lots_.constData(), size_t(lots_.size())});
    setBoxes(parts, basis_);
    for (int i = 0; i < parts.count; ++i)
        taxRecords_->insert(parts.records[i]);
    taxRecordsWritten_ += parts.count;
}

} // namespace gainbook
