#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runProcess(CliSession& session, const QStringList& args);
int runLinks(CliSession& session, const QStringList& args);
int runDetach(CliSession& session, const QStringList& args);
int runRecalc(CliSession& session, const QStringList& args);
int runTransfers(CliSession& session, const QStringList& args);
int runTransferLink(CliSession& session, const QStringList& args);
int runTransferUnlink(CliSession& session, const QStringList& args);

} // namespace gainbook
