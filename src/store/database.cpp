#include "store/database.h"

#include "store/schema.h"
#include "store/schema_upgrade.h"
#include "store/sql.h"
#include "store/sqlite_library.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/store_health.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace gainbook {

namespace {

QString nextConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("gainbook-%1").arg(counter.fetchAndAddRelaxed(1));
}

OpenResult failure(OpenStatus status, QString message) {
    return {status, std::move(message)};
}

// Sorts an engine failure into what the user can do about it.
OpenResult classify(const QSqlError& error, const QString& path) {
    const QString text = describeSqlError(error);
    if (text.contains(QLatin1String("not a database")) || text.contains(QLatin1String("malformed")))
        return failure(OpenStatus::NotADatabase,
                       QStringLiteral("%1 is not a Gainbook database file.").arg(path));
    if (text.contains(QLatin1String("locked")) || text.contains(QLatin1String("busy")))
        return failure(OpenStatus::Locked, inUseMessage(path));
    if (text.contains(QLatin1String("readonly")) || text.contains(QLatin1String("read-only")))
        return failure(OpenStatus::ReadOnly, readOnlyMessage(path));
    return failure(OpenStatus::Failed,
                   QStringLiteral("Database could not be opened: %1 (%2)").arg(path, text));
}

// Whether verify() will find nothing to write: the file is of this version
// and holds no retired index. A file that cannot even be asked is checked
// the usual way, which says what is wrong with it.
bool opensWithoutWriting(const QSqlDatabase& db) {
    try {
        return schemaVersion(db) == currentSchemaVersion() && !hasRetiredIndexes(db);
    } catch (const StoreError&) {
        return false;
    }
}

} // namespace

Database::Database() : name_(nextConnectionName()) {}

Database::~Database() {
    close();
}

bool Database::isOpen() const {
    return QSqlDatabase::contains(name_) && QSqlDatabase::database(name_, false).isOpen();
}

QSqlDatabase Database::connection() const {
    return QSqlDatabase::database(name_, false);
}

void Database::close() {
    if (!QSqlDatabase::contains(name_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
    path_.clear();
    readOnly_ = false;
    healthCheckPending_ = false;
}

OpenResult Database::open(const QString& path, HealthCheckTime when) {
    close();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return failure(OpenStatus::NotFound, QStringLiteral("Database not found: %1").arg(path));
    if (!info.isFile() || !info.isReadable())
        return failure(OpenStatus::Failed,
                       QStringLiteral("Database could not be opened: %1").arg(path));
    // The engine writes a journal beside the file, so a folder the user may
    // not write makes the file read-only too.
    const bool writable = info.isWritable() && QFileInfo(info.absolutePath()).isWritable();
    const QString file = info.absoluteFilePath();
    OpenResult result = connect(file, false, !writable);
    if (!result.ok())
        return result;
    if (when == HealthCheckTime::WithRun && !readOnly_ && opensWithoutWriting(connection())) {
        result = verify();
        if (!result.ok())
            close();
        else
            healthCheckPending_ = true;
        return result;
    }
    QString damage;
    const HealthCheck health = checkHealth(connection());
    switch (health.status) {
    case HealthCheck::Status::Sound:
        break;
    case HealthCheck::Status::InUse:
        close();
        return failure(OpenStatus::Locked, inUseMessage(file));
    case HealthCheck::Status::Failed:
        result = classify(QSqlError(QString(), health.reason), file);
        close();
        return result;
    case HealthCheck::Status::Damaged:
        // Writes could spread the damage: the file is opened anew for
        // reading only, so what can be read can still be viewed and exported.
        damage = health.reason;
        if (!readOnly_) {
            close();
            result = connect(file, false, true);
            if (!result.ok())
                return result;
        }
        break;
    }
    result = verify();
    if (!result.ok()) {
        close();
        return result;
    }
    if (!damage.isEmpty())
        result.message = damagedMessage(file, damage);
    return result;
}

OpenResult Database::create(const QString& path) {
    close();
    const QFileInfo info(path);
    if (path.isEmpty())
        return failure(OpenStatus::Failed, QStringLiteral("No database file name given."));
    if (info.exists())
        return failure(OpenStatus::Failed, QStringLiteral("File exists: %1").arg(path));
    if (!info.absoluteDir().exists())
        return failure(OpenStatus::Failed,
                       QStringLiteral("Folder not found: %1").arg(info.absolutePath()));
    OpenResult result = connect(info.absoluteFilePath(), true);
    if (!result.ok()) {
        // The engine makes the file when it connects; a refused connection
        // leaves it empty.
        if (QFileInfo(info.absoluteFilePath()).size() == 0)
            QFile::remove(info.absoluteFilePath());
        return result;
    }
    try {
        // Qt reads text from SQLite as UTF-16; storing it that way saves a
        // conversion of every text cell on every read.
        runQuery(connection(), QStringLiteral("PRAGMA encoding = 'UTF-16le'"));
        createSchema(connection());
    } catch (const StoreError& error) {
        close();
        QFile::remove(info.absoluteFilePath());
        return failure(
            OpenStatus::Failed,
            QStringLiteral("Database could not be created: %1 (%2)").arg(path, error.message()));
    }
    return {};
}

OpenResult Database::connect(const QString& absolutePath, bool create, bool readOnly) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return failure(OpenStatus::Failed,
                       QStringLiteral("The SQLite driver for Qt is not installed."));
    setUpSqliteLibrary();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    // The URI form lets "mode=rw" refuse to create a file that vanished
    // between the check and the open.
    QUrl uri = QUrl::fromLocalFile(absolutePath);
    uri.setQuery(create     ? QStringLiteral("mode=rwc")
                 : readOnly ? QStringLiteral("mode=ro")
                            : QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    // Another program's write holds the file for a moment: every statement
    // waits for it (setLockWait) before it reports the file in use.
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(lockWaitMs_));
    if (!db.open()) {
        OpenResult result = classify(db.lastError(), absolutePath);
        QSqlDatabase::removeDatabase(name_);
        return result;
    }
    // Asked before the first statement on the file: the program's own SQLite
    // calls work on this connection too.
    QString mismatch;
    try {
        mismatch =
            sqliteLibraryMismatch(driverSqliteSourceId(db), programSqliteSourceId(), absolutePath);
    } catch (const StoreError& error) {
        mismatch = classify(error.sqlError(), absolutePath).message;
    }
    if (!mismatch.isEmpty()) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
        return failure(OpenStatus::Failed, mismatch);
    }
    path_ = absolutePath;
    readOnly_ = readOnly;
    // A larger page cache keeps the index pages of a capture or an import of
    // tens of thousands of rows in memory between inserts.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA cache_size = -32000"));
    return {};
}

