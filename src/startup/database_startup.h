#pragma once

#include <QString>

#include <functional>

namespace gainbook {

class Database;
class Prompter;
class SettingsStore;

// What the user can do when no database file is known.
struct DatabaseChoice {
    enum Action { Cancel, OpenExisting, CreateNew } action = Cancel;
    QString path;
};

// Opens the database for the main window. chooseFile is asked whenever no
// file is known; a new file is created here, never over an existing one.
// A file that fails to open is reported and another one asked for. The
// program cannot work without a database: when the user cancels, the
// closing message is shown and the result is false.
bool openDatabaseForStart(Database& database, SettingsStore& settings,
                          const QString& applicationDirectory, Prompter& prompter,
                          const std::function<DatabaseChoice()>& chooseFile);

// The message shown when the user gave up choosing a database.
QString noDatabaseMessage();

} // namespace gainbook
