#pragma once

#include "startup/database_startup.h"

class QWidget;

namespace gainbook {

// Asks where the database is when none is known: open an existing file,
// create a new one, or cancel.
DatabaseChoice chooseDatabaseFile(QWidget* parent, const QString& directory);

} // namespace gainbook
