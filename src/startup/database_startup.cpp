#include "startup/database_startup.h"

#include "matching/wash_sale_refresh.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"
#include "startup/database_location.h"
#include "store/database.h"

namespace gainbook {

QString noDatabaseMessage() {
    return QStringLiteral("No database was chosen. Gainbook cannot work without one and will "
                          "end now.");
}

bool openDatabaseForStart(Database& database, SettingsStore& settings,
                          const QString& applicationDirectory, Prompter& prompter,
                          const std::function<DatabaseChoice()>& chooseFile) {
    // A refused choice is reported inside the ask callback, so openDatabase
    // keeps asking until a file opens or the user cancels.
    bool cancelled = false;
    const auto ask = [&]() -> QString {
        for (;;) {
            const DatabaseChoice choice = chooseFile();
            if (choice.action == DatabaseChoice::Cancel || choice.path.isEmpty()) {
                cancelled = true;
                return {};
            }
            if (choice.action == DatabaseChoice::OpenExisting)
                return choice.path;
            const OpenResult created = database.create(choice.path);
            if (created.ok())
                return database.path();
            prompter.message(created.message);
        }
    };

    OpenResult result = openDatabase(database, settings, applicationDirectory, ask);
    while (!result.ok() && !cancelled) {
        prompter.message(result.message);
        const QString path = ask();
        if (cancelled)
            break;
        result = database.open(path);
        if (result.ok())
            settings.setValue(QStringLiteral("General"), QStringLiteral("Database"),
                              database.path());
    }
    if (!result.ok()) {
        prompter.message(noDatabaseMessage());
        return false;
    }
    // A damaged file was opened read-only, or an older one upgraded after
    // its copy was kept; the user is told before working.
    if (!result.message.isEmpty())
        prompter.message(result.message);
    if (const QString unsettled = settleUpgrade(database.connection(), result);
        !unsettled.isEmpty())
        prompter.message(unsettled);
    return true;
}

} // namespace gainbook
