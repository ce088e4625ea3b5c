#include "buy_selection/buy_selection.h"

#include "buy_selection/choice_checks.h"
#include "matching/corporate_actions.h"
#include "matching/open_quantity.h"
#include "matching/trade_changes.h"
#include "matching/txn_lookup.h"
#include "platform/date_text.h"
#include "platform/formats.h"
#include "platform/number_text.h"
#include "platform/prompter.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/txn_table.h"

#include <QSet>

namespace gainbook {

namespace {

const QString kSelectBuys = QStringLiteral(
    "SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, Memo, "
    "OpenClose FROM Txn "
    "WHERE Type = 'Bought' ");

// The statement of each filter entry; buys come in the order they were stored.
QSqlQuery runFilter(const QSqlDatabase& db, BuyFilter filter, const QString& account) {
    const QString order = QStringLiteral("ORDER BY ID");
    switch (filter) {
    case BuyFilter::NotAccountedSameAccount:
        return runQuery(db,
                        kSelectBuys + QStringLiteral("AND AccountName = ? AND Memo > '0' ") + order,
                        {account});
    case BuyFilter::AllSameAccount:
        return runQuery(db, kSelectBuys + QStringLiteral("AND AccountName = ? ") + order,
                        {account});
    case BuyFilter::NotAccountedAllAccounts:
        return runQuery(db, kSelectBuys + QStringLiteral("AND Memo > '0' ") + order);
    case BuyFilter::AllAllAccounts:
        break;
    }
    return runQuery(db, kSelectBuys + order);
}

struct Lot {
    Quantity quantity;
    Money cost;
    Quantity openAfter; // the buy's open shares once the lot is taken
};

// What a choice applies of a buy to a sell of `sold` shares. Costs carry no
// sign, as in the automatic matching: a buy's amount may be stored as money
// paid out.
Lot appliedLot(const BuyChoice& choice, const TxnRecord& buy, Quantity sold) {
    const Quantity total = buy.quantity;
    const Money totalCost = buy.amount.abs();
    const auto share = [&](Quantity quantity) { return totalCost.scaled(quantity, total); };
    if (const Quantity applied = Quantity::fromDouble(choice.quantity.value_or(0));
        applied.isPositive()) {
        if (choice.cost && *choice.cost > Money())
            return {applied, *choice.cost, {}};
        return {applied, share(applied), {}};
    }
    if (sold > total)
        return {total, totalCost, {}};
    return {sold, share(sold), {}};
}

QString describeBuy(const TxnRecord& buy) {
    return formatDate(buy.txnDate) + u' ' + buy.symbol;
}

QString alreadyLinkedText(const TxnRecord& buy) {
    return QStringLiteral("The buy of %1 is already linked to this sell.").arg(describeBuy(buy));
}

// The lots the choices apply to one sell, found before anything is written.
struct LotPlan {
    QVector<Lot> lots;    // one per choice
    QString refusal;      // a choice that cannot be applied at all
    QStringList overOpen; // choices that take more than their buy has open
};

LotPlan planLots(const QSqlDatabase& db, const TxnRecord& sell, const QVector<BuyChoice>& choices) {
    LotPlan plan;
    TxnLookup lookup(db);
    const CorporateActions actions(selectCorpActions(db));
    // A buy chosen twice would be linked twice: refused before the user is
    // asked anything.
    QSet<qint64> chosen;
    for (const BuyChoice& choice : choices) {
        std::optional<TxnRecord> buy = choice.newBuy;
        if (!buy) {
            buy = lookup.byId(choice.buyId);
            plan.refusal = buyRefusal(buy, choice.buyId);
            if (plan.refusal.isEmpty() &&
                (chosen.contains(choice.buyId) || selectLink(db, sell.id, choice.buyId)))
                plan.refusal = alreadyLinkedText(*buy);
            if (!plan.refusal.isEmpty())
                return plan;
            chosen.insert(choice.buyId);
        }
        // The lot counts shares as they stand on the sell's date; the buy
        // keeps its open quantity in the shares it bought.
        const double factor =
            choice.newBuy ? 1 : actions.lotAt(buy->symbol, buy->txnDate, sell.txnDate).factor;
        TxnRecord seen = *buy;
        seen.quantity = buy->quantity.times(factor);
        const Lot lot = appliedLot(choice, seen, sell.quantity);
        if (!lot.quantity.isPositive()) {
            plan.refusal =
                QStringLiteral("The buy of %1 has no shares to apply.").arg(describeBuy(*buy));
            return plan;
        }
        // A buy entered here is open in full.
        const Quantity open = choice.newBuy ? buy->quantity : openShares(*buy).times(factor);
        if (lot.quantity > open)
            plan.overOpen << overOpenText(seen, max(open, Quantity()), lot.quantity);
        plan.lots.append({lot.quantity, lot.cost, (open - lot.quantity).dividedBy(factor)});
    }
    return plan;
}

} // namespace

QStringList buyFilterEntries() {
    return {QStringLiteral("Not accounted in same account"), QStringLiteral("All in same account"),
            QStringLiteral("Not accounted in all Accounts"), QStringLiteral("All in all Accounts")};
}

BuySelection::BuySelection(QSqlDatabase db, QString account)
    : db_(std::move(db)), account_(std::move(account)) {}

std::optional<TxnRecord> BuySelection::findSell(qint64 sellId) const {
    std::optional<TxnRecord> row = selectTxnById(db_, sellId);
    if (!gainbook::sellRefusal(row, sellId, account_).isEmpty())
        row.reset();
    return row;
}

QString BuySelection::sellRefusal(qint64 sellId) const {
    return gainbook::sellRefusal(selectTxnById(db_, sellId), sellId, account_);
}

BuyListing BuySelection::listBuys(BuyFilter filter, Prompter& prompter, const QDate& soldOn) const {
    BuyListing listing;
    QSqlQuery query = runFilter(db_, filter, account_);
    if (!query.next()) {
        if (!prompter.ask(
                QStringLiteral("All buy records are accounted. Do want to see all records?")))
            return listing;
        query = runFilter(db_, BuyFilter::AllSameAccount, account_);
        if (!query.next()) {
            listing.accountHasBuys = false;
            return listing;
        }
    }
    do {
        listing.rows.append({txnFromQuery(query), {}, Money(), false, false, std::nullopt});
    } while (query.next());
    const CorporateActions actions(soldOn.isValid() ? selectCorpActions(db_)
                                                    : QVector<CorpActionRecord>{});
    if (actions.isEmpty())
        return listing;
    for (BuyRow& row : listing.rows) {
        const double factor = actions.lotAt(row.buy.symbol, row.buy.txnDate, soldOn).factor;
        if (factor == 1)
            continue;
        row.sharesBought = row.buy.quantity;
        row.buy.quantity = row.buy.quantity.times(factor);
    }
    return listing;
}

qint64 BuySelection::InsertNewTxn(const TxnRecord& entered, const std::optional<TxnRecord>& sell) {
    TxnRecord buy = entered;
    buy.id = 0;
    buy.accountName = sell ? sell->accountName : account_;
    if (sell)
        buy.txnMonth = sell->txnMonth;
    buy.type = kBought;
    buy.memo = openQuantityText(buy.quantity); // the whole buy is open
    return insertTxn(db_, buy);
}

Outcome BuySelection::Apply(qint64 sellId, QVector<BuyChoice>& choices, Prompter* askOverOpen) {
    for (const BuyChoice& choice : std::as_const(choices)) {
        if (const QString refused = choiceValueRefusal(choice); !refused.isEmpty())
            return Outcome::stop(refused);
    }

    QVector<qint64> ids;
    try {
        std::optional<TxnRecord> sell;
        LotPlan plan;
        if (sellId > 0) {
            sell = selectTxnById(db_, sellId);
            if (const QString refused = gainbook::sellRefusal(sell, sellId, account_);
                !refused.isEmpty())
                return Outcome::stop(refused);
            plan = planLots(db_, *sell, choices);
            if (!plan.refusal.isEmpty())
                return Outcome::stop(plan.refusal);
            if (!plan.overOpen.isEmpty()) {
                const QString lines = plan.overOpen.join(u'\n');
                if (!askOverOpen)
                    return Outcome::stop(lines);
                if (!askOverOpen->ask(lines + u'\n' + overOpenQuestion()))
                    return Outcome::stop(QString());
            }
        }
        Transaction transaction(db_);
        LinkWriter links(db_);
        for (qsizetype i = 0; i < choices.size(); ++i) {
            const BuyChoice& choice = choices[i];
            const qint64 buyId = choice.newBuy ? InsertNewTxn(*choice.newBuy, sell) : choice.buyId;
            ids.append(buyId);
            if (!sell)
                continue;
            const Lot& lot = plan.lots[i];
            setOpenQuantity(db_, buyId, lot.openAfter);
            deleteEmptyLink(db_, account_, sellId);
            LinkRecord link{account_, sellId, buyId, lot.quantity, lot.cost};
            link.byHand = true; // processing again keeps it
            links.insert(link);
        }
        // A new buy may replace a loss and a new lot may be one: the wash
        // sales go in with them. A buy stored into a processed account is
        // the user's own choice of this screen, not a trade to process
        // again, so no account is marked.
        TradeChanges changes(db_);
        changes.linksChanged();
        changes.settle();
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("The buys could not be applied: %1").arg(error.message()));
    }
    for (qsizetype i = 0; i < choices.size(); ++i)
        choices[i].buyId = ids[i];
    return Outcome::ok(sellId > 0 ? choices.size() : 0);
}

