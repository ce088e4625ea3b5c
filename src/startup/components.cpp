#include "startup/components.h"

#include "platform/prompter.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSqlDatabase>

namespace gainbook {

namespace {

const QString kRegistered = QStringLiteral("Registered");

} // namespace

QString versionSection() {
    return QString::number(GAINBOOK_VERSION_MAJOR) + QString::number(GAINBOOK_VERSION_MINOR);
}

QVector<Component> requiredComponents(const QString& docsFolder) {
    const QString engine = QDir(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath))
                               .filePath(QStringLiteral("QtWebEngineProcess"));
    const QString docs = docsFolder;
    return {
        {QStringLiteral("The SQLite database driver for Qt (QSQLITE) is not installed."),
         [] { return QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")); }},
        {QStringLiteral("The browser engine is not installed: %1").arg(engine),
         [engine] { return QFileInfo::exists(engine); }},
        {QStringLiteral("The help pages are missing: %1").arg(docs),
         [docs] { return QFileInfo(docs).isDir(); }},
    };
}

bool CheckComponents(SettingsStore& settings, Prompter& prompter,
                     const QVector<Component>& components) {
    const QString section = versionSection();
    if (settings.value(section, kRegistered, QStringLiteral("no")) != QLatin1String("no"))
        return true;
    for (const Component& component : components) {
        if (!component.present())
            return prompter.ask(component.description +
                                QStringLiteral("\r\nSome files are missing or not registered "
                                               "properely. do you want to continue?"));
    }
    settings.setValue(section, kRegistered, QStringLiteral("yes"));
    return true;
}

} // namespace gainbook
