#include "store/store_backup.h"

#include "store/sql.h"
#include "store/store_fault.h"
#include "store/store_health.h"
#include "store/transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sqlite3.h>
#include <thread>

namespace gainbook {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString backupFailed(const QString& backup, const QString& reason) {
    return QStringLiteral("The backup %1 could not be written: %2").arg(shown(backup), reason);
}

QString restoreFailed(const QString& backup, const QString& reason) {
    return QStringLiteral("The backup %1 could not be restored: %2").arg(shown(backup), reason);
}

// The user tables of a schema ("main" or "backup"), by name.
QStringList tablesOf(const QSqlDatabase& db, const QString& schema) {
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type = "
                                                  "'table' AND name NOT LIKE 'sqlite_%' "
                                                  "ORDER BY name")
                                       .arg(schema));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

bool hasSequence(const QSqlDatabase& db, const QString& schema) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = 'sqlite_sequence'")
                         .arg(schema));
    return query.next();
}

// A table name as an SQL identifier. Names cannot be bound values; they
// come from the files' own catalogues and are quoted here.
QString identifier(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// The columns of a table of a schema, in their order.
QStringList columnsOf(const QSqlDatabase& db, const QString& schema, const QString& table) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, identifier(table)));
    QStringList names;
    while (query.next())
        names << identifier(query.value(1).toString());
    return names;
}

// The columns both copies of a table hold: a backup taken before an
// upgrade added a column restores into it, the new column taking its
// default.
QString sharedColumns(const QSqlDatabase& db, const QString& table) {
    const QStringList saved = columnsOf(db, QStringLiteral("backup"), table);
    QStringList shared;
    for (const QString& column : columnsOf(db, QStringLiteral("main"), table)) {
        if (saved.contains(column))
            shared << column;
    }
    return shared.join(QStringLiteral(", "));
}

// Detaches the backup however the restore ends.
class AttachedBackup {
public:
    AttachedBackup(const QSqlDatabase& db, const QString& backup) : db_(db) {
        QUrl uri = QUrl::fromLocalFile(backup);
        uri.setQuery(QStringLiteral("mode=ro"));
        runQuery(db_, QStringLiteral("ATTACH DATABASE ? AS backup"),
                 {uri.toString(QUrl::FullyEncoded)});
    }
    ~AttachedBackup() { QSqlQuery(db_).exec(QStringLiteral("DETACH DATABASE backup")); }
    AttachedBackup(const AttachedBackup&) = delete;
    AttachedBackup& operator=(const AttachedBackup&) = delete;

private:
    QSqlDatabase db_;
};

// Copies the database page by page into the empty file at path, in one
// read of the database: a rebuild (VACUUM INTO) costs several times as
// much on a large file. Empty on success, else why it failed.
QString copyPages(sqlite3* source, const QString& path) {
    sqlite3* target = nullptr;
    int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &target, SQLITE_OPEN_READWRITE,
                               nullptr);
    if (code == SQLITE_OK) {
        if (sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main")) {
            // Waits for another program's write as the connection does: up
            // to 10 s.
            for (int waits = 0;; ++waits) {
                code = sqlite3_backup_step(copy, -1);
                if ((code != SQLITE_BUSY && code != SQLITE_LOCKED) || waits == 200)
                    break;
                sqlite3_sleep(50);
            }
            sqlite3_backup_finish(copy);
            if (code == SQLITE_DONE)
                code = SQLITE_OK;
        } else {
            code = sqlite3_errcode(target);
        }
    }
    const QString failed = code == SQLITE_OK ? QString()
                                             : QString::fromUtf8(target ? sqlite3_errmsg(target)
                                                                        : sqlite3_errstr(code));
    const int closed = sqlite3_close(target);
    if (failed.isEmpty() && closed != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errstr(closed));
    return failed;
}

} // namespace

QString backupFileOf(const QString& databaseFile) {
    return databaseFile + QStringLiteral(".bak");
}

QDateTime backupTime(const QSqlDatabase& db) {
    const QFileInfo backup(backupFileOf(databaseFile(db)));
    return backup.isFile() ? backup.lastModified() : QDateTime();
}

struct RunBackup::Copy {
    QString file;
    QString backup;
    QString fresh;             // the new copy until it is renamed
    sqlite3* source = nullptr; // holds the read the copy is taken from
    std::thread worker;
    std::optional<Outcome> refused; // why no copy was begun
    // Written by the worker, read after it was joined.
    QString damage;
    QString failed;

    ~Copy() {
        join();
        if (!fresh.isEmpty())
            QFile::remove(fresh);
    }

    void join() {
        if (worker.joinable())
            worker.join();
        if (source != nullptr) {
            sqlite3_close_v2(source);
            source = nullptr;
        }
    }

