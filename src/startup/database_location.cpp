#include "startup/database_location.h"

#include "platform/settings_store.h"

#include <QDir>
#include <QFileInfo>

namespace gainbook {

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kDatabaseKey = QStringLiteral("Database");

} // namespace

QString storedDatabasePath(const SettingsStore& settings) {
    return settings.value(kGeneral, kDatabaseKey, kNotFound);
}

QString defaultDatabasePath(const SettingsStore& settings, const QString& folder) {
    const QString stored = storedDatabasePath(settings);
    if (stored != kNotFound && QFileInfo::exists(stored))
        return stored;
    return QDir(folder).filePath(kDefaultDatabaseName);
}

OpenResult openDatabase(Database& database, SettingsStore& settings,
                        const QString& applicationDirectory,
                        const std::function<QString()>& askForFile) {
    QString path = storedDatabasePath(settings);
    if (path == kNotFound) {
        const QString local = QDir(applicationDirectory).filePath(kDefaultDatabaseName);
        path = QFileInfo::exists(local) ? local : QString();
    }
    for (;;) {
        if (path.isEmpty() || path == kNotFound) {
            path = askForFile();
            if (path.isEmpty())
                return {OpenStatus::NotFound, QStringLiteral("No database was chosen.")};
        }
        OpenResult result = database.open(path);
        if (result.ok()) {
            settings.setValue(kGeneral, kDatabaseKey, database.path());
            return result;
        }
        if (result.status != OpenStatus::NotFound)
            return result;
        path.clear();
    }
}

} // namespace gainbook