QString buysLinkedText(qint64 count) {
    return QStringLiteral("%1 %2 linked")
        .arg(formatCount(count), count == 1 ? QStringLiteral("buy") : QStringLiteral("buys"));
}

QString sharesBoughtNote(const BuyRow& row) {
    if (!row.sharesBought)
        return {};
    return QStringLiteral("Bought as %1 shares; %2 shares on the sell's date after splits")
        .arg(row.sharesBought->text(), row.buy.quantity.text());
}

bool filterSpansAccounts(BuyFilter filter) {
    return filter == BuyFilter::NotAccountedAllAccounts || filter == BuyFilter::AllAllAccounts;
}

QString buySelectionHeading(const TxnRecord& sell) {
    return QStringLiteral("Select buy records for ") + sell.quantity.text() + u' ' + sell.symbol +
           QStringLiteral(" Sell of ") + formatDate(sell.txnDate);
}

BuyRow newBuyRow(const TxnRecord& sell) {
    BuyRow row;
    row.buy.accountName = sell.accountName;
    row.buy.txnMonth = sell.txnMonth;
    row.buy.symbol = sell.symbol;
    row.buy.quantity = sell.quantity;
    row.buy.type = kBought;
    row.buy.txnDate = sell.txnDate;
    row.linked = true;
    return row;
}

QStringList buyRowTexts(const BuyRow& row) {
    return {row.linked ? QStringLiteral("1") : QStringLiteral("0"),
            formatDate(row.buy.txnDate),
            row.buy.symbol,
            row.appliedQuantity.text(),
            numberToText(row.appliedCost.toDouble()),
            row.buy.quantity.text(),
            formatPlain(row.buy.amount),
            row.buy.id > 0 ? QString::number(row.buy.id) : QString()};
}

} // namespace gainbook