    // Runs on the worker: the engine's own calls on connections of its own
    // only, nothing shared with the run. The read ends with the work, so a
    // run that must write its pages out early waits for the copy, never for
    // the commit that waits for it.
    void work(bool check) {
        checkAndCopy(check);
        sqlite3_close_v2(source);
        source = nullptr;
    }

    void checkAndCopy(bool check) {
        if (check) {
            const HealthCheck health = checkHealth(source);
            if (health.status == HealthCheck::Status::Damaged)
                damage = health.reason;
            else if (health.status != HealthCheck::Status::Sound)
                failed = health.reason;
            if (!damage.isEmpty() || !failed.isEmpty())
                return;
        }
        failed = copyPages(source, fresh);
    }
};

RunBackup::RunBackup(const QSqlDatabase& db, Check check) : copy_(std::make_unique<Copy>()) {
    Copy& copy = *copy_;
    copy.file = databaseFile(db);
    copy.backup = backupFileOf(copy.file);
    try {
        // A write tried and taken back: a file that takes no writes
        // (read-only, or held by another program) is reported as such now,
        // before a backup of it replaces the last one. BEGIN IMMEDIATE alone
        // does not tell: on a read-only file it starts a read.
        Transaction probe(db);
        runQuery(db, QStringLiteral("DELETE FROM Txn WHERE 0"));
    } catch (const StoreError& error) {
        copy.refused = Outcome::failure(failureText(db, error));
        return;
    }
    // A new file of its own for each copy: two programs backing up the
    // same database at once never write into one file.
    QTemporaryFile reserved(copy.backup + QStringLiteral(".XXXXXX"));
    reserved.setAutoRemove(false);
    if (!reserved.open()) {
        copy.refused = Outcome::failure(backupFailed(copy.backup, reserved.errorString()));
        return;
    }
    copy.fresh = reserved.fileName();
    reserved.close();
    QFile::setPermissions(copy.fresh, QFileInfo(copy.file).permissions());
    // The read begins here, before the run writes: the run's commit waits
    // for the copy, and the copy never sees what the run wrote.
    int code = sqlite3_open_v2(QFile::encodeName(copy.file).constData(), &copy.source,
                               SQLITE_OPEN_READONLY, nullptr);
    if (code == SQLITE_OK) {
        sqlite3_busy_timeout(copy.source, 10000);
        code = sqlite3_exec(copy.source, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr,
                            nullptr, nullptr);
    }
    if (code != SQLITE_OK) {
        const QString reason =
            QString::fromUtf8(copy.source ? sqlite3_errmsg(copy.source) : sqlite3_errstr(code));
        if (check == Check::Pending && storeFaultOfCode(code) == StoreFault::Damaged)
            copy.damage = reason;
        else
            copy.refused = Outcome::failure(backupFailed(copy.backup, reason));
        return;
    }
    copy.worker = std::thread([&copy, check] { copy.work(check == Check::Pending); });
}

RunBackup::~RunBackup() = default;

QString RunBackup::damage() {
    copy_->join();
    return copy_->damage;
}

namespace {

// The step beside the backup: a line of text in F.bak.step.
QString backupStepFile(const QString& backup) {
    return backup + QStringLiteral(".step");
}

void keepBackupStep(const QString& backup, const QString& step) {
    QFile file(backupStepFile(backup));
    // A step that cannot be noted only leaves Restore without its name.
    if (step.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.remove();
    else
        file.write(step.toUtf8());
}

} // namespace

Outcome RunBackup::finish(const QString& step) {
    Copy& copy = *copy_;
    if (copy.refused)
        return *copy.refused;
    copy.join();
    if (!copy.damage.isEmpty() || !copy.failed.isEmpty()) {
        QFile::remove(copy.fresh);
        copy.fresh.clear();
        return Outcome::failure(copy.damage.isEmpty() ? backupFailed(copy.backup, copy.failed)
                                                      : damagedRunMessage(copy.file, copy.damage));
    }
    // rename() replaces the old backup in one step; a crash leaves either
    // the old backup or the new one, never half of one.
    if (std::rename(QFile::encodeName(copy.fresh).constData(),
                    QFile::encodeName(copy.backup).constData()) != 0)
        return Outcome::failure(
            backupFailed(copy.backup, QString::fromLocal8Bit(std::strerror(errno))));
    copy.fresh.clear();
    keepBackupStep(copy.backup, step);
    return Outcome::ok();
}

Outcome keepBackup(const QSqlDatabase& db, const QString& step) {
    return RunBackup(db).finish(step);
}

QString backupStep(const QSqlDatabase& db) {
    QFile file(backupStepFile(backupFileOf(databaseFile(db))));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(200)).trimmed();
}

