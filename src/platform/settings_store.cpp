#include "platform/settings_store.h"

#include <QSettings>

namespace gainbook {

namespace {

QString settingsKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

} // namespace

QString QtSettingsStore::value(const QString& section, const QString& key,
                               const QString& defaultValue) const {
    const QSettings settings(QStringLiteral("Gainbook"), QStringLiteral("Gainbook"));
    return settings.value(settingsKey(section, key), defaultValue).toString();
}

void QtSettingsStore::setValue(const QString& section, const QString& key, const QString& value) {
    QSettings settings(QStringLiteral("Gainbook"), QStringLiteral("Gainbook"));
    settings.setValue(settingsKey(section, key), value);
}

} // namespace gainbook
