#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

#include <functional>

namespace gainbook {

// One upgrade step: brings a file of the version before it to the next one.
// Throws StoreError.
using SchemaStep = std::function<void(const QSqlDatabase&)>;

// A step that runs these statements in order.
SchemaStep schemaStatements(QStringList statements);

// The steps in order: the first brings version 0 (the files made before the
// store carried a version) to 1, the next 1 to 2, and so on. The version of
// this program is their count; a new version is one more step at the end.
const QVector<SchemaStep>& schemaSteps();
int currentSchemaVersion();

// The version stamped in the file (0 when never stamped). Throws StoreError.
int schemaVersion(const QSqlDatabase& db);
// Throws StoreError.
void setSchemaVersion(const QSqlDatabase& db, int version);

enum class SchemaUpgrade { Current, Upgraded, Newer };

// Called with the file's version inside the upgrade's transaction, before
// its first step: the file is as it was and no other program writes to it.
// Throws StoreError to leave the file as it is.
using BeforeUpgrade = std::function<void(int version)>;

// Brings an older file to the newest version: the steps from its version on
// run in one transaction with the new stamp, so a failing step (StoreError)
// leaves the file as it was. A current file is not written to; a file newer
// than the steps is left alone (Newer).
SchemaUpgrade upgradeSchema(const QSqlDatabase& db,
                            const QVector<SchemaStep>& steps = schemaSteps(),
                            const BeforeUpgrade& before = {});

} // namespace gainbook
