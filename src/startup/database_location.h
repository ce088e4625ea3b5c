#pragma once

#include "store/database.h"

#include <QString>

#include <functional>

namespace gainbook {

class SettingsStore;

// What the "Database" setting holds while no file is known.
inline const QString kNotFound = QStringLiteral("not found");

// The file name the program looks for in its directory.
inline const QString kDefaultDatabaseName = QStringLiteral("db1.db");

// The path stored in the settings ("not found" when none).
QString storedDatabasePath(const SettingsStore& settings);

// The file the headless tool uses without --db: the stored path when that
// file exists, else db1.db in the given folder.
QString defaultDatabasePath(const SettingsStore& settings, const QString& folder);

// Finds and opens the database for the main window: the stored path, else
// db1.db in the application directory, else whatever askForFile returns
// (it may also create a new file). A stored or chosen file that has gone
// missing is asked for again. An empty answer from askForFile gives up with
// NotFound. The setting is written once a file has opened.
OpenResult openDatabase(Database& database, SettingsStore& settings,
                        const QString& applicationDirectory,
                        const std::function<QString()>& askForFile);

} // namespace gainbook
