#include "matching/corp_action_editing.h"

#include "matching/corp_action_checks.h"
#include "matching/matcher.h"
#include "store/corp_action_table.h"
#include "store/sql.h"
#include "store/transaction.h"

#include <QSet>

namespace gainbook {

namespace {

// The prefixes joined to the action's symbols through symbol changes, in
// either direction: a lot may have carried any of them.
QSet<QString> joinedPrefixes(const QVector<CorpActionRecord>& all, const CorpActionRecord& action) {
    QSet<QString> names{symbolPrefix(action.symbol)};
    if (action.kind == ActionKind::SymbolChange)
        names.insert(symbolPrefix(action.newSymbol));
    for (bool grew = true; grew;) {
        grew = false;
        for (const CorpActionRecord& a : all) {
            if (a.kind != ActionKind::SymbolChange)
                continue;
            const QString from = symbolPrefix(a.symbol);
            const QString to = symbolPrefix(a.newSymbol);
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
    const QSet<QString> names = joinedPrefixes(selectCorpActions(db), action);
    QSet<QString> accounts;
    QSqlQuery query = prepareQuery(
        db, QStringLiteral("SELECT DISTINCT AccountName FROM Txn WHERE substr(Symbol, 1, 12) = ? "
                           "AND AccountName IN (SELECT AccountName FROM SellLinks)"));
    for (const QString& name : names) {
        execQuery(query, {name});
        while (query.next())
            accounts.insert(query.value(0).toString());
    }
    query.finish();
    QStringList marked(accounts.cbegin(), accounts.cend());
    marked.sort();
    for (const QString& account : std::as_const(marked))
        markRematch(db, account);
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