OpenResult Database::verify() {
    QSqlDatabase db = connection();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT lower(name) FROM sqlite_master WHERE type = 'table'")))
        return classify(query.lastError(), path_);
    QStringList present;
    while (query.next())
        present << query.value(0).toString();
    query.finish();
    for (const QString& table : requiredTables()) {
        if (!present.contains(table.toLower()))
            return failure(OpenStatus::MissingTable,
                           QStringLiteral("%1 is not a Gainbook database: it has no %2 table.")
                               .arg(path_, table));
    }
    try {
        const auto newer = [&] {
            return failure(OpenStatus::Newer,
                           QStringLiteral("%1 was made by a newer version of Gainbook (database "
                                          "version %2; this version reads up to %3).")
                               .arg(path_)
                               .arg(schemaVersion(db))
                               .arg(currentSchemaVersion()));
        };
        // A file opened for reading only is not upgraded; one of an older
        // version cannot be viewed as this version stores its records.
        if (readOnly_) {
            const int version = schemaVersion(db);
            if (version > currentSchemaVersion())
                return newer();
            if (version < currentSchemaVersion())
                return failure(OpenStatus::ReadOnly,
                               QStringLiteral("%1 must be brought up to this version of Gainbook, "
                                              "which cannot be done while it is read-only.")
                                   .arg(path_));
            return {};
        }
        // The file as it was is copied first: a file of an older version is
        // what the version before this one would still open.
        QString copy;
        bool copying = false;
        SchemaUpgrade upgrade = SchemaUpgrade::Current;
        try {
            upgrade = upgradeSchema(db, schemaSteps(), [&](int version) {
                copying = true;
                copy = copyBeforeUpgrade(db, version);
                copying = false;
            });
        } catch (const StoreError& error) {
            if (copying)
                return failure(OpenStatus::Failed, error.message());
            // The file was taken back: its copy would only be a second one.
            if (!copy.isEmpty())
                QFile::remove(copy);
            throw;
        }
        if (upgrade == SchemaUpgrade::Newer)
            return newer();
        dropRetiredIndexes(db);
        if (upgrade == SchemaUpgrade::Upgraded)
            return {OpenStatus::Ok,
                    QStringLiteral("%1 was brought up to this version of Gainbook; the file as "
                                   "it was is kept in %2.")
                        .arg(QDir::toNativeSeparators(path_), QDir::toNativeSeparators(copy)),
                    true};
    } catch (const StoreError& error) {
        return classify(error.sqlError(), path_);
    }
    return {};
}

} // namespace gainbook
