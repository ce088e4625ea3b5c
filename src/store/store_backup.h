#pragma once

#include "platform/outcome.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// The one rolling backup of a database file, kept beside it as F.bak and
// renewed before each step that writes many rows (a processing run, a
// capture, an import), so that the last big step can be undone.

QString backupFileOf(const QString& databaseFile);

// The time the backup was taken, or an invalid time when there is none.
QDateTime backupTime(const QSqlDatabase& db);

// Renews the backup through the engine (VACUUM INTO a new file that is then
// renamed over the old backup), so the copy is whole even while another
// program reads or writes. First makes sure the file takes writes at all: a
// read-only or busy file is reported as such, and the old backup stays.
// Must not run inside a transaction.
Outcome keepBackup(const QSqlDatabase& db);

// "Restore the backup of F taken on DATE? ..." asked before a restore.
QString restoreQuestion(const QSqlDatabase& db, const QDateTime& taken);

// Puts the backup's rows in place of the database's, every table in one
// transaction; the backup itself stays as it is. Refuses a backup that is
// missing, damaged or of another shape than the database.
Outcome restoreBackup(const QSqlDatabase& db);

} // namespace gainbook
