#include "capture/captured_actions.h"

#include "matching/corp_action_checks.h"
#include "matching/corp_action_editing.h"
#include "matching/corporate_actions.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "platform/prompter.h"
#include "store/corp_action_table.h"
#include "store/sql.h"

#include <QRegularExpression>

namespace gainbook {

namespace {

bool isChangeRow(const ActionRow& row) {
    return isChangeWords(row.words);
}

// The rows as one per action: the shares of a split's rows added up, the
// old (shares taken) and new (shares given) symbol of a change paired.
QVector<ActionRow> joinedRows(const QVector<ActionRow>& rows) {
    QVector<ActionRow> joined;
    for (const ActionRow& row : rows) {
        const bool change = isChangeRow(row);
        auto same = std::find_if(joined.begin(), joined.end(), [&](const ActionRow& j) {
            if (j.account != row.account || j.date != row.date || isChangeRow(j) != change)
                return false;
            return change ? j.newSymbol.isEmpty() || j.symbol.isEmpty()
                          : sameInstrument(j.symbol, row.symbol);
        });
        if (same == joined.end()) {
            ActionRow first = row;
            // A change row that gives shares names the new symbol.
            if (change && row.newSymbol.isEmpty() && row.sharesAdded > 0) {
                first.newSymbol = row.symbol;
                first.symbol.clear();
            }
            joined.append(first);
            continue;
        }
        if (!change) {
            same->sharesAdded += row.sharesAdded;
        } else if (row.sharesAdded > 0) {
            same->newSymbol = row.symbol;
        } else {
            same->symbol = row.symbol;
        }
    }
    return joined;
}

bool recordedAlready(const QVector<CorpActionRecord>& kept, const CorpActionRecord& action) {
    return std::any_of(kept.cbegin(), kept.cend(), [&](const CorpActionRecord& k) {
        return k.kind == action.kind && k.effective == action.effective &&
               sameInstrument(k.symbol, action.symbol);
    });
}

QString rowName(const ActionRow& row) {
    return QStringLiteral("The %1 row of %2 on %3")
        .arg(row.words, row.symbol.isEmpty() ? row.newSymbol : row.symbol, formatDate(row.date));
}

} // namespace

double sharesHeldBefore(const QSqlDatabase& db, const QString& account, const QString& symbol,
                        const QDate& day) {
    const CorporateActions actions(selectCorpActions(db));
    const QDate at = day.addDays(-1);
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT Symbol, Quantity, Type, TxnDate FROM Txn "
                                              "WHERE AccountName = ? AND TxnDate < ? AND Type IN "
                                              "('Bought', 'Sold')"),
                               {textValue(account), isoDate(day)});
    double held = 0;
    while (query.next()) {
        const QDate date = dateFromStored(query.value(3).toString());
        const LotView view = actions.lotAt(query.value(0).toString(), date, at);
        if (!date.isValid() || date >= day || !sameInstrument(view.symbol, symbol))
            continue;
        const double shares = query.value(1).toDouble() * view.factor;
        held += query.value(2).toString() == kBought ? shares : -shares;
    }
    return held;
}

QStringList proposeCapturedActions(const QSqlDatabase& db, const QVector<ActionRow>& rows,
                                   Prompter& prompter) {
    QStringList lines;
    for (ActionRow row : joinedRows(rows)) {
        if (!row.date.isValid()) {
            lines << rowName(row) + QStringLiteral(" was not recorded: its date is not a date.");
            continue;
        }
        if (!isChangeRow(row))
            row.sharesHeld = sharesHeldBefore(db, row.account, row.symbol, row.date);
        const std::optional<CorpActionRecord> action = proposedAction(row);
        if (!action) {
            lines << rowName(row) +
                         (isChangeRow(row)
                              ? QStringLiteral(" was not recorded: the export names not both "
                                               "the old and the new symbol.")
                              : QStringLiteral(" was not recorded: no shares were held before "
                                               "it to tell the ratio."));
            continue;
        }
        if (recordedAlready(selectCorpActions(db), *action)) {
            lines << rowName(row) + QStringLiteral(" is recorded already.");
            continue;
        }
        if (!prompter.ask(proposalQuestion(*action))) {
            lines << rowName(row) + QStringLiteral(" was not recorded.");
            continue;
        }
        const Outcome kept = addCorpAction(db, *action);
        if (!kept.done()) {
            lines << kept.message;
            continue;
        }
        lines << QStringLiteral("Recorded: %1 of %2 on %3.")
                     .arg(action->kind == ActionKind::Split
                              ? QStringLiteral("a %1 split")
                                    .arg(ratioText(action->ratioNew, action->ratioOld))
                              : QStringLiteral("the change to %1").arg(action->newSymbol),
                          action->symbol, formatDate(action->effective));
        if (!kept.message.isEmpty())
            lines << kept.message;
    }
    return lines;
}

} // namespace gainbook
