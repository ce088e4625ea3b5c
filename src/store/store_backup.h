#pragma once

#include "platform/outcome.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace gainbook {

// The one rolling backup of a database file, kept beside it as F.bak and
// renewed before each step that writes many rows (a processing run, a
// capture, an import), so that the last big step can be undone.

QString backupFileOf(const QString& databaseFile);

// The time the backup was taken, or an invalid time when there is none.
QDateTime backupTime(const QSqlDatabase& db);

// The backup of one run, renewed while the run works. Begun before the
// run's transaction: it first makes sure the file takes writes at all (a
// read-only or busy file is reported as such, and the old backup stays),
// then reads the file as it stands on a connection of its own and copies
// it page by page on a thread of its own, so a run of a large store does
// not wait for its copy. The copy sees nothing the run writes; the run
// commits only after finish() put the copy in place. A run that stops
// first leaves the old backup as it was.
//
// `Check::Pending` is for a file opened without its quick check
// (Database::HealthCheck::WithRun): the same thread checks it first, and a
// damaged file gets no backup and stops the run.
class RunBackup {
public:
    enum class Check { Done, Pending };

    explicit RunBackup(const QSqlDatabase& db, Check check = Check::Done);
    ~RunBackup();
    RunBackup(const RunBackup&) = delete;
    RunBackup& operator=(const RunBackup&) = delete;

    // Waits for the copy and renames it over the last backup.
    // The step names what the run does ("Processing of A"): Restore names
    // the step it undoes.
    Outcome finish(const QString& step = {});

    // Waits for the check; the reason the file is damaged, or empty. A run
    // whose reads failed asks this to tell damage from other faults.
    QString damage();

private:
    struct Copy;
    std::unique_ptr<Copy> copy_;
};

// Renews the backup at once: a RunBackup finished before anything else.
// Must not run inside a transaction.
Outcome keepBackup(const QSqlDatabase& db, const QString& step = {});

// The step the backup was taken before, as its run named it; empty when
// none was named.
QString backupStep(const QSqlDatabase& db);

// Copies the file before an upgrade changes it, from the connection as the
// file stands (the caller holds the write lock and has written nothing), to
// F.vN.bak beside F for a file of version N: F.vN-2.bak, -3, ... when that
// name is taken, for a copy is never written over another file, and later
// backups leave it alone. Returns the copy's path. Throws StoreError, with
// the message to show, when no copy could be kept; nothing is left then.
QString copyBeforeUpgrade(const QSqlDatabase& db, int version);

// "Restore the backup of F taken on DATE, before STEP? ..." asked before a
// restore; without a step named, the date alone.
QString restoreQuestion(const QSqlDatabase& db, const QDateTime& taken);

// Puts the backup's rows in place of the database's, every table in one
// transaction; the backup itself stays as it is. Refuses a backup that is
// missing, damaged or of another shape than the database.
Outcome restoreBackup(const QSqlDatabase& db);

} // namespace gainbook
