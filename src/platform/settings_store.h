#pragma once

#include <QString>

namespace gainbook {

// The per-user settings store: text values addressed by section and key
// under the application name "Gainbook".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString& section, const QString& key,
                          const QString& defaultValue) const = 0;
    virtual void setValue(const QString& section, const QString& key, const QString& value) = 0;
};

// The store the program uses: QSettings in the user's configuration folder.
class QtSettingsStore final : public SettingsStore {
public:
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue) const override;
    void setValue(const QString& section, const QString& key, const QString& value) override;
};

} // namespace gainbook
