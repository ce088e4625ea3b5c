#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

// "restore": puts back the backup taken before the last processing run,
// capture or import.
int runRestore(CliSession& session, const QStringList& args);

} // namespace gainbook
