#include "matching/matcher.h"

#include "matching/open_quantity.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/tax_year.h"
#include "store/account_settings_table.h"
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

constexpr int kSymbolPrefixLength = 12;

// The characters of a text as the database counts them: a surrogate pair
// is one character.
int characterCount(QStringView text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return count;
}

// A symbol shorter than 12 characters matches only itself. One of 12 or more
// matches every symbol that begins with the same 12 characters: the substr
// test decides (and the index on substr(Symbol, 1, 12) serves it); where it
// is exact, a range on Symbol lets the index of open buys find them first.
QString candidateSql(BuySearch search, SymbolTest test) {
    QString symbolTest;
    switch (test) {
    case SymbolTest::Whole:
        symbolTest = QStringLiteral("AND Symbol = ? ");
        break;
    case SymbolTest::PrefixRange:
        symbolTest =
            QStringLiteral("AND Symbol >= ? AND Symbol < ? AND substr(Symbol, 1, 12) = ? ");
        break;
    case SymbolTest::Prefix:
        symbolTest = QStringLiteral("AND substr(Symbol, 1, 12) = ? ");
        break;
    }
    const QString dateTest = search == BuySearch::OnOrBefore ? QStringLiteral("AND TxnDate <=")
                                                             : QStringLiteral("AND TxnDate >");
    return kCandidateColumns + symbolTest + dateTest + kCandidateTail;
}

// The range [prefix, end) holds every text that begins with the prefix only
// when text order is character order at the prefix's last place, whatever
// the file's text encoding: true for plain ASCII before DEL. A prefix of
// other characters (U+00FF, U+4EFF, an emoji, ...) is found by the substr
// test alone.
bool rangeIsExact(const QString& prefix) {
    for (const QChar c : prefix) {
        if (c.unicode() >= 0x7F)
            return false;
    }
    return true;
}

// The first text after every text that begins with prefix (ASCII only).
QString prefixEnd(const QString& prefix) {
    return prefix.left(prefix.size() - 1) + QChar(prefix.back().unicode() + 1);
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
    : db_(std::move(db)), account_(std::move(account)), basis_(selectBasisReporting(db_, account_)),
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
        for (const SymbolTest test :
             {SymbolTest::Whole, SymbolTest::PrefixRange, SymbolTest::Prefix})
            candidates_[int(search)][int(test)] = prepareQuery(db_, candidateSql(search, test));
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

QSqlQuery& Matcher::candidateQuery(BuySearch search, SymbolTest test) {
    return candidates_[int(search)][int(test)];
}

void Matcher::LookForBuy(BuySearch search) {
    const QString symbol = symbolPrefix(sell_.symbol);
    const QString& date = sell_.storedDate;
    const SymbolTest test = characterCount(symbol) < kSymbolPrefixLength ? SymbolTest::Whole
                            : rangeIsExact(symbol)                       ? SymbolTest::PrefixRange
                                                                         : SymbolTest::Prefix;
    QSqlQuery& candidates = candidateQuery(search, test);
    switch (test) {
    case SymbolTest::Whole:
        execQuery(candidates, {account_, symbol, date});
        break;
    case SymbolTest::PrefixRange:
        execQuery(candidates, {account_, symbol, prefixEnd(symbol), symbol, date});
        break;
    case SymbolTest::Prefix:
        execQuery(candidates, {account_, symbol, date});
        break;
    }

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
    if (deferred_) {
        fresh_.account = account_;
        fresh_.sells.append({sell_.id, state_.sellMemo});
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
