#include "store/sqlite_library.h"

#include "store/sql.h"

#include <QDir>
#include <QSqlQuery>

#include <sqlite3.h>

namespace gainbook {

void setUpSqliteLibrary() {
    static const bool done = [] {
        sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, 1 << 20);
        return true;
    }();
    (void)done;
}

QString programSqliteSourceId() {
    return QString::fromUtf8(sqlite3_sourceid());
}

QString driverSqliteSourceId(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT sqlite_source_id()"));
    return query.next() ? query.value(0).toString() : QString();
}

QString sqliteLibraryMismatch(const QString& driverId, const QString& programId,
                              const QString& path) {
    if (driverId == programId && !driverId.isEmpty())
        return {};
    return QStringLiteral("%1 was not opened: Qt's SQLite driver uses the SQLite library %2, "
                          "Gainbook the library %3. Two copies of SQLite in one program break "
                          "each other's locks; install the Qt SQLite driver built on the "
                          "system's SQLite library.")
        .arg(QDir::toNativeSeparators(path),
             driverId.isEmpty() ? QStringLiteral("(unknown)") : driverId, programId);
}

} // namespace gainbook
