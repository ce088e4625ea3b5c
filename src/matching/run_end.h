#pragma once

#include "platform/outcome.h"
#include "platform/run_summary.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// The runs that end in one summary, each with its name and what it counts.
enum class RunKind { Capture, Process, Recalculate, TxfImport, GainsImport, Report, TxfExport };

// The run's name (with the account it ran on, when it names one) and noun.
RunSummary runSummaryOf(RunKind kind, const QString& account = {});

// The end of a run that wrote to the store: the summary names the database
// file and the accounts the store now keeps to process again. A store that
// cannot be read for them leaves that line out: the run's own outcome is
// what matters here.
Outcome storeRunEnd(const QSqlDatabase& db, RunKind kind, const QString& account, Outcome outcome);

// The end of a run that wrote a file from the store, with the accounts the
// load found to process again.
Outcome fileRunEnd(RunKind kind, const QString& path, const QString& processAgainLine,
                   Outcome outcome);

} // namespace gainbook
