#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runImportGains(CliSession& session, const QStringList& args);
int runReconcile(CliSession& session, const QStringList& args);

} // namespace gainbook
