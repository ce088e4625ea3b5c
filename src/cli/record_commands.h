#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runInit(CliSession& session, const QStringList& args);
int runAccounts(CliSession& session, const QStringList& args);
int runTxns(CliSession& session, const QStringList& args);
int runTax(CliSession& session, const QStringList& args);

} // namespace gainbook
