#pragma once

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// Sets the SQLite library up for how this program uses it, before its first
// connection. Database calls it before each connection; only the first call
// in a process does anything, and a library started before (by another part
// of the process) keeps its own settings, which are only slower.
// - Each connection is used by one thread at a time (the backup's copy has a
//   connection of its own), so connections need no mutex of their own.
// - The library keeps no count of the memory it holds: the count takes a
//   process-wide mutex on every allocation, which the two threads of a
//   processing run would wait on.
// - A statement that writes many rows keeps the pages it changes in a
//   journal of its own, to take itself back on a failure. Past 64 KB the
//   library writes that journal to a temporary file, which on trades out of
//   ID order was most of a run's writing; it now stays in memory up to 1 MB,
//   more than a batch of 32 rows changes.
void setUpSqliteLibrary();

// The source ID (sqlite_source_id()) of the library this program calls
// itself, and of the one under an open Qt connection.
QString programSqliteSourceId();
QString driverSqliteSourceId(const QSqlDatabase& db); // throws StoreError

// Empty when both IDs are the same library's; else why the file at path is
// not opened, naming both. The program hands the Qt driver's connection to
// its own SQLite calls (fast_statement.h) and copies the file with them
// (store_backup.h): two copies of SQLite in one process neither know each
// other's locks nor share a connection's memory, so no file is used then.
QString sqliteLibraryMismatch(const QString& driverId, const QString& programId,
                              const QString& path);

} // namespace gainbook
