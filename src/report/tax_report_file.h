#pragma once

#include "platform/outcome.h"
#include "platform/progress.h"
#include "platform/tax_year.h"
#include "report/report_print.h"
#include "report/tax_report.h"

#include <QSqlDatabase>

#include <functional>

namespace gainbook {

enum class ReportFormat { None, Pdf, Csv };

// The format a report file is written in, told by its name's ending
// (".pdf" or ".csv", in any case); None for any other name.
ReportFormat reportFormatOf(const QString& path);

// "A tax report is written as a .pdf or a .csv file: FILE"
QString reportFormatMessage(const QString& path);

// Places the lines on pages and writes them to path as a PDF; an empty text
// when it was written, else why not. The desktop prints in-process; the
// command-line tool, which has no graphics library, through a helper
// program. A printer steps the progress and lets its RunCancelled through,
// leaving any file at path as it was.
using PdfPrinter = std::function<QString(const QVector<PrintLine>& lines, const QString& path,
                                         Progress& progress)>;

// "Tax report to F was cancelled; nothing was changed."
QString reportCancelledMessage(const QString& path);

// The tax report of a year, of every account, written to a PDF or CSV file.
// Two steps, so that a file is asked for only when there is something to
// write:
//
//     TaxReportFile file;
//     if (!file.load(db, year).done()) <tell the outcome and stop>;
//     <tell file.writeTo(path, printer)>;
//
// The database is only read.
class TaxReportFile {
public:
    // Reads the records of Form 8949 sold in the year (those of
    // tax-advantaged accounts are not: selectReportableTaxRecs) and the
    // accounts to process again: Done with their count, Stopped
    // with "No tax record sold in 2024 to report" when there are none,
    // Failed when the store cannot be read. The database is only read, so
    // a stop of the progress's watcher only ends the load: Stopped with
    // "Building the tax report was cancelled; nothing was changed."
    Outcome load(const QSqlDatabase& db, TaxYear year, Progress& progress = unwatchedProgress());

    // Writes the report in the format path's ending names, replacing any
    // file of that name: Done with the number of lines, or Failed, saying
    // why. Refuses a name of another format, the database the records came
    // from, its backup, and anything that is not a regular file or a new
    // name. A stop of the progress's watcher leaves any file at path as it
    // was: Stopped with reportCancelledMessage.
    Outcome writeTo(const QString& path, const PdfPrinter& printPdf,
                    Progress& progress = unwatchedProgress()) const;

    const TaxReport& report() const { return report_; }

    // "Accounts to process again before filing: A, B" as the load found
    // them; empty for none.
    const QString& processAgainLine() const { return processAgain_; }

private:
    TaxReport report_;
    QString processAgain_;
    QString databaseFile_;
};

} // namespace gainbook
