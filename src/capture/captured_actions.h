#pragma once

#include "capture/corp_action_proposal.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

namespace gainbook {

class Prompter;

// The shares of the symbol (first 12 characters) the account held at the
// end of the day before `day`: its buys less its sells, each counted in the
// shares of that day after the actions already recorded, through symbol
// changes. Throws StoreError.
double sharesHeldBefore(const QSqlDatabase& db, const QString& account, const QString& symbol,
                        const QDate& day);

// Puts the action each captured split or symbol-change row implies to the
// user ("Record a 10:1 split of XYZ on 06/10/2024?") and keeps it on Yes.
// Rows of one split (the shares taken and the shares given) are taken
// together, and so are the old and the new symbol of a change on one day.
// Returns a line per row for the end of the capture's message: what was
// recorded, or why not. Throws StoreError.
QStringList proposeCapturedActions(const QSqlDatabase& db, const QVector<ActionRow>& rows,
                                   Prompter& prompter);

} // namespace gainbook
