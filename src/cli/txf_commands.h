#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runExportTxf(CliSession& session, const QStringList& args);
int runImportTxf(CliSession& session, const QStringList& args);

} // namespace gainbook
