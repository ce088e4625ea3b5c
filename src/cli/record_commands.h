#pragma once

#include <QString>
#include <QStringList>

namespace gainbook {

class CliSession;

// An account the outline would list: one with transactions or tax records.
// Otherwise says why on stderr and sets code.
bool knownAccount(CliSession& session, const QString& account, int& code);

int runInit(CliSession& session, const QStringList& args);
int runAccounts(CliSession& session, const QStringList& args);
int runTxns(CliSession& session, const QStringList& args);
int runTax(CliSession& session, const QStringList& args);

} // namespace gainbook
