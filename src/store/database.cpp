#include "store/database.h"

#include "store/schema.h"
#include "store/schema_upgrade.h"
#include "store/sql.h"

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
        return failure(OpenStatus::Locked,
                       QStringLiteral("Database is in use by another program: %1").arg(path));
    if (text.contains(QLatin1String("readonly")) || text.contains(QLatin1String("read-only")))
        return failure(OpenStatus::ReadOnly, QStringLiteral("Database is read-only: %1").arg(path));
    return failure(OpenStatus::Failed,
                   QStringLiteral("Database could not be opened: %1 (%2)").arg(path, text));
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
}

OpenResult Database::open(const QString& path) {
    close();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return failure(OpenStatus::NotFound, QStringLiteral("Database not found: %1").arg(path));
    if (!info.isFile() || !info.isReadable())
        return failure(OpenStatus::Failed,
                       QStringLiteral("Database could not be opened: %1").arg(path));
    if (!info.isWritable())
        return failure(OpenStatus::ReadOnly, QStringLiteral("Database is read-only: %1").arg(path));
    OpenResult result = connect(info.absoluteFilePath(), false);
    if (result.ok())
        result = verify();
    if (!result.ok())
        close();
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
    if (!result.ok())
        return result;
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

OpenResult Database::connect(const QString& absolutePath, bool create) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return failure(OpenStatus::Failed,
                       QStringLiteral("The SQLite driver for Qt is not installed."));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    // The URI form lets "mode=rw" refuse to create a file that vanished
    // between the check and the open.
    QUrl uri = QUrl::fromLocalFile(absolutePath);
    uri.setQuery(create ? QStringLiteral("mode=rwc") : QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db.open()) {
        OpenResult result = classify(db.lastError(), absolutePath);
        QSqlDatabase::removeDatabase(name_);
        return result;
    }
    path_ = absolutePath;
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
        if (upgradeSchema(db) == SchemaUpgrade::Newer)
            return failure(OpenStatus::Newer,
                           QStringLiteral("%1 was made by a newer version of Gainbook (database "
                                          "version %2; this version reads up to %3).")
                               .arg(path_)
                               .arg(schemaVersion(db))
                               .arg(currentSchemaVersion()));
    } catch (const StoreError& error) {
        return classify(error.sqlError(), path_);
    }
    return {};
}

} // namespace gainbook
