#pragma once

#include "store/database.h"

#include <QString>

namespace gainbook {

class SettingsStore;

// File > New Database... creates a file, Open Database... takes an existing one.
enum class DatabaseSwitch { OpenExisting, CreateNew };

// Puts another database file in place of the one open. The file is first
// created (never over an existing one) or opened on a connection of its
// own, so a file that cannot be used is refused with the reason while the
// open database stays open and the settings unchanged. Once it opens, the
// "Database" setting names it and the next start opens it. The result's
// message, when ok, is what the user must still be told (a damaged file
// opened read-only, an upgraded file and where its copy is kept).
OpenResult switchDatabase(Database& database, SettingsStore& settings, const QString& path,
                          DatabaseSwitch how);

} // namespace gainbook
