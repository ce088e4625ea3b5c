#include "store/store_fault.h"

#include "store/sql.h"

#include <QDir>
#include <QUrl>

namespace gainbook {

namespace {

// SQLite's primary result codes; the driver may hand on extended ones, whose
// low byte is the primary code.
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    NoMemory = 7,
    ReadOnlyCode = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Protocol = 15,
    NotADatabase = 26,
};

// Some failures (BEGIN and COMMIT through the driver) come without a code;
// the engine's own texts then decide.
StoreFault faultOfText(const QString& text) {
    if (text.contains(QLatin1String("database is locked")) ||
        text.contains(QLatin1String("database table is locked")))
        return StoreFault::InUse;
    if (text.contains(QLatin1String("readonly database")))
        return StoreFault::ReadOnly;
    if (text.contains(QLatin1String("malformed")) ||
        text.contains(QLatin1String("file is not a database")))
        return StoreFault::Damaged;
    if (text.contains(QLatin1String("disk is full")) ||
        text.contains(QLatin1String("disk I/O error")) ||
        text.contains(QLatin1String("unable to open database file")) ||
        text.contains(QLatin1String("out of memory")))
        return StoreFault::Other;
    return StoreFault::None;
}

} // namespace

StoreFault storeFault(const QSqlError& error) {
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric);
    if (!numeric)
        return faultOfText(describeSqlError(error));
    return storeFaultOfCode(code);
}

StoreFault storeFaultOfCode(int code) {
    switch (code & 0xFF) {
    case Busy:
    case Locked:
        return StoreFault::InUse;
    case ReadOnlyCode:
        return StoreFault::ReadOnly;
    case Corrupt:
    case NotADatabase:
        return StoreFault::Damaged;
    case NoMemory:
    case IoError:
    case Full:
    case CantOpen:
    case Protocol:
        return StoreFault::Other;
    default:
        return StoreFault::None;
    }
}

QString databaseFile(const QSqlDatabase& db) {
    const QString name = db.databaseName();
    if (name.startsWith(QLatin1String("file:"))) {
        const QUrl url(name);
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return name;
}

QString inUseMessage(const QString& file) {
    return QStringLiteral("The database %1 is in use by another program.")
        .arg(QDir::toNativeSeparators(file));
}

QString readOnlyMessage(const QString& file) {
    return QStringLiteral("The database %1 is read-only.").arg(QDir::toNativeSeparators(file));
}

QString damagedMessage(const QString& file, const QString& reason) {
    return QStringLiteral("The database %1 is damaged (%2). It was opened read-only; restore a "
                          "backup or export your data.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString damagedRunMessage(const QString& file, const QString& reason) {
    return QStringLiteral("The database %1 is damaged (%2); nothing was changed. Restore a "
                          "backup or export your data.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString notWrittenMessage(const QString& file, const QString& reason) {
    return QStringLiteral("The database %1 could not be written: %2")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString storeFaultMessage(const QString& file, const QSqlError& error) {
    switch (storeFault(error)) {
    case StoreFault::None:
        return {};
    case StoreFault::InUse:
        return inUseMessage(file);
    case StoreFault::ReadOnly:
        return readOnlyMessage(file);
    case StoreFault::Damaged:
        return notWrittenMessage(
            file, QStringLiteral("the file is damaged (%1)").arg(describeSqlError(error)));
    case StoreFault::Other:
        break;
    }
    return notWrittenMessage(file, describeSqlError(error));
}

QString storeFaultMessage(const QSqlDatabase& db, const QSqlError& error) {
    return storeFaultMessage(databaseFile(db), error);
}

QString failureText(const QSqlDatabase& db, const StoreError& error) {
    const QString fault = storeFaultMessage(db, error.sqlError());
    return fault.isEmpty() ? error.message() : fault;
}

} // namespace gainbook
