#pragma once

#include "platform/outcome.h"
#include "store/records.h"

#include <QSqlDatabase>

namespace gainbook {

// Keeps a new corporate action: refused with the message of
// corpActionProblem, otherwise stored in one transaction with the marks of
// the accounts whose links it changes. The count is the new action's ID;
// the message names the accounts marked (rematchAccountsText).
Outcome addCorpAction(const QSqlDatabase& db, const CorpActionRecord& action);

// Replaces the action with the same ID; the accounts that the old or the
// new form touches are marked. "No corporate action 7" when there is none.
Outcome changeCorpAction(const QSqlDatabase& db, const CorpActionRecord& action);

// Deletes an action and marks the accounts it touched.
Outcome removeCorpAction(const QSqlDatabase& db, qint64 id);

// "No corporate action 7"
QString noSuchActionText(qint64 id);

// "To process again for the corporate actions: Joint, IRA"; empty for none.
QString rematchAccountsText(const QStringList& accounts);

// Marks every account that has links and trades of a symbol the action
// reaches: its own, its new one and those joined to them by other symbol
// changes (first 12 characters). Returns them by name. Throws
// StoreError; the caller holds the transaction.
QStringList markAccountsTouched(const QSqlDatabase& db, const CorpActionRecord& action);

} // namespace gainbook
