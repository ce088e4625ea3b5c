#pragma once

#include "platform/settings_store.h"

#include <QHash>

namespace gainbook::test {

class MemorySettings final : public SettingsStore {
public:
    QString value(const QString& section, const QString& key,
                  const QString& defaultValue) const override {
        return values.value(section + u'/' + key, defaultValue);
    }
    void setValue(const QString& section, const QString& key, const QString& value) override {
        values.insert(section + u'/' + key, value);
    }

    QHash<QString, QString> values;
};

} // namespace gainbook::test
