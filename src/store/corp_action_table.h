#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

// Every corporate action, by effective date, then ID. Throws StoreError.
QVector<CorpActionRecord> selectCorpActions(const QSqlDatabase& db);

std::optional<CorpActionRecord> selectCorpAction(const QSqlDatabase& db, qint64 id);

// Inserts the action and returns its new ID. Throws StoreError.
qint64 insertCorpAction(const QSqlDatabase& db, const CorpActionRecord& action);

// Replaces the row with the action's ID; false when there is none. Throws
// StoreError.
bool updateCorpAction(const QSqlDatabase& db, const CorpActionRecord& action);

// False when no row has that ID. Throws StoreError.
bool deleteCorpAction(const QSqlDatabase& db, qint64 id);

// Accounts whose matching is out of date since a corporate action changed,
// by name. Throws StoreError.
QStringList selectRematchAccounts(const QSqlDatabase& db);
bool needsRematch(const QSqlDatabase& db, const QString& account);
// Every sell of the account is to be matched again.
void markRematch(const QSqlDatabase& db, const QString& account);
// Only the sells of these symbols are, unless the whole account is marked.
void markRematchSymbols(const QSqlDatabase& db, const QString& account, const QStringList& symbols);
// The symbols whose sells are to be matched again; nullopt when the account
// is marked as a whole or not at all.
std::optional<QStringList> selectRematchSymbols(const QSqlDatabase& db, const QString& account);
void clearRematch(const QSqlDatabase& db, const QString& account);

} // namespace gainbook
