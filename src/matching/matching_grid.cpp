#include "matching/matching_grid.h"

#include "matching/corporate_actions.h"
#include "platform/date_text.h"
#include "platform/tax_year.h"
#include "store/corp_action_table.h"
#include "store/sql.h"

#include <utility>

namespace gainbook {

namespace {

// The links of an account with their sell and buy, read in one pass: the
// grid of a large account would otherwise cost two lookups per link.
// Grouped by sell, the lots of a sell in the order they were written. The
// buy is found by its ID alone: the buy selection may link a buy of any
// symbol or account, and such a lot must show to be detached.
const QString kLinksWithTxns =
    QStringLiteral("SELECT l.SellId, l.BuyId, l.BuyQuantity, l.BuyPrice, "
                   "s.ID, s.Symbol, s.Quantity, s.TxnDate, s.Amount, "
                   "b.ID, b.Symbol, b.Quantity, b.TxnDate, b.Amount, "
                   "EXISTS (SELECT 1 FROM UnknownCost u WHERE u.BuyId = l.BuyId) "
                   "FROM SellLinks l "
                   "LEFT JOIN Txn s ON s.ID = l.SellId AND s.AccountName = l.AccountName "
                   "LEFT JOIN Txn b ON b.ID = l.BuyId "
                   "WHERE l.AccountName = ? ORDER BY l.SellId, l.rowid");

std::optional<TxnRecord> txnAt(const QSqlQuery& query, int first) {
    if (query.isNull(first))
        return std::nullopt;
    TxnRecord r;
    r.id = query.value(first).toLongLong();
    r.symbol = query.value(first + 1).toString();
    r.quantity = Quantity::fromDouble(query.value(first + 2).toDouble());
    r.txnDate = dateFromStored(query.value(first + 3).toString());
    r.amount = Money::fromDouble(query.value(first + 4).toDouble());
    return r;
}

} // namespace

QVector<MatchRow> MatchingGrid::FillGrid(const QSqlDatabase& db, const QString& account) {
    rows_.clear();
    gridRow_ = 1;
    lastSellId_ = 0;
    skipSell_ = false;
    buyShown_ = false;
    addShown_ = false;

    const CorporateActions actions(selectCorpActions(db));
    QSqlQuery query = runQuery(db, kLinksWithTxns, {account});
    LinkRead read;
    read.link.accountName = account;
    while (query.next()) {
        read.link.sellId = query.value(0).toLongLong();
        read.link.buyId = query.value(1).toLongLong();
        read.link.buyQuantity = Quantity::fromDouble(query.value(2).toDouble());
        read.link.buyPrice = Money::fromDouble(query.value(3).toDouble());
        if (read.link.sellId != lastSellId_) {
            buyShown_ = false;
            addShown_ = false;
            read.sell = txnAt(query, 4);
            FillSellRec(read);
            lastSellId_ = read.link.sellId;
        }
        if (!skipSell_) {
            read.buy = read.link.buyId != 0 ? txnAt(query, 9) : std::nullopt;
            read.costUnknown = query.value(14).toBool();
            // The buy shows in the shares of the sell's date, as its link counts them.
            if (read.buy && read.sell && !actions.isEmpty())
                read.buy->quantity = read.buy->quantity.times(
                    actions.lotAt(read.buy->symbol, read.buy->txnDate, read.sell->txnDate).factor);
            FillBuyRec(read);
            // One button per sell, even when several of its links name no
            // existing buy.
            if (!buyShown_ && !addShown_) {
                MatchRow& row = rowAt(gridRow_);
                row.link = read.link;
                row.hasAddButton = true;
                addShown_ = true;
                ++gridRow_;
            }
        }
    }
    // Only rows that were written: a last sell outside the tax year leaves
    // no empty row behind.
    return std::exchange(rows_, {});
}

MatchRow& MatchingGrid::rowAt(int row) {
    while (rows_.size() < row)
        rows_.append(MatchRow{});
    return rows_[row - 1];
}

void MatchingGrid::FillSellRec(const LinkRead& read) {
    const std::optional<TxnRecord>& sell = read.sell;
    if (!sell) {
        // Lots of a sell that no longer exists still show, so that they can
        // be detached.
        skipSell_ = false;
        return;
    }
    if (!year_.contains(sell->txnDate)) {
        skipSell_ = true;
        return;
    }
    skipSell_ = false;
    rowAt(gridRow_).sell = sell;
}

void MatchingGrid::FillBuyRec(const LinkRead& read) {
    if (!read.buy)
        return;
    buyShown_ = true;
    MatchRow& row = rowAt(gridRow_);
    row.buy = read.buy;
    row.link = read.link;
    row.linked = true;
    row.costUnknown = read.costUnknown;
    ++gridRow_;
}

} // namespace gainbook
