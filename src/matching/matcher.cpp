#include "matching/matcher.h"

#include "matching/open_quantity.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/tax_year.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/tax_table.h"

#include <cmath>

namespace gainbook {

namespace {

// The searches name the literal type and open test so that SQLite can use
// the index of open buys (TxnOpenBuys), whose condition they repeat.
const QString kCandidateColumns =
    QStringLiteral("SELECT ID, Quantity, TxnDate, Amount, Memo FROM Txn WHERE AccountName = ? ");
const QString kCandidateTail = QStringLiteral(" ? AND Type = 'Bought' AND Memo > '0' "
                                              "ORDER BY Symbol, TxnDate, ID");

// A symbol shorter than 12 characters matches only itself. One of 12 or more
// matches every symbol that begins with the same 12 characters; the range
// lets the index find them, the substr test decides.
QString candidateSql(BuySearch search, bool prefix) {
    const QString symbolTest =
        prefix ? QStringLiteral("AND Symbol >= ? AND Symbol < ? AND substr(Symbol, 1, 12) = ? ")
               : QStringLiteral("AND Symbol = ? ");
    const QString dateTest = search == BuySearch::OnOrBefore ? QStringLiteral("AND TxnDate <=")
                                                             : QStringLiteral("AND TxnDate >");
    return kCandidateColumns + symbolTest + dateTest + kCandidateTail;
}

// The first text after every text that begins with prefix.
QString prefixEnd(const QString& prefix) {
    const QChar last = prefix.back();
    if (last.unicode() < 0xD7FF)
        return prefix.left(prefix.size() - 1) + QChar(last.unicode() + 1);
    return prefix.left(prefix.size() - 1) + QChar(0xDBFF) + QChar(0xDFFF);
}

} // namespace

Matcher::Matcher(QSqlDatabase db, QString account)
    : db_(std::move(db)), account_(std::move(account)),
      resetWhole_(prepareQuery(db_, QStringLiteral("UPDATE Txn SET Memo = CAST(CAST(Quantity AS "
                                                   "INTEGER) AS TEXT) WHERE AccountName = ? AND "
                                                   "Type = 'Bought' AND Quantity = "
                                                   "CAST(Quantity AS INTEGER)"))),
      selectFractional_(prepareQuery(
          db_, QStringLiteral("SELECT ID, Quantity FROM Txn WHERE AccountName = ? AND Type = "
                              "'Bought' AND Quantity <> CAST(Quantity AS INTEGER)"))),
      setMemo_(prepareQuery(db_, QStringLiteral("UPDATE Txn SET Memo = ? WHERE ID = ?"))),
      selectSells_(prepareQuery(db_, QStringLiteral("SELECT ID, Symbol, Quantity, TxnDate, Amount "
                                                    "FROM Txn WHERE AccountName = ? AND Type = "
                                                    "'Sold' ORDER BY TxnDate, Symbol, ID"))),
      links_(std::make_unique<LinkWriter>(db_)), taxRecords_(std::make_unique<TaxWriter>(db_)) {
    for (const BuySearch search : {BuySearch::OnOrBefore, BuySearch::After}) {
        for (const bool prefix : {false, true})
            candidates_[int(search)][int(prefix)] = prepareQuery(db_, candidateSql(search, prefix));
    }
}

Matcher::~Matcher() = default;

void Matcher::MoveQuantity() {
    // Whole quantities (nearly all) in one statement; fractional ones take
    // the program's own number text.
    execQuery(resetWhole_, {account_});
    execQuery(selectFractional_, {account_});
    memoChanges_.clear();
    while (selectFractional_.next())
        memoChanges_.append({selectFractional_.value(0).toLongLong(),
                             openQuantityText(selectFractional_.value(1).toDouble())});
    selectFractional_.finish();
    for (const MemoChange& change : std::as_const(memoChanges_))
        execQuery(setMemo_, {change.memo, change.id});
}

QVector<SellRow> Matcher::sells() {
    execQuery(selectSells_, {account_});
    QVector<SellRow> rows;
    while (selectSells_.next()) {
        const QString stored = selectSells_.value(3).toString();
        rows.append({selectSells_.value(0).toLongLong(), selectSells_.value(1).toString(),
                     selectSells_.value(2).toDouble(), dateFromStored(stored), stored,
                     Money::fromDouble(selectSells_.value(4).toDouble())});
    }
    selectSells_.finish();
    return rows;
}

void Matcher::matchSell(const SellRow& sell) {
    sell_ = sell;
    state_ = MatchingState{sell.quantity, sell.quantity, Money(), false, kAllBuysFound};
    lots_.clear();
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

QSqlQuery& Matcher::candidateQuery(BuySearch search, bool prefix) {
    return candidates_[int(search)][int(prefix)];
}

void Matcher::LookForBuy(BuySearch search) {
    const QString symbol = sell_.symbol.left(12);
    const bool prefix = symbol.size() == 12;
    QSqlQuery& candidates = candidateQuery(search, prefix);
    const QString& date = sell_.storedDate;
    if (prefix)
        execQuery(candidates, {account_, symbol, prefixEnd(symbol), symbol, date});
    else
        execQuery(candidates, {account_, symbol, date});

    // Rows are read only as far as the sell needs them; the lowered open
    // quantities are written once the search is closed, so the scan never
    // walks an index that is changing under it.
    memoChanges_.clear();
    while (state_.remainingQty > 0 && candidates.next()) {
        const qint64 buyId = candidates.value(0).toLongLong();
        const double quantity = candidates.value(1).toDouble();
        const QDate bought = dateFromStored(candidates.value(2).toString());
        const Money amount = Money::fromDouble(candidates.value(3).toDouble());
        const double open = numberFromText(candidates.value(4).toString());
        if (!(open > 0)) // a memo such as "0.0" passes the text test but holds nothing
            continue;

        double applied = 0;
        QString memo;
        if (open <= state_.remainingQty) {
            applied = open;
            memo = QStringLiteral("0");
            state_.remainingQty = std::max(0.0, roundQuantity(state_.remainingQty - open));
        } else {
            applied = state_.remainingQty;
            memo = openQuantityText(open - state_.remainingQty);
            state_.remainingQty = 0;
        }

        // The buy's total amount shared over its shares, sign dropped.
        const Money lotCost = quantity != 0 ? amount.abs().scaled(applied, quantity) : Money();
        state_.runningCost += lotCost;
        SaveSellLinks(lotCost, applied, buyId);
        memoChanges_.append({buyId, memo});
        lots_.append({applied, lotCost, bought});
        if (search == BuySearch::After)
            boughtAfterSell_ = true;
    }
    candidates.finish();
    for (const MemoChange& change : std::as_const(memoChanges_))
        execQuery(setMemo_, {change.memo, change.id});
}

void Matcher::SaveSellLinks(Money buyPrice, double buyQuantity, qint64 buyId) {
    state_.linkWritten = true;
    LinkRecord link;
    link.accountName = account_;
    link.sellId = sell_.id;
    link.buyId = buyId;
    link.buyQuantity = buyQuantity;
    link.buyPrice = buyPrice;
    links_->insert(link);
}

void Matcher::insertTaxRecord() {
    TaxRecord record;
    record.accountName = account_;
    record.symbol = sell_.symbol;
    record.quantity = state_.sellQty;
    record.dateSold = sell_.txnDate;
    record.salePrice = sell_.amount;
    record.memo = state_.sellMemo;
    const TermRecords parts = splitByTerm(record, {lots_.constData(), size_t(lots_.size())});
    for (int i = 0; i < parts.count; ++i)
        taxRecords_->insert(parts.records[i]);
}

} // namespace gainbook
