#pragma once

#include "capture/capture_state.h"
#include "capture/page_document.h"
#include "store/records.h"

#include <QSqlDatabase>
#include <QVector>

namespace gainbook {

class Prompter;

// What a parser found: the rows to write, each filed under the account and
// month the fields held when it was read, and the rows it had to leave out.
struct ParseResult {
    QVector<TxnRecord> rows;
    int skippedNumbers = 0; // quantity or amount not a number
    int skippedRange = 0;   // quantity or amount out of range (|x| >= 10^12)
    int skippedDates = 0;   // date not a date
    // False when the parser stopped before the end of the run (the duplicate
    // question answered No, or a message already told the user why).
    bool finish = true;

    // Files a row under the current account and month. A date text that is
    // not a date, or a quantity or amount no brokerage row can hold, leaves
    // the row out and counts it.
    void add(const CaptureState& state, const QString& symbol, double quantity, const QString& type,
             const QString& dateText, double amount, const QString& memo = QString());
    void add(const CaptureState& state, const QString& symbol, double quantity, const QString& type,
             const QDate& date, double amount, const QString& memo = QString());

    static ParseResult stopped();
};

// What one parser is given: the capture fields and a way to ask the user.
class CaptureRun {
public:
    CaptureRun(CaptureState& state, QSqlDatabase db, Prompter& prompter);

    CaptureState& state() { return state_; }
    Prompter& prompter() { return prompter_; }
    void message(const QString& text);

    // Warns when the account and month already hold rows; true to go on.
    // No clears the status line.
    bool PutDuplicate();

private:
    CaptureState& state_;
    QSqlDatabase db_;
    Prompter& prompter_;
};

using CaptureParser = ParseResult (*)(const PageDocument& document, CaptureRun& run);

// How a run ended, for callers that need more than the messages.
struct CaptureResult {
    int added = 0;
    bool failed = false; // a row could not be written; the rows before it stay
    bool completed() const { return added > 0 && !failed; }
};

// The checks "Capture Data" makes before anything is read: an account, a
// month and a known entry. Sets the status line and tells the user.
bool captureFieldsReady(CaptureState& state, Prompter& prompter);

// "Capture Data": checks the fields, runs the parser of the chosen entry on
// the document and writes its rows in one transaction. A row the database
// refuses ends the run; the rows before it are kept.
CaptureResult runCapture(const PageDocument& document, CaptureState& state, const QSqlDatabase& db,
                         Prompter& prompter);

// Writes the rows in one transaction and returns how many were written. A
// row the database refuses ends the writing, with the reason in failure;
// the rows before it are committed.
int writeCapturedRows(const QSqlDatabase& db, const QVector<TxnRecord>& rows, QString& failure);

// "No data could be captured. ..." followed by the entry.
QString noDataMessage(const QString& entry);

} // namespace gainbook
