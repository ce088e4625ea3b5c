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
    QString message; // for the user; empty when Ok
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

    // Opens an existing file; never creates one. An older file is upgraded
    // to the newest version (schema_upgrade.h); a newer one is refused.
    OpenResult open(const QString& path);

    // Creates a new file holding the three empty tables; refuses a file that
    // exists, so nothing is ever overwritten.
    OpenResult create(const QString& path);

    void close();
    bool isOpen() const;
    const QString& path() const { return path_; }
    QSqlDatabase connection() const;

private:
    OpenResult connect(const QString& path, bool create);
    OpenResult verify();

    QString name_;
    QString path_;
};

} // namespace gainbook
