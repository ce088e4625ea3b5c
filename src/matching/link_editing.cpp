#include "matching/link_editing.h"

#include "matching/corporate_actions.h"
#include "matching/matcher.h"
#include "matching/open_quantity.h"
#include "matching/txn_lookup.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/transfer_link_table.h"
#include "store/unknown_cost_table.h"

namespace gainbook {

namespace {

// A link counts its shares as they stood on the sell's date; the buy keeps
// its open quantity in the shares it bought.
Quantity sharesBack(const CorporateActions& actions, TxnLookup& lookup, const LinkRecord& link) {
    if (actions.isEmpty())
        return link.buyQuantity;
    const std::optional<TxnRecord> buy = lookup.byId(link.buyId);
    if (!buy)
        return link.buyQuantity;
    QDate sold = link.sellDate;
    if (!sold.isValid()) {
        if (const std::optional<TxnRecord> sell = lookup.byId(link.sellId))
            sold = sell->txnDate;
    }
    return link.buyQuantity.dividedBy(actions.lotAt(buy->symbol, buy->txnDate, sold).factor);
}

} // namespace

bool detachLot(const QSqlDatabase& db, const LotKey& lot) {
    if (lot.sellId <= 0)
        return false;
    const std::optional<LinkRecord> link = selectLink(db, lot.sellId, lot.buyId);
    if (!link)
        return false;
    // A lot moved in by a send is open in its own account's buy only
    // through the send: the buy's Memo is not this account's to raise.
    if (lot.buyId > 0 && !selectMovedInBuys(db, link->accountName).contains(lot.buyId)) {
        const CorporateActions actions(selectCorpActions(db));
        TxnLookup lookup(db);
        addToOpenQuantity(db, lot.buyId, sharesBack(actions, lookup, *link));
    }
    try {
        runQuery(db,
                 QStringLiteral("UPDATE SellLinks SET BuyId = 0, BuyQuantity = 0, BuyPrice = 0, "
                                "ByHand = 0 WHERE SellId = ? AND BuyId = ?"),
                 {lot.sellId, lot.buyId});
    } catch (const StoreError& error) {
        // The sell has its empty link already: this lot simply goes.
        if (!error.isDuplicateKey())
            throw;
        runQuery(db, QStringLiteral("DELETE FROM SellLinks WHERE SellId = ? AND BuyId = ?"),
                 {lot.sellId, lot.buyId});
    }
    return true;
}

void detachAllLots(const QSqlDatabase& db, const QString& account) {
    const CorporateActions actions(selectCorpActions(db));
    TxnLookup lookup(db);
    const QSet<qint64> moved = selectMovedInBuys(db, account);
    for (const LinkRecord& link : selectLinksOfAccount(db, account)) {
        if (link.buyId > 0 && !moved.contains(link.buyId))
            addToOpenQuantity(db, link.buyId, sharesBack(actions, lookup, link));
    }
    deleteLinksOfAccount(db, account);
}

void detachLotsExcept(const QSqlDatabase& db, const QString& account,
                      const QVector<LinkRecord>& kept) {
    QSet<std::pair<qint64, qint64>> keep;
    for (const LinkRecord& link : kept)
        keep.insert({link.sellId, link.buyId});
    const CorporateActions actions(selectCorpActions(db));
    TxnLookup lookup(db);
    const QSet<qint64> moved = selectMovedInBuys(db, account);
    for (const LinkRecord& link : selectLinksOfAccount(db, account)) {
        if (keep.contains({link.sellId, link.buyId}))
            continue;
        if (link.buyId > 0 && !moved.contains(link.buyId))
            addToOpenQuantity(db, link.buyId, sharesBack(actions, lookup, link));
        runQuery(db, QStringLiteral("DELETE FROM SellLinks WHERE SellId = ? AND BuyId = ?"),
                 {link.sellId, link.buyId});
    }
}

RecalcResult recalculateTaxRecords(const QSqlDatabase& db, const QString& account,
                                   Progress& progress) {
    RecalcResult result;
    const QVector<LinkRecord> links = selectLinksOfAccount(db, account);
    if (links.isEmpty()) {
        result.status = RecalcStatus::NoLinks;
        return result;
    }

    deleteTaxRecsOfAccount(db, account);
    TxnLookup lookup(db);
    const QSet<qint64> unknownCost = selectUnknownCostBuys(db);
    FreshRecords& fresh = result.records;
    fresh.account = account;
    for (qsizetype first = 0; first < links.size();) {
        progress.step(first, links.size());
        const qint64 sellId = links[first].sellId;
        // Only a sell of the account makes a sale: a link that names a buy
        // or another account's row would put an invented sale into the tax
        // records.
        const std::optional<TxnRecord> sell = lookup.byId(sellId);
        // A send's lots left the account without a sale.
        if (sell && sell->type == kSent && sell->accountName == account) {
            while (first < links.size() && links[first].sellId == sellId)
                ++first;
            continue;
        }
        if (!sell || sell->type != kSold || sell->accountName != account) {
            result.status = RecalcStatus::SellMissing;
            result.missingSell = links[first];
            return result;
        }

        WashSell washSell;
        washSell.id = sellId;
        washSell.shortSale = sell->openClose == kOpens;
        washSell.carried = carriesPremium(sell->openClose);
        washSell.account = account;
        washSell.symbol = sell->symbol;
        washSell.quantity = sell->quantity;
        washSell.dateSold = sell->txnDate;
        washSell.salePrice = sell->amount;
        QString memo;
        qsizetype i = first;
        for (; i < links.size() && links[i].sellId == sellId; ++i) {
            const LinkRecord& link = links[i];
            memo = QStringLiteral(" ");
            QDate acquired;
            bool carried = false;
            if (link.buyId > 0) {
                const std::optional<TxnRecord> buy = lookup.byId(link.buyId);
                if (!buy)
                    memo = QStringLiteral("Buy record not found");
                else if (!unknownCost.contains(link.buyId))
                    acquired = buy->txnDate;
                carried = buy && carriesPremium(buy->openClose);
            }
            washSell.lots.append({link.buyId, link.buyQuantity, link.buyPrice, acquired, carried});
        }
        first = i;
        for (qsizetype n = appendSale(fresh.sells, std::move(washSell)); n > 0; --n)
            fresh.memos.append({sellId, memo});
    }
    progress.step(links.size(), links.size());
    return result;
}

} // namespace gainbook
