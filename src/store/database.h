#pragma once

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// Why a database file could not be opened. NotFound is told apart from the
// rest because the program then asks for another file. Newer: the file was
// made by a later version of the program, whose columns this one would not
// keep.
enum class OpenStatus { Ok, NotFound, NotADatabase, MissingTable, ReadOnly, Locked, Newer, Failed };

struct OpenResult {
    OpenStatus status = OpenStatus::Ok;
    // For the user. When Ok, usually empty; a damaged file that was opened
    // read-only, and an upgraded file with the copy kept of it, say so here,
    // and the program shows it.
    QString message;
    // The file was brought up to this version: figures derived from its
    // trades (wash sales) are to be worked through again (settleUpgrade).
    bool upgraded = false;
    bool ok() const { return status == OpenStatus::Ok; }
};

// One connection to a Gainbook database file. Screens and commands share
// the one handle, so every read sees every write made before it.
class Database {
public:
    Database();
    ~Database();

    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file; never creates one. An older file is copied
    // (copyBeforeUpgrade) and upgraded to the newest version
    // (schema_upgrade.h); when the copy cannot be written, it is refused and
    // left as it is, as a newer one is. Any file is refused when Qt's SQLite
    // driver is another library than the program's own SQLite calls
    // (sqliteLibraryMismatch). A file or folder the user may not write, and
    // a file whose quick check finds damage, are opened read-only: they can
    // be viewed and listed, and writes are refused by the engine ("attempt
    // to write a readonly database").
    //
    // WithRun leaves the quick check to the run that follows (RunBackup's
    // Check::Pending), which does it beside its own work; a file that must
    // be upgraded first is still checked here, before anything is written.
    enum class HealthCheckTime { AtOpen, WithRun };
    OpenResult open(const QString& path, HealthCheckTime when = HealthCheckTime::AtOpen);

    // How long each statement waits for another program's write to end
    // before it reports the file in use, from the next open on. A window
    // the user is looking at waits a second; the command-line tool, which
    // nobody watches, the default ten.
    void setLockWait(int milliseconds) { lockWaitMs_ = milliseconds; }

    // Whether the open left the quick check to the run.
    bool healthCheckPending() const { return healthCheckPending_; }

    // Creates a new file holding the three empty tables; refuses a file that
    // exists, so nothing is ever overwritten.
    OpenResult create(const QString& path);

    void close();
    bool isOpen() const;
    const QString& path() const { return path_; }
    bool isReadOnly() const { return readOnly_; }
    QSqlDatabase connection() const;

private:
    OpenResult connect(const QString& path, bool create, bool readOnly = false);
    OpenResult verify();

    QString name_;
    QString path_;
    bool readOnly_ = false;
    bool healthCheckPending_ = false;
    int lockWaitMs_ = 10000;
};

} // namespace gainbook
