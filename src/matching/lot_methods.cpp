#include "matching/lot_methods.h"

#include "matching/process_session.h"
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

// Adds the account's gains of the year to the figures, by the term of
// each record's box; a record without a box (no date acquired) is short
// term, as the report counts it, and one of unknown cost (no date, no
// cost) adds no gain, as in the tax view's totals. Summed by the engine: read record by
// record, the year's records were a sixth of a method's time.
void addYearGains(const QSqlDatabase& db, const QString& account, TaxYear year,
                  MethodFigures& figures) {
    QSqlQuery query = runQuery(
        db,
        QStringLiteral("SELECT Box, SUM(SalePrice - Cost + WashAdj), SUM(WashAdj) FROM TaxRec "
                       "WHERE AccountName = ? AND DateSold BETWEEN ? AND ? "
                       "AND (IFNULL(DateAcquired, '') <> '' OR Cost <> 0) GROUP BY Box"),
        {textValue(account), isoDate(year.firstDay()), isoDate(year.lastDay())});
    while (query.next()) {
        const std::optional<Form8949Box> box = boxFromLetter(query.value(0).toString());
        const Money gain = Money::fromDouble(query.value(1).toDouble());
        (box && boxTerm(*box) == HoldingTerm::Long ? figures.longTerm : figures.shortTerm) += gain;
        figures.washAdjustment += Money::fromDouble(query.value(2).toDouble());
    }
}

} // namespace

QVector<MethodFigures> compareLotMethods(const QSqlDatabase& db, const QString& account,
                                         TaxYear year, Progress& progress) {
    const QStringList accounts = account.isEmpty() ? tradingAccounts(db) : QStringList{account};
    const QVector<LotMethod>& methods = allLotMethods();
    QVector<MethodFigures> table;
    for (qsizetype m = 0; m < methods.size(); ++m) {
        progress.step(m, methods.size());
        MethodFigures figures{methods[m], {}, {}, {}};
        // Never committed: the run's links, open quantities and tax records
        // go when the transaction does.
        Transaction transaction(db);
        for (const QString& name : accounts) {
            // The run opens every buy of the account again from its
            // quantity and the links other accounts hold, never from the
            // open quantities the links leave: the links go at once, not
            // each one back into its buy, which would double the time.
            deleteLinksOfAccount(db, name);
            deleteTaxRecsOfAccount(db, name);
            runMatching(db, name, unwatchedProgress(), methods[m]);
        }
        for (const QString& name : accounts)
            addYearGains(db, name, year, figures);
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
