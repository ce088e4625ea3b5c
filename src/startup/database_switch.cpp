#include "startup/database_switch.h"

#include "matching/wash_sale_refresh.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFileInfo>

namespace gainbook {

OpenResult switchDatabase(Database& database, SettingsStore& settings, const QString& path,
                          DatabaseSwitch how) {
    if (how == DatabaseSwitch::CreateNew && QFileInfo::exists(path)) {
        return {OpenStatus::Failed,
                QStringLiteral("%1 already exists. A new database is never written over a file: "
                               "choose another name, or open it with Open Database...")
                    .arg(QDir::toNativeSeparators(path))};
    }
    // The trial runs on its own connection: the shared one is closed only
    // for a file known to open.
    OpenResult tried;
    {
        Database trial;
        tried = how == DatabaseSwitch::CreateNew ? trial.create(path) : trial.open(path);
        if (!tried.ok())
            return tried;
    }
    const QString previous = database.path();
    OpenResult opened = database.open(path);
    if (!opened.ok()) {
        // Gone or taken between the trial and now: the file the user was
        // working in comes back.
        if (!previous.isEmpty())
            database.open(previous);
        return opened;
    }
    settings.setValue(QStringLiteral("General"), QStringLiteral("Database"), database.path());
    // An upgrade is done by the trial: its word on the copy kept is the one
    // to show, and its wash sales are worked through on the file now open.
    if (opened.message.isEmpty())
        opened.message = tried.message;
    if (const QString unsettled = settleUpgrade(database.connection(), tried); !unsettled.isEmpty())
        opened.message = QStringList{opened.message, unsettled}.join(u'\n').trimmed();
    return opened;
}

} // namespace gainbook
