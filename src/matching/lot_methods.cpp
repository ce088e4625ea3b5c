#include "matching/lot_methods.h"

#include "matching/link_editing.h"
#include "matching/process_session.h"
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

HoldingTerm recordTerm(const TaxRecord& record) {
    const HoldingTerm byBox = boxTerm(record.box);
    return byBox != HoldingTerm::Unknown ? byBox
                                         : holdingTerm(record.dateAcquired, record.dateSold);
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
            detachAllLots(db, name);
            deleteTaxRecsOfAccount(db, name);
            runMatching(db, name, unwatchedProgress(), methods[m]);
        }
        for (const QString& name : accounts) {
            for (const TaxRecord& record :
                 selectTaxRecs(db, name, year.firstDay(), year.lastDay())) {
                const Money gain = record.salePrice - record.cost + record.washAdjustment;
                (recordTerm(record) == HoldingTerm::Long ? figures.longTerm : figures.shortTerm) +=
                    gain;
                figures.washAdjustment += record.washAdjustment;
            }
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
