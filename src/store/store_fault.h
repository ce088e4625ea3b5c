#pragma once

#include "store/store_error.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

namespace gainbook {

// A failure of the database file as a whole, told apart from the failure of
// one statement or row (a constraint, a missing column), so that a message
// can name the file and what the user can do about it.
enum class StoreFault {
    None,     // the statement failed, not the file
    InUse,    // another program holds the file beyond the busy timeout
    ReadOnly, // the file, its folder or the connection takes no writes
    Damaged,  // the file is corrupt or not a database
    Other     // the disk is full, an I/O error, out of memory, ...
};

StoreFault storeFault(const QSqlError& error);
// The same for a result code of the engine (primary or extended).
StoreFault storeFaultOfCode(int code);

// The file a connection works on, as an absolute path (":memory:" and the
// like as they stand).
QString databaseFile(const QSqlDatabase& db);

// "The database F is in use by another program."
QString inUseMessage(const QString& file);
// "The database F is read-only."
QString readOnlyMessage(const QString& file);
// "The database F is damaged (REASON). It was opened read-only; restore a
// backup or export your data."
QString damagedMessage(const QString& file, const QString& reason);

// The same damage found by the check that runs beside a processing run
// (the file was opened without waiting for it): the run is taken back.
QString damagedRunMessage(const QString& file, const QString& reason);

// "The database F could not be written: REASON"
QString notWrittenMessage(const QString& file, const QString& reason);

// The message for a failure of the file as a whole, or an empty text when
// the failure belongs to one statement.
QString storeFaultMessage(const QString& file, const QSqlError& error);
QString storeFaultMessage(const QSqlDatabase& db, const QSqlError& error);

// The text to show for a failure: the file's message when the file failed,
// else the engine's text for the statement.
QString failureText(const QSqlDatabase& db, const StoreError& error);

} // namespace gainbook
