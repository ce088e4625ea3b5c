#include "matching/corp_action_editing.h"

#include "matching/corp_action_checks.h"
#include "platform/instrument_name.h"
#include "store/corp_action_table.h"
#include "store/sql.h"
#include "store/transaction.h"

#include <QSet>

#include <algorithm>

namespace gainbook {

namespace {

// The instruments joined to the action's symbols through symbol changes, in
// either direction: a lot may have carried any of them.
QSet<QString> joinedInstruments(const QVector<CorpActionRecord>& all,
                                const CorpActionRecord& action) {
    QSet<QString> names{instrumentKey(action.symbol)};
    if (action.kind == ActionKind::SymbolChange)
        names.insert(instrumentKey(action.newSymbol));
    for (bool grew = true; grew;) {
        grew = false;
        for (const CorpActionRecord& a : all) {
            if (a.kind != ActionKind::SymbolChange)
                continue;
            const QString from = instrumentKey(a.symbol);
            const QString to = instrumentKey(a.newSymbol);
            if (names.contains(from) != names.contains(to)) {
                names.insert(from);
                names.insert(to);
                grew = true;
            }
        }
    }
    return names;
}

Outcome storeFailure(const StoreError& error) {
    return Outcome::failure(
        QStringLiteral("The corporate action could not be kept: %1").arg(error.message()));
}

} // namespace

QString noSuchActionText(qint64 id) {
    return QStringLiteral("No corporate action %1").arg(id);
}

QString rematchAccountsText(const QStringList& accounts) {
    if (accounts.isEmpty())
        return {};
    return QStringLiteral("To process again for the corporate actions: %1")
        .arg(accounts.join(QStringLiteral(", ")));
}

QStringList markAccountsTouched(const QSqlDatabase& db, const CorpActionRecord& action) {
    const QSet<QString> names = joinedInstruments(selectCorpActions(db), action);
    QSet<QString> accounts;
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT DISTINCT AccountName, Symbol FROM Txn "
                                    "WHERE AccountName IN (SELECT AccountName FROM SellLinks)"));
    while (query.next()) {
        const QString symbol = query.value(1).toString();
        if (std::any_of(names.cbegin(), names.cend(),
                        [&](const QString& name) { return sameInstrument(name, symbol); }))
            accounts.insert(query.value(0).toString());
    }
    QStringList marked(accounts.cbegin(), accounts.cend());
    marked.sort();
    // Only the sells of the instruments the action joins go stale: the
    // account's other sells keep their lots when it is processed again.
    QStringList symbols(names.cbegin(), names.cend());
    symbols.sort();
    for (const QString& account : std::as_const(marked))
        markRematchSymbols(db, account, symbols);
    return marked;
}

Outcome addCorpAction(const QSqlDatabase& db, const CorpActionRecord& action) {
    try {
        CorpActionRecord fresh = action;
        fresh.id = 0;
        if (const QString problem = corpActionProblem(fresh, selectCorpActions(db));
            !problem.isEmpty())
            return Outcome::stop(problem);
        Transaction transaction(db);
        const qint64 id = insertCorpAction(db, fresh);
        const QStringList marked = markAccountsTouched(db, fresh);
        transaction.commit();
        return Outcome::ok(id, rematchAccountsText(marked));
    } catch (const StoreError& error) {
        return storeFailure(error);
    }
}

Outcome changeCorpAction(const QSqlDatabase& db, const CorpActionRecord& action) {
    try {
        const std::optional<CorpActionRecord> old = selectCorpAction(db, action.id);
        if (!old)
            return Outcome::stop(noSuchActionText(action.id));
        if (const QString problem = corpActionProblem(action, selectCorpActions(db));
            !problem.isEmpty())
            return Outcome::stop(problem);
        Transaction transaction(db);
        QStringList marked = markAccountsTouched(db, *old);
        updateCorpAction(db, action);
        marked += markAccountsTouched(db, action);
        marked.removeDuplicates();
        marked.sort();
        transaction.commit();
        return Outcome::ok(action.id, rematchAccountsText(marked));
    } catch (const StoreError& error) {
        return storeFailure(error);
    }
}

Outcome removeCorpAction(const QSqlDatabase& db, qint64 id) {
    try {
        const std::optional<CorpActionRecord> old = selectCorpAction(db, id);
        if (!old)
            return Outcome::stop(noSuchActionText(id));
        Transaction transaction(db);
        const QStringList marked = markAccountsTouched(db, *old);
        deleteCorpAction(db, id);
        transaction.commit();
        return Outcome::ok(id, rematchAccountsText(marked));
    } catch (const StoreError& error) {
        return storeFailure(error);
    }
}

} // namespace gainbook
