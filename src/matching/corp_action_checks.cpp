#include "matching/corp_action_checks.h"

#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "platform/number_text.h"

#include <QSet>

#include <cmath>

namespace gainbook {

namespace {

// The change of `symbol` on `day` among the kept actions, if any.
const CorpActionRecord* changeOn(const QVector<CorpActionRecord>& others, qint64 skipId,
                                 const QString& symbol, const QDate& day) {
    for (const CorpActionRecord& o : others) {
        if (o.id != 0 && o.id == skipId)
            continue;
        if (o.kind == ActionKind::SymbolChange && o.effective == day &&
            sameInstrument(o.symbol, symbol))
            return &o;
    }
    return nullptr;
}

QString splitProblem(const CorpActionRecord& action, const QVector<CorpActionRecord>& others) {
    const QString ratio = ratioText(action.ratioNew, action.ratioOld);
    if (!std::isfinite(action.ratioNew) || !std::isfinite(action.ratioOld) ||
        !(action.ratioNew > 0) || !(action.ratioOld > 0))
        return QStringLiteral("The ratio %1 of a split must be two numbers above 0.").arg(ratio);
    if (action.ratioNew == action.ratioOld)
        return QStringLiteral("A split of %1 changes no share count.").arg(ratio);
    for (const CorpActionRecord& o : others) {
        if (o.id != 0 && o.id == action.id)
            continue;
        if (o.kind == ActionKind::Split && o.effective == action.effective &&
            sameInstrument(o.symbol, action.symbol))
            return QStringLiteral("%1 already has a split on %2 (action %3).")
                .arg(action.symbol, formatDate(action.effective))
                .arg(o.id);
    }
    return {};
}

QString changeProblem(const CorpActionRecord& action, const QVector<CorpActionRecord>& others) {
    if (action.newSymbol.trimmed().isEmpty())
        return QStringLiteral("A symbol change of %1 needs the new symbol.").arg(action.symbol);
    if (sameInstrument(action.symbol, action.newSymbol))
        return QStringLiteral("A symbol change from %1 to %2 keeps the same symbol.")
            .arg(action.symbol, action.newSymbol);
    const QString day = formatDate(action.effective);
    if (const CorpActionRecord* o = changeOn(others, action.id, action.symbol, action.effective))
        return QStringLiteral("%1 already changes to %2 on %3 (action %4).")
            .arg(action.symbol, o->newSymbol, day)
            .arg(o->id);
    // Follow the new symbol through the changes of the same day: coming
    // back to the start would leave the lots without a symbol.
    QStringList chain{action.symbol, action.newSymbol};
    QSet<QString> seen{instrumentKey(action.symbol)};
    QString at = action.newSymbol;
    while (!seen.contains(instrumentKey(at))) {
        seen.insert(instrumentKey(at));
        const CorpActionRecord* next = changeOn(others, action.id, at, action.effective);
        if (next == nullptr)
            return {};
        at = next->newSymbol;
        chain.append(at);
    }
    return QStringLiteral("The symbol changes %1 on %2 loop back.")
        .arg(chain.join(QStringLiteral(" -> ")), day);
}

} // namespace

QString corpActionProblem(const CorpActionRecord& action, const QVector<CorpActionRecord>& others) {
    if (action.symbol.trimmed().isEmpty())
        return QStringLiteral("An action needs the symbol it happens to.");
    if (!action.effective.isValid())
        return QStringLiteral("The action of %1 needs the date it takes effect.")
            .arg(action.symbol);
    return action.kind == ActionKind::Split ? splitProblem(action, others)
                                            : changeProblem(action, others);
}

std::optional<std::pair<double, double>> ratioFromText(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    bool okNew = false;
    bool okOld = false;
    const double n = parts[0].trimmed().toDouble(&okNew);
    const double m = parts[1].trimmed().toDouble(&okOld);
    if (!okNew || !okOld)
        return std::nullopt;
    return std::pair{n, m};
}

QString ratioText(double ratioNew, double ratioOld) {
    return numberToText(ratioNew) + QLatin1Char(':') + numberToText(ratioOld);
}

QString notADateText(const QString& text) {
    return QStringLiteral("Not a date: %1").arg(text);
}

QString notARatioText(const QString& text) {
    return QStringLiteral("Not a ratio: %1 (write it as N:M, such as 10:1)").arg(text);
}

QString actionDescription(const CorpActionRecord& action) {
    if (action.kind == ActionKind::Split)
        return QStringLiteral("split %1").arg(ratioText(action.ratioNew, action.ratioOld));
    return QStringLiteral("symbol change to %1").arg(action.newSymbol);
}

} // namespace gainbook
