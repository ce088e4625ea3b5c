#include "capture/corp_action_proposal.h"

#include "platform/date_text.h"
#include "platform/number_text.h"

#include <QRegularExpression>

#include <cmath>

namespace gainbook {

namespace {

bool saysReverse(const QString& words) {
    return words.contains(QLatin1String("reverse"), Qt::CaseInsensitive);
}

// A merger or exchange of shares for shares is the old symbol's lots
// carried on under the new one.
bool saysChange(const QString& words) {
    static const QRegularExpression change(
        QStringLiteral("\\b(symbol|name)\\s+change|\\b(merger|merged|exchange|exchanged)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return change.match(words).hasMatch();
}

bool saysSplit(const QString& words) {
    return words.contains(QLatin1String("split"), Qt::CaseInsensitive);
}

// A whole number when the value is one to a millionth, which is how close
// share counts of an export come.
std::optional<double> whole(double value) {
    const double rounded = std::round(value);
    if (rounded >= 1 && std::abs(value - rounded) < 1e-6 * rounded)
        return rounded;
    return std::nullopt;
}

} // namespace

bool isChangeWords(const QString& words) {
    return saysChange(words);
}

bool isCorpActionWords(const QString& words) {
    return saysSplit(words) || saysChange(words);
}

std::optional<CorpActionRecord> proposedAction(const ActionRow& row) {
    if (!row.date.isValid() || row.symbol.trimmed().isEmpty())
        return std::nullopt;
    CorpActionRecord action;
    action.symbol = row.symbol.trimmed();
    action.effective = row.date;
    action.note = row.words.trimmed();
    if (saysChange(row.words)) {
        if (row.newSymbol.trimmed().isEmpty())
            return std::nullopt;
        action.kind = ActionKind::SymbolChange;
        action.newSymbol = row.newSymbol.trimmed();
        return action;
    }
    if (!saysSplit(row.words) || !(row.sharesHeld > 0))
        return std::nullopt;
    double added = row.sharesAdded;
    if (saysReverse(row.words) && added > 0 && added < row.sharesHeld)
        added = -added;
    const double after = row.sharesHeld + added;
    if (!(after > 0) || after == row.sharesHeld)
        return std::nullopt;
    action.kind = ActionKind::Split;
    if (const auto up = whole(after / row.sharesHeld)) {
        action.ratioNew = *up;
        action.ratioOld = 1;
    } else if (const auto down = whole(row.sharesHeld / after)) {
        action.ratioNew = 1;
        action.ratioOld = *down;
    } else {
        action.ratioNew = after;
        action.ratioOld = row.sharesHeld;
    }
    return action;
}

QString proposalQuestion(const CorpActionRecord& action) {
    const QString day = formatDate(action.effective);
    if (action.kind == ActionKind::SymbolChange)
        return QStringLiteral("Record the change of %1 to %2 on %3?")
            .arg(action.symbol, action.newSymbol, day);
    return QStringLiteral("Record a %1:%2 split of %3 on %4?")
        .arg(numberToText(action.ratioNew), numberToText(action.ratioOld), action.symbol, day);
}

} // namespace gainbook
