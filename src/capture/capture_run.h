#pragma once

#include "capture/capture_state.h"
#include "capture/page_document.h"
#include "capture/parse_result.h"
#include "platform/outcome.h"
#include "platform/progress.h"
#include "store/records.h"

#include <QSqlDatabase>
#include <QVector>

namespace gainbook {

class Prompter;

// The checks "Capture Data" makes before anything is read: an account and a
// month when they are typed ("Derive from Data" unchecked) and a known
// entry. The status line becomes "Processing" (and empty again for an empty
// field); Stopped with the message when a check fails.
Outcome checkCaptureFields(CaptureState& state);

// Why the parsed rows cannot be filed: a row under an empty account or
// month, which only a page that was to name them leaves. Empty when all
// rows can be filed.
QString underivedFieldMessage(const ParseResult& parsed);

// Warns when the account and month already hold rows; true to go on.
// Throws StoreError when the store cannot be read.
bool PutDuplicate(const QSqlDatabase& db, const QString& account, const QString& month,
                  Prompter& prompter);

// "Capture Data": checks the fields, runs the parser of the chosen entry on
// the document, asks the duplicate question when the page gave rows, writes
// them in one transaction and sets the status line. The fields take what
// the parser read from the page. The outcome carries the run's messages in
// the order they are shown, the message first:
// - Done: "N records successfully added.", details: the rows skipped and
//   the rows that are no trade, counted by kind;
// - Stopped: a field check, the page refused, no data (details: the rows
//   skipped), rows the page was to name the account or month of and did
//   not, or nothing when the question was answered No;
// - Failed: the row the database refused, or the file's failure ("The
//   database F could not be written: ...", in use, read-only, the backup),
//   details: the count of rows kept when there are any, and the rows skipped.
// Before the rows are written the file is kept as its backup (F.bak). The
// writing steps the progress row by row; a stop of its watcher keeps
// nothing: Stopped with "Capture of A was cancelled; nothing was changed."
Outcome runCapture(const PageDocument& document, CaptureState& state, const QSqlDatabase& db,
                   Prompter& prompter, Progress& progress = unwatchedProgress());
// The same, for a caller done with the document: it is emptied as soon as
// its rows are read, before they are written.
Outcome runCapture(PageDocument&& document, CaptureState& state, const QSqlDatabase& db,
                   Prompter& prompter, Progress& progress = unwatchedProgress());

// Writes the rows in one transaction: Done with their count, or Failed with
// the refused row in the message and the count of rows before it, which
// stay written; a failure of the file itself keeps nothing and names the file.
// Stopped with the cancel message, nothing kept, when the watcher stops it.
// The taxAdvantaged accounts are marked so, and the rows at unknownCost
// (indexes into rows) kept as buys of unknown cost, in the same transaction.
Outcome writeCapturedRows(const QSqlDatabase& db, const QVector<TxnRecord>& rows,
                          Progress& progress = unwatchedProgress(),
                          const QStringList& taxAdvantaged = {},
                          const QVector<qsizetype>& unknownCost = {});

// "Capture of A was cancelled; nothing was changed."
QString captureCancelledText(const QString& account);

// "No data could be captured. ..." followed by the entry.
QString noDataMessage(const QString& entry);

} // namespace gainbook
