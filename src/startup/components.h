#pragma once

#include <QString>
#include <QVector>

#include <functional>

namespace gainbook {

class Prompter;
class SettingsStore;

// Something the program needs at run time, with a check that it is there.
struct Component {
    QString description; // says what is missing, for the message
    std::function<bool()> present;
};

// What the desktop program needs: the SQLite driver, the browser engine's
// helper process and the folder of the help pages.
QVector<Component> requiredComponents(const QString& docsFolder);

// The settings section of this version ("20" for 2.0).
QString versionSection();

// Runs once per installation: checks that each component is present and
// records that in the settings. When one is missing the user is asked
// whether to go on anyway (true) or end the program (false); the check then
// runs again at the next start.
bool CheckComponents(SettingsStore& settings, Prompter& prompter,
                     const QVector<Component>& components);

} // namespace gainbook
