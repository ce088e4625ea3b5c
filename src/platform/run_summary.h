#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QStringList>

namespace gainbook {

// The run an outcome closes, for its one summary: the desktop shows the text
// in one message box and the command-line tool prints it, so that a user
// reads the same words wherever the run was started.
struct RunSummary {
    QString run;      // "Capture", "TXF export", "Processing of A"
    QString noun;     // what a count counts, singular: "trade", "tax record"
    QString where;    // the file written: the database or the file made
    QStringList look; // what wants the user's eye besides the outcome's own lines
};

// "Capture wrote 12 trades to F." (or "Capture wrote nothing."; a failure
// or stop that wrote nothing leads with its own message instead), the
// outcome's message and details, then "Needs a look:" and the look lines.
// A stop with nothing more to say than its message is told as it stands:
// a field left empty, or the user's No (no text at all).
QString runSummaryText(const RunSummary& run, const Outcome& outcome);

// The outcome with the summary as its message and no details, status and
// count kept: what the screens and the tool tell at the end of a run.
Outcome summarized(const RunSummary& run, Outcome outcome);

} // namespace gainbook
