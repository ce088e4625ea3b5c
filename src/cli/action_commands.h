#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

// actions: every corporate action of the store as CSV.
int runActions(CliSession& session, const QStringList& args);

// split SYMBOL DATE N:M [--note TEXT]: records a split (N shares after for
// M before; 1:4 is a reverse split).
int runSplit(CliSession& session, const QStringList& args);

// rename OLD NEW DATE [--note TEXT]: records a symbol change.
int runRename(CliSession& session, const QStringList& args);

// delete-action ID: deletes a corporate action.
int runDeleteAction(CliSession& session, const QStringList& args);

} // namespace gainbook
