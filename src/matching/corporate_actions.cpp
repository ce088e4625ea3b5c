#include "matching/corporate_actions.h"

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
        const QString key = instrumentKey(actions_[i].symbol);
        byKey_[key].append(i);
        keys_.add(key);
        if (actions_[i].kind == ActionKind::SymbolChange) {
            const QString into = instrumentKey(actions_[i].newSymbol);
            intoKey_[into].append(i);
            keys_.add(into);
        }
    }
}

const QVector<int>* CorporateActions::withRelatives(const QHash<QString, QVector<int>>& index,
                                                    QHash<QString, QVector<int>>& merged,
                                                    const QString& key) const {
    const QStringList relatives = keys_.relatives(key);
    const auto own = index.constFind(key);
    if (relatives.isEmpty())
        return own == index.cend() ? nullptr : &*own;
    if (const auto made = merged.constFind(key); made != merged.cend())
        return &*made;
    QVector<int> all = own == index.cend() ? QVector<int>{} : *own;
    for (const QString& relative : relatives)
        all += index.value(relative);
    // Indexes into the actions by date: their order is the date order.
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return &*merged.insert(key, all);
}

const QVector<int>* CorporateActions::actionsOf(const QString& key) const {
    return withRelatives(byKey_, mergedBy_, key);
}

const QVector<int>* CorporateActions::changesInto(const QString& key) const {
    return withRelatives(intoKey_, mergedInto_, key);
}

bool CorporateActions::touches(const QString& symbol) const {
    const QString key = instrumentKey(symbol);
    return actionsOf(key) != nullptr || changesInto(key) != nullptr;
}

void CorporateActions::applyDay(QString& key, QString& symbol, double& factor,
                                const QDate& day) const {
    // A change moves the lot to another instrument, whose actions of the
    // same day apply too; the checks refuse loops, the set guards anyway.
    QSet<QString> seen;
    while (!seen.contains(key)) {
        seen.insert(key);
        const QVector<int>* found = actionsOf(key);
        if (found == nullptr)
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
        key = instrumentKey(symbol);
    }
}

LotView CorporateActions::lotAt(const QString& symbol, const QDate& bought, const QDate& at) const {
    LotView view{1, symbol};
    if (actions_.isEmpty() || !bought.isValid() || !at.isValid() || !(bought < at))
        return view;
    QString key = instrumentKey(symbol);
    QDate after = bought; // actions strictly after this day apply
    for (;;) {
        const QVector<int>* found = actionsOf(key);
        if (found == nullptr)
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
        applyDay(key, view.symbol, view.factor, day);
        after = day;
    }
}

QStringList CorporateActions::originsOf(const QString& symbol, const QDate& at) const {
    const QString own = instrumentKey(symbol);
    // Most symbols were never changed into: no set, no list.
    if (changesInto(own) == nullptr)
        return {};
    struct Origin {
        QString key;
        QDate since;
    };
    QVector<Origin> found;
    QSet<QString> seen{own};
    // Walk the changes backwards: into the symbol by `at`, into those
    // symbols by the date of that change, and so on.
    QVector<Origin> pending{{own, at}};
    while (!pending.isEmpty()) {
        const Origin next = pending.takeLast();
        const QVector<int>* into = changesInto(next.key);
        if (into == nullptr)
            continue;
        for (int i : *into) {
            const CorpActionRecord& a = actions_[i];
            if (a.effective > next.since)
                break;
            const QString from = instrumentKey(a.symbol);
            if (seen.contains(from))
                continue;
            seen.insert(from);
            found.append({from, a.effective});
            pending.append({from, a.effective});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Origin& l, const Origin& r) { return l.since < r.since; });
    QStringList keys;
    for (const Origin& o : found)
        keys.append(o.key);
    return keys;
}

} // namespace gainbook