QString copyBeforeUpgrade(const QSqlDatabase& db, int version) {
    const QString file = databaseFile(db);
    const QString stem = file + QStringLiteral(".v%1").arg(version);
    const QString first = stem + QStringLiteral(".bak");
    const auto refused = [&](const QString& reason) {
        return StoreError(QStringLiteral("%1 was not brought up to this version of Gainbook and "
                                         "was not changed: its copy %2 could not be written (%3).")
                              .arg(shown(file), shown(first), reason));
    };
    // Written under a name of its own first: a copy cut short never takes
    // the name of a whole one.
    QTemporaryFile reserved(first + QStringLiteral(".XXXXXX"));
    reserved.setAutoRemove(false);
    if (!reserved.open())
        throw refused(reserved.errorString());
    const QString fresh = reserved.fileName();
    reserved.close();
    QFile::setPermissions(fresh, QFileInfo(file).permissions());
    // Read on a connection of its own: the engine copies no file from a
    // connection that holds a write transaction, as the caller's does.
    sqlite3* source = nullptr;
    int code = sqlite3_open_v2(QFile::encodeName(file).constData(), &source, SQLITE_OPEN_READONLY,
                               nullptr);
    QString failed;
    if (code == SQLITE_OK) {
        sqlite3_busy_timeout(source, 10000);
        failed = copyPages(source, fresh);
    } else {
        failed = QString::fromUtf8(source ? sqlite3_errmsg(source) : sqlite3_errstr(code));
    }
    sqlite3_close_v2(source);
    for (int n = 1; failed.isEmpty(); ++n) {
        const QString copy = n == 1 ? first : stem + QStringLiteral("-%1.bak").arg(n);
        if (QFile::exists(copy))
            continue;
        // Refuses to replace a file that came meanwhile; the next name is tried.
        QFile moved(fresh);
        if (moved.rename(copy))
            return copy;
        if (!QFile::exists(copy))
            failed = moved.errorString();
    }
    QFile::remove(fresh);
    throw refused(failed);
}

QString restoreQuestion(const QSqlDatabase& db, const QDateTime& taken) {
    const QString step = backupStep(db);
    return QStringLiteral("Restore the backup of %1 taken on %2%3? Every change made since then "
                          "is lost.")
        .arg(shown(databaseFile(db)), taken.toString(QStringLiteral("MM/dd/yyyy hh:mm")),
             step.isEmpty() ? QString() : QStringLiteral(", before ") + step);
}

Outcome restoreBackup(const QSqlDatabase& db) {
    const QString file = databaseFile(db);
    const QString backup = backupFileOf(file);
    if (!QFileInfo(backup).isFile())
        return Outcome::stop(
            QStringLiteral("There is no backup of the database %1 to restore.").arg(shown(file)));
    // Failures while the backup is looked at are the backup's; failures of
    // the copy are the database's.
    std::optional<AttachedBackup> attached;
    QStringList tables;
    try {
        attached.emplace(db, backup);
        const HealthCheck health = checkHealth(db, QStringLiteral("backup"));
        if (health.status != HealthCheck::Status::Sound)
            return Outcome::stop(restoreFailed(
                backup,
                QStringLiteral("it is damaged (%1); nothing was changed").arg(health.reason)));
        tables = tablesOf(db, QStringLiteral("main"));
        const QStringList saved = tablesOf(db, QStringLiteral("backup"));
        for (const QString& table : tables) {
            if (!saved.contains(table))
                return Outcome::stop(restoreFailed(
                    backup,
                    QStringLiteral("it holds no table %1; nothing was changed").arg(table)));
        }
    } catch (const StoreError& error) {
        return Outcome::stop(
            restoreFailed(backup, error.message() + QStringLiteral("; nothing was changed")));
    }
    try {
        Transaction transaction(db);
        for (const QString& table : std::as_const(tables)) {
            runQuery(db, QStringLiteral("DELETE FROM main.%1").arg(identifier(table)));
            runQuery(db, QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM backup.%1")
                             .arg(identifier(table), sharedColumns(db, table)));
        }
        // The counters of AUTOINCREMENT keys go back too, so IDs handed out
        // after the backup are handed out again as they would have been.
        if (hasSequence(db, QStringLiteral("main")) && hasSequence(db, QStringLiteral("backup"))) {
            runQuery(db, QStringLiteral("DELETE FROM main.sqlite_sequence"));
            runQuery(db,
                     QStringLiteral(
                         "INSERT INTO main.sqlite_sequence SELECT * FROM backup.sqlite_sequence"));
        }
        transaction.commit();
    } catch (const StoreError& error) {
        const QString fault = storeFaultMessage(file, error.sqlError());
        return Outcome::failure(
            fault.isEmpty()
                ? restoreFailed(backup, error.message() + QStringLiteral("; nothing was changed"))
                : fault);
    }
    return Outcome::ok(0, QStringLiteral("The database %1 was restored from the backup of %2.")
                              .arg(shown(file), QFileInfo(backup).lastModified().toString(
                                                    QStringLiteral("MM/dd/yyyy hh:mm"))));
}

} // namespace gainbook
