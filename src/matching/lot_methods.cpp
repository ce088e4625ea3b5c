#include "matching/lot_methods.h"

#include "matching/account_trades.h"
#include "matching/matcher.h"
#include "matching/option_events.h"
#include "matching/wash_sale_refresh.h"
#include "matching/wash_sales.h"
#include "platform/date_text.h"
#include "platform/form8949_box.h"
#include "platform/formats.h"
#include "platform/holding_term.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/lot_method_table.h"
#include "store/sql.h"
#include "store/store_fault.h"
#include "store/tax_table.h"
#include "store/transaction.h"

namespace gainbook {

QString lotMethodText(const QString& account, const QString& symbol, LotMethod method) {
    if (symbol.trimmed().isEmpty())
        return QStringLiteral("Lot method of %1: %2.").arg(account, lotMethodName(method));
    return QStringLiteral("Lot method of %1 for %2: %3.")
        .arg(account, symbol.trimmed(), lotMethodName(method));
}

QString processAgainForMethodText(const QString& account) {
    return QStringLiteral("Process %1 again: its tax records follow the lot method they were "
                          "made by.")
        .arg(account);
}

Outcome changeLotMethod(const QSqlDatabase& db, const QString& account, const QString& symbol,
                        std::optional<LotMethod> method) {
    const QString name = symbol.trimmed();
    qint64 changed = 0;
    try {
        Transaction transaction(db);
        const AccountLotMethods before = selectLotMethods(db, account);
        if (method) {
            setLotMethod(db, account, name, *method);
        } else if (!name.isEmpty()) {
            clearLotMethod(db, account, name);
        }
        const AccountLotMethods after = selectLotMethods(db, account);
        changed = before.method != after.method || before.bySymbol != after.bySymbol ? 1 : 0;
        if (changed > 0 && accountHasLinks(db, account))
            markRematch(db, account);
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("Lot method not changed: %1").arg(failureText(db, error)));
    }
    return Outcome::ok(changed);
}

namespace {

// Every account whose trades a what-if of all accounts processes.
QStringList tradingAccounts(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT DISTINCT AccountName FROM Txn "
                                                  "WHERE Type = 'Sold' ORDER BY AccountName"));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

// Adds a sell's gains of the year to the figures, by the term of each
// record's box; a record without a box (no date acquired) is short term, as
// the report counts it, and one of unknown cost (no date, no cost) adds no
// gain, as in the tax view's totals.
void addYearGains(const WashSellResult& sell, TaxYear year, MethodFigures& figures) {
    if (sell.dateSold < year.firstDay() || sell.dateSold > year.lastDay())
        return;
    for (int part = 0; part < sell.parts.count; ++part) {
        const TaxRecord record = sell.record(part);
        if (!record.dateAcquired.isValid() && record.cost.isZero())
            continue;
        const Money gain = record.salePrice - record.cost + record.washAdjustment;
        const bool longTerm =
            record.box != Form8949Box::None && boxTerm(record.box) == HoldingTerm::Long;
        (longTerm ? figures.longTerm : figures.shortTerm) += gain;
        figures.washAdjustment += record.washAdjustment;
    }
}

// The run of one method over trades in memory: the matcher of processing,
// writing nothing.
FreshRecords matchHeldTrades(const AccountTrades& trades, LotMethod method) {
    Matcher matcher(trades, method);
    matcher.MoveQuantity();
    const QVector<SellRow> sells = matcher.sells();
    for (const SellRow& sell : sells)
        matcher.matchSell(sell);
    return matcher.takeRecords();
}

} // namespace

QVector<MethodFigures> compareLotMethods(const QSqlDatabase& db, const QString& account,
                                         TaxYear year, Progress& progress) {
    const QStringList accounts = account.isEmpty() ? tradingAccounts(db) : QStringList{account};
    const QSet<QString> matched(accounts.cbegin(), accounts.cend());
    // The store is read once; each method runs on the copy. Reading it
    // again for every method, and writing each run's links and records
    // only to roll them back, was most of the what-if's time.
    QVector<AccountTrades> trades;
    trades.reserve(accounts.size());
    for (const QString& name : accounts) {
        AccountTrades& held = trades.emplace_back(readAccountTrades(db, name));
        // Processing settles the option events before it matches: an account
        // not processed since its events were captured has rows that are not
        // yet the sales, covers and premiums a run would match.
        applyOptionEvents(held, planOptionEvents(db, name));
        // Every account of the what-if is matched anew: links of theirs
        // that hold another's buys now are gone under any method.
        held.heldByOthers.removeIf(
            [&](const LinkRecord& link) { return matched.contains(link.accountName); });
    }
    // The rest of the store stays as it is, each sell with its links.
    WashInput others = readWashInput(db);
    others.buys.removeIf([&](const WashBuy& buy) { return matched.contains(buy.account); });
    others.sells.removeIf([&](const WashSell& sell) { return matched.contains(sell.account); });

    const QVector<LotMethod>& methods = allLotMethods();
    QVector<MethodFigures> table;
    for (qsizetype m = 0; m < methods.size(); ++m) {
        progress.step(m, methods.size());
        MethodFigures figures{methods[m], {}, {}, {}};
        // The wash sales are the taxpayer's: worked out over the whole
        // store, as processing works them out, with the fresh lots.
        WashInput input = others;
        input.buys.clear();
        input.sells.clear();
        for (const AccountTrades& held : std::as_const(trades)) {
            FreshRecords fresh = matchHeldTrades(held, methods[m]);
            input.buys += fresh.buys;
            input.sells += fresh.sells;
        }
        input.buys += others.buys;
        input.sells += others.sells;
        const WashResult result = detectWashSales(input);
        for (const WashSellResult& sell : result.sells) {
            if (matched.contains(sell.account))
                addYearGains(sell, year, figures);
        }
        table.append(figures);
    }
    progress.step(methods.size(), methods.size());
    return table;
}

QStringList methodFiguresHeading() {
    return {QStringLiteral("Method"), QStringLiteral("Short Term"), QStringLiteral("Long Term"),
            QStringLiteral("Wash Adj."), QStringLiteral("Total")};
}

QStringList methodFiguresFields(const MethodFigures& figures) {
    return {lotMethodName(figures.method), formatPlain(figures.shortTerm),
            formatPlain(figures.longTerm), formatPlain(figures.washAdjustment),
            formatPlain(figures.total())};
}

} // namespace gainbook
