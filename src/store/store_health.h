#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace gainbook {

// What a quick check of the file's pages and indexes found.
struct HealthCheck {
    enum class Status { Sound, Damaged, InUse, Failed };
    Status status = Status::Sound;
    QString reason; // the engine's first finding or failure
};

// Runs the engine's quick check on a schema of the connection ("main", or an
// attached one): a damaged page or index is found here, when the file is
// opened, rather than by the first write that lands on it.
HealthCheck checkHealth(const QSqlDatabase& db, const QString& schema = QStringLiteral("main"));

// The same on the main schema of a connection of the engine's own, for a
// thread that works beside the program's connection.
HealthCheck checkHealth(sqlite3* engine);

} // namespace gainbook
