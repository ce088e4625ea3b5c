#include "matching/corporate_actions.h"

#include "matching/matcher.h"

#include <QSet>

#include <algorithm>

namespace gainbook {

CorporateActions::CorporateActions(const QVector<CorpActionRecord>& actions) {
    for (const CorpActionRecord& a : actions) {
        // An action the checks would refuse (no date, no ratio) never
        // reaches a lot.
        if (!a.effective.isValid() || a.symbol.isEmpty())
            continue;
        if (a.kind == ActionKind::Split && !(a.ratioNew > 0 && a.ratioOld > 0))
            continue;
        if (a.kind == ActionKind::SymbolChange && a.newSymbol.isEmpty())
            continue;
        actions_.append(a);
    }
    std::stable_sort(actions_.begin(), actions_.end(),
                     [](const CorpActionRecord& l, const CorpActionRecord& r) {
                         return l.effective < r.effective;
                     });
    for (int i = 0; i < actions_.size(); ++i) {
        byPrefix_[symbolPrefix(actions_[i].symbol)].append(i);
        if (actions_[i].kind == ActionKind::SymbolChange)
            intoPrefix_[symbolPrefix(actions_[i].newSymbol)].append(i);
    }
}

void CorporateActions::applyDay(QString& prefix, QString& symbol, double& factor,
                                const QDate& day) const {
    // A change moves the lot to another prefix, whose actions of the same
    // day apply too; the checks refuse loops, the set guards anyway.
    QSet<QString> seen;
    while (!seen.contains(prefix)) {
        seen.insert(prefix);
        const auto found = byPrefix_.constFind(prefix);
        if (found == byPrefix_.constEnd())
            return;
        const CorpActionRecord* change = nullptr;
        for (int i : *found) {
            const CorpActionRecord& a = actions_[i];
            if (a.effective < day)
                continue;
            if (a.effective > day)
                break;
            if (a.kind == ActionKind::Split)
                factor = factor * a.ratioNew / a.ratioOld;
            else if (change == nullptr)
                change = &a;
        }
        if (change == nullptr)
            return;
        symbol = change->newSymbol;
        prefix = symbolPrefix(symbol);
    }
}

QString CorporateActions::symbolPrefixOf(const QString& symbol) {
    return symbolPrefix(symbol);
}

LotView CorporateActions::lotAt(const QString& symbol, const QDate& bought, const QDate& at) const {
    return lotAt(symbol, symbolPrefix(symbol), bought, at);
}

LotView CorporateActions::lotAt(const QString& symbol, const QString& prefixOfSymbol,
                                const QDate& bought, const QDate& at) const {
    LotView view{1, symbol, prefixOfSymbol};
    if (actions_.isEmpty() || !bought.isValid() || !at.isValid() || !(bought < at))
        return view;
    QString& prefix = view.prefix;
    QDate after = bought; // actions strictly after this day apply
    for (;;) {
        const auto found = byPrefix_.constFind(prefix);
        if (found == byPrefix_.constEnd())
            return view;
        QDate day;
        for (int i : *found) {
            const QDate& effective = actions_[i].effective;
            if (effective > after) {
                if (effective <= at)
                    day = effective;
                break;
            }
        }
        if (!day.isValid())
            return view;
        applyDay(prefix, view.symbol, view.factor, day);
        after = day;
    }
}

QStringList CorporateActions::originsOfPrefix(const QString& own, const QDate& at) const {
    // Most symbols were never changed into: no set, no list.
    if (!intoPrefix_.contains(own))
        return {};
    struct Origin {
        QString prefix;
        QDate since;
    };
    QVector<Origin> found;
    QSet<QString> seen{own};
    // Walk the changes backwards: into the symbol by `at`, into those
    // symbols by the date of that change, and so on.
    QVector<Origin> pending{{own, at}};
    while (!pending.isEmpty()) {
        const Origin next = pending.takeLast();
        const auto into = intoPrefix_.constFind(next.prefix);
        if (into == intoPrefix_.constEnd())
            continue;
        for (int i : *into) {
            const CorpActionRecord& a = actions_[i];
            if (a.effective > next.since)
                break;
            const QString from = symbolPrefix(a.symbol);
            if (seen.contains(from))
                continue;
            seen.insert(from);
            found.append({from, a.effective});
            pending.append({from, a.effective});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Origin& l, const Origin& r) { return l.since < r.since; });
    QStringList prefixes;
    for (const Origin& o : found)
        prefixes.append(o.prefix);
    return prefixes;
}

} // namespace gainbook
